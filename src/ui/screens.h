#pragma once

// The screens as they are now, for placing windows whose saved places may be out of reach.

#include <QPoint>
#include <QRect>

class QWidget;

namespace penmorph {

// A window's frame moved and shrunk onto the screens (app::FitOnScreens).
QRect FitOnScreens(const QRect& frame);

// Moves a window whose place lies off the screens back onto one; fixed-size dialogs are only
// moved.
void KeepOnScreens(QWidget& window);

}  // namespace penmorph
