#include "ui/busy_scope.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace penmorph {

BusyScope::BusyScope() {
  QCoreApplication::instance()->installEventFilter(this);
}

BusyScope::~BusyScope() {
  QCoreApplication::instance()->removeEventFilter(this);
}

bool BusyScope::EscapePressed() {
  QCoreApplication::processEvents();
  return escape_;
}

bool BusyScope::eventFilter(QObject* /*watched*/, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        escape_ = true;
      }
      return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

}  // namespace penmorph
