#pragma once

// A settings grid: the rows' captions form a fixed column, the columns after it hold texts, some
// typed into, some only shown (shaded). Its cells behave as in any Windows grid (see
// CellDelegate).

#include <QStyledItemDelegate>
#include <QTableWidget>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog_description.h"

namespace penmorph {

class ValueGrid : public QTableWidget {
  Q_OBJECT

 public:
  ValueGrid(const app::GridDescription& description, QWidget* parent);

  QString Value(int row, int column = 0) const;
  void SetValue(int row, const QString& text, int column = 0);
  // A column's cells as UTF-8, and back; cells that already hold the text are left alone.
  std::vector<std::string> Values(int column = 0) const;
  void SetValues(const std::vector<std::string>& values, int column = 0);
  // The first and last row of the selection, or the current row when nothing is selected.
  std::pair<int, int> SelectedRows() const;
  // Puts what is being typed into its cell, so that confirming with Enter does not lose it.
  void CommitOpenEditor();
  // Makes the cell current and opens its editor, its text selected to be typed over.
  void EditCell(int row, int column);
  // Makes the row current and the only one selected, in the column the cursor starts in.
  void SelectRow(int row);
  // A list's rows: as many as `rows`, captioned 1, 2, 3 ...
  void SetRowCount(int rows);
  // The bars of the description's bar column, by row.
  std::vector<app::GridBar> Bars() const;
  void SetBars(const std::vector<app::GridBar>& bars);

 signals:
  // The user typed into or emptied cells (not the dialog's own filling).
  void CellsEdited();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddCells(int row);

  QString corner_;
  QWidget* corner_button_ = nullptr;
  std::vector<bool> editable_;  // by column
  bool any_editable_ = false;   // else a table to read: nothing shaded
  int first_column_ = 0;
  int bar_column_ = -1;
  bool setting_ = false;  // the dialog is filling cells
};

// While a cell is typed into, Enter takes what was typed and moves down a row and Esc drops this
// cell's typing only; otherwise Enter and Esc are the dialog's (OK, cancel). Delete empties the
// selected editable cells.
class CellDelegate : public QStyledItemDelegate {
 public:
  // `grid`: the grid the delegate serves, whose Delete key it takes too; `bar_column`: the
  // column whose cells it draws as bars (BarRole, BarColourRole), or -1.
  explicit CellDelegate(QAbstractItemView* grid, int bar_column = -1);

  static constexpr int kBarRole = Qt::UserRole;
  static constexpr int kBarColourRole = Qt::UserRole + 1;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  QAbstractItemView* grid_;
  int bar_column_;
};

}  // namespace penmorph
