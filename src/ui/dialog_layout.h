#pragma once

// What the settings dialogs are made of: a fixed-size frame in the fixed-width font, controls
// placed by pixel position, and grids whose cells keep Enter and Esc for the dialog.

#include <QString>
#include <QStyledItemDelegate>

class QDialog;
class QLabel;
class QWidget;

namespace penmorph {

// Captions the dialog, gives it the 12-pixel fixed font and a client area that cannot be
// resized, with a close button but no other frame buttons.
void SetUpFixedDialog(QDialog& dialog, const QString& title, int width, int height);

QLabel* AddLabel(const QString& text, QWidget* parent, int left, int top, int width, int height);

// Enter and Esc mean OK and cancel everywhere in the dialog, also while a cell is being typed
// into: the cell takes what was typed (or drops it, for Esc) and the dialog gets the key.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;
};

}  // namespace penmorph
