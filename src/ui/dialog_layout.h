#pragma once

// What the settings dialogs are made of: a fixed-size frame in the fixed-width font, controls
// placed by pixel position, and grids whose cells keep Enter and Esc for the dialog.

#include <QString>
#include <QStyledItemDelegate>

class QAbstractItemView;
class QDialog;
class QLabel;
class QWidget;

namespace penmorph {

// Captions the dialog, gives it the 12-pixel fixed font and a client area that cannot be
// resized, with a close button but no other frame buttons.
void SetUpFixedDialog(QDialog& dialog, const QString& title, int width, int height);

QLabel* AddLabel(const QString& text, QWidget* parent, int left, int top, int width, int height);

// The cells of a settings grid behave as in any Windows grid: while a cell is typed into, Enter
// takes what was typed and moves down a row and Esc drops this cell's typing only; otherwise
// Enter and Esc are the dialog's (OK, cancel). Delete empties the selected editable cells.
class CellDelegate : public QStyledItemDelegate {
 public:
  // `grid`: the grid the delegate serves, whose Delete key it takes too.
  explicit CellDelegate(QAbstractItemView* grid);

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  QAbstractItemView* grid_;
};

}  // namespace penmorph
