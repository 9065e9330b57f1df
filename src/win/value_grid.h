#pragma once

// A grid of numbers on a report-mode list view: column 0 holds the row captions and looks like a
// fixed column, column 1 holds the values as text and is edited in place (double click, F2, or
// typing). A contiguous range of rows can be selected with Shift and the arrow keys. A grid may
// have more columns, some only shown: a click or the left and right arrows choose the column
// that is edited.

#include <windows.h>

#include <commctrl.h>  // after windows.h, which it needs

#include <string>
#include <utility>
#include <vector>

#include "app/dialog_description.h"

namespace penmorph::win {

class ValueGrid {
 public:
  // The notification code of the WM_COMMAND the grid sends its parent when the user has typed
  // into or emptied cells.
  static constexpr WORD kCellsEdited = 0x7E01;

  // Makes the list view (id `id`) inside `parent`; its column 0 holds the rows' captions,
  // column c + 1 the description's column c.
  ValueGrid(HWND parent, int id, const app::GridDescription& description);
  ~ValueGrid();
  ValueGrid(const ValueGrid&) = delete;
  ValueGrid& operator=(const ValueGrid&) = delete;

  HWND hwnd() const { return list_; }
  int RowCount() const { return static_cast<int>(captions_); }

  std::string Value(int row, int column = 1) const;
  void SetValue(int row, const std::string& text, int column = 1);
  std::vector<std::string> Values(int column = 1) const;
  void SetValues(const std::vector<std::string>& values, int column = 1);
  // Makes `column` the one the editor opens in, when it can be typed into.
  void SetEditColumn(int column);

  // The first and last selected row, or the current row when none is selected.
  std::pair<int, int> SelectedRows() const;
  // Makes `row` the current and only selected row, scrolled into view.
  void SetCurrentRow(int row);
  // A list's rows: as many as `rows`, captioned 1, 2, 3 ...
  void SetRowCount(int rows);
  // The bars of the description's bar column, by row.
  const std::vector<app::GridBar>& Bars() const { return bars_; }
  void SetBars(const std::vector<app::GridBar>& bars);

  // Column widths and row height for the monitor's DPI.
  void ApplyDpi(UINT dpi);

  // Opens the in-place editor on the current row, with `text` to begin with.
  void BeginEdit(const std::wstring* text = nullptr);
  // Puts what is being typed into its cell and closes the editor.
  void CommitOpenEditor();
  void CancelOpenEditor();
  // Delete: the selected rows' cells of the column being edited are emptied.
  void ClearSelectedCells();

  // The parent's WM_NOTIFY from this list view; true when it was handled with `result`.
  bool Notify(const NMHDR& header, LRESULT& result);

 private:
  static LRESULT CALLBACK ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                   UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK EditorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR id, DWORD_PTR self);
  int CurrentRow() const;
  void InsertRow(int row, const std::string& caption);
  void TellParentOfEdits() const;
  LRESULT StringGridDrawCell(NMLVCUSTOMDRAW& draw);
  void DrawBar(const NMLVCUSTOMDRAW& draw) const;
  bool Editable(int column) const;
  // The next editable column to the left (-1) or right (+1); the same one when there is none.
  int NextEditColumn(int step) const;

  HWND list_ = nullptr;
  HWND editor_ = nullptr;
  std::vector<int> widths_;     // by column, the captions' first
  std::vector<bool> editable_;  // by column
  bool any_editable_ = false;   // else a table to read: nothing shaded, whole rows selected
  int bar_column_ = -1;         // the list view's column drawn as bars, or -1
  std::vector<app::GridBar> bars_;
  int edit_column_ = 1;
  int editing_row_ = -1;
  int editing_column_ = 1;
  std::size_t captions_ = 0;
  int row_height_pixels_ = 24;       // at 96 DPI
  HIMAGELIST row_height_ = nullptr;  // only sets the height of the rows
};

}  // namespace penmorph::win
