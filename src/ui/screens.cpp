#include "ui/screens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "app/screen_fit.h"

namespace penmorph {

QRect FitOnScreens(const QRect& frame) {
  std::vector<app::ScreenRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect area = screen->availableGeometry();
    screens.push_back({area.x(), area.y(), area.width(), area.height()});
  }
  const app::ScreenRect fitted =
      app::FitOnScreens({frame.x(), frame.y(), frame.width(), frame.height()}, screens);
  return QRect(fitted.left, fitted.top, fitted.width, fitted.height);
}

void KeepOnScreens(QWidget& window) {
  const QRect fitted = FitOnScreens(QRect(window.pos(), window.size()));
  window.move(fitted.topLeft());
  if (fitted.size() != window.size() && window.minimumSize() != window.maximumSize()) {
    window.resize(fitted.size());
  }
}

}  // namespace penmorph
