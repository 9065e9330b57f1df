#pragma once

// What both settings dialogs are made of: a fixed-size frame in the fixed-width font, and
// controls placed by pixel position.

#include <QString>

class QDialog;
class QLabel;
class QWidget;

namespace penmorph {

// Captions the dialog, gives it the 12-pixel fixed font and a client area that cannot be
// resized, with a close button but no other frame buttons.
void SetUpFixedDialog(QDialog& dialog, const QString& title, int width, int height);

QLabel* AddLabel(const QString& text, QWidget* parent, int left, int top, int width, int height);

}  // namespace penmorph
