#include "win/value_grid.h"

#include <commctrl.h>

#include <algorithm>

#include "win/control_ids.h"
#include "win/ui_font.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace {

constexpr UINT_PTR kSubclassId = 1;

void SetColumnText(HWND list, int column, const std::wstring& text) {
  LVCOLUMNW header{};
  header.mask = LVCF_TEXT;
  header.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&header));
}

}  // namespace

ValueGrid::ValueGrid(HWND parent, int id, const app::GridDescription& description)
    : edit_column_(description.first_column + 1),
      captions_(description.row_captions.size()),
      row_height_pixels_(description.row_height) {
  const std::vector<app::GridColumn>& columns = description.columns;
  const std::string& corner = description.corner;
  const std::vector<std::string>& captions = description.row_captions;
  widths_.push_back(description.caption_width);
  editable_.push_back(false);
  for (const app::GridColumn& column : columns) {
    widths_.push_back(column.width);
    editable_.push_back(column.editable);
    any_editable_ = any_editable_ || column.editable;
  }
  bar_column_ = description.bar_column >= 0 ? description.bar_column + 1 : -1;
  list_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
      WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, 0, 0,
      0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
      nullptr);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  std::vector<std::wstring> headings = {Wide(corner)};
  for (const app::GridColumn& column : columns) {
    headings.push_back(Wide(column.heading));
  }
  for (int column = 0; column < static_cast<int>(headings.size()); ++column) {
    LVCOLUMNW header{};
    header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    header.pszText = const_cast<wchar_t*>(headings[column].c_str());
    header.cx = widths_[column];
    header.iSubItem = column;
    SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&header));
  }
  SetColumnText(list_, 0, headings[0]);
  for (std::size_t row = 0; row < captions.size(); ++row) {
    InsertRow(static_cast<int>(row), captions[row]);
  }
  SetCurrentRow(0);
  SetWindowSubclass(list_, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

void ValueGrid::InsertRow(int row, const std::string& caption) {
  const std::wstring text = Wide(caption);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ValueGrid::SetRowCount(int rows) {
  CancelOpenEditor();
  for (int row = RowCount(); row < rows; ++row) {
    InsertRow(row, std::to_string(row + 1));
  }
  for (int row = RowCount(); row > rows; --row) {
    SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row - 1), 0);
  }
  captions_ = static_cast<std::size_t>(rows);
}

void ValueGrid::TellParentOfEdits() const {
  SendMessageW(GetParent(list_), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list_), kCellsEdited),
               reinterpret_cast<LPARAM>(list_));
}

ValueGrid::~ValueGrid() {
  if (IsWindow(list_)) {
    RemoveWindowSubclass(list_, ListProc, kSubclassId);
  }
  if (row_height_ != nullptr) {
    ImageList_Destroy(row_height_);
  }
}

void ValueGrid::ApplyDpi(UINT dpi) {
  for (std::size_t column = 0; column < widths_.size(); ++column) {
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, Scale(widths_[column], dpi));
  }
  // A list view's rows are as high as its small images: an empty image list of a row's height.
  HIMAGELIST old = row_height_;
  row_height_ = ImageList_Create(1, Scale(row_height_pixels_, dpi), ILC_COLOR32, 0, 0);
  SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(row_height_));
  if (old != nullptr) {
    ImageList_Destroy(old);
  }
}

std::string ValueGrid::Value(int row, int column) const {
  wchar_t text[256] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = static_cast<int>(std::size(text));
  SendMessageW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return Utf8(text);
}

void ValueGrid::SetValue(int row, const std::string& text, int column) {
  const std::wstring wide = Wide(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(wide.c_str());
  SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::vector<std::string> ValueGrid::Values(int column) const {
  std::vector<std::string> values;
  values.reserve(captions_);
  for (int row = 0; row < RowCount(); ++row) {
    values.push_back(Value(row, column));
  }
  return values;
}

void ValueGrid::SetValues(const std::vector<std::string>& values, int column) {
  for (int row = 0; row < RowCount() && row < static_cast<int>(values.size()); ++row) {
    if (Value(row, column) != values[row]) {
      SetValue(row, values[row], column);
    }
  }
}

bool ValueGrid::Editable(int column) const {
  return column > 0 && column < static_cast<int>(editable_.size()) && editable_[column];
}

int ValueGrid::NextEditColumn(int step) const {
  for (int column = edit_column_ + step; column >= 0 && column < static_cast<int>(editable_.size());
       column += step) {
    if (Editable(column)) {
      return column;
    }
  }
  return edit_column_;
}

void ValueGrid::SetEditColumn(int column) {
  if (Editable(column) && column != edit_column_) {
    CommitOpenEditor();
    edit_column_ = column;
    InvalidateRect(list_, nullptr, FALSE);
  }
}

int ValueGrid::CurrentRow() const {
  const auto focused =
      static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return focused < 0 ? 0 : focused;
}

std::pair<int, int> ValueGrid::SelectedRows() const {
  int first = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (first < 0) {
    const int row = CurrentRow();
    return {row, row};
  }
  int last = first;
  for (int next = first; next >= 0;
       next = static_cast<int>(
           SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(next), LVNI_SELECTED))) {
    last = next;
  }
  return {first, last};
}

void ValueGrid::SetCurrentRow(int row) {
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  LVITEMW current{};
  current.state = current.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&current));
  SendMessageW(list_, LVM_SETSELECTIONMARK, 0, row);
  SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void ValueGrid::BeginEdit(const std::wstring* text) {
  CommitOpenEditor();
  if (!Editable(edit_column_)) {
    return;  // a table to read
  }
  const int row = CurrentRow();
  if (row >= RowCount()) {
    return;
  }
  SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  RECT cell{};
  cell.top = edit_column_;
  cell.left = LVIR_BOUNDS;
  SendMessageW(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&cell));
  editing_row_ = row;
  editing_column_ = edit_column_;
  const std::wstring initial = text != nullptr ? *text : Wide(Value(row, edit_column_));
  editor_ = CreateWindowExW(0, L"EDIT", initial.c_str(),
                            WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell.left, cell.top,
                            cell.right - cell.left, cell.bottom - cell.top, list_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kCellEditor)),
                            GetModuleHandleW(nullptr), nullptr);
  SendMessageW(editor_, WM_SETFONT, SendMessageW(list_, WM_GETFONT, 0, 0), FALSE);
  SetWindowSubclass(editor_, EditorProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  if (text != nullptr) {
    SendMessageW(editor_, EM_SETSEL, initial.size(), initial.size());
  } else {
    SendMessageW(editor_, EM_SETSEL, 0, -1);
  }
  SetFocus(editor_);
}

void ValueGrid::CommitOpenEditor() {
  if (editor_ == nullptr) {
    return;
  }
  HWND editor = editor_;
  editor_ = nullptr;  // closing the editor moves the focus, which must not commit twice
  const std::string typed = Utf8(WindowText(editor));
  const bool changed = typed != Value(editing_row_, editing_column_);
  SetValue(editing_row_, typed, editing_column_);
  const bool had_focus = GetFocus() == editor;
  DestroyWindow(editor);
  if (had_focus) {
    SetFocus(list_);
  }
  if (changed) {
    TellParentOfEdits();
  }
}

void ValueGrid::CancelOpenEditor() {
  if (editor_ == nullptr) {
    return;
  }
  HWND editor = editor_;
  editor_ = nullptr;
  const bool had_focus = GetFocus() == editor;
  DestroyWindow(editor);
  if (had_focus) {
    SetFocus(list_);
  }
}

void ValueGrid::ClearSelectedCells() {
  for (int row = -1;
       (row = static_cast<int>(
            SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0;) {
    SetValue(row, std::string(), edit_column_);
  }
  TellParentOfEdits();
}

LRESULT ValueGrid::StringGridDrawCell(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      // The captions form a fixed column, drawn like a header.
      if (draw.iSubItem == 0) {
        draw.clrTextBk = GetSysColor(COLOR_BTNFACE);
        draw.clrText = GetSysColor(COLOR_BTNTEXT);
        // A selected row keeps its caption readable: the full-row highlight is left to the
        // column that is edited.
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
      } else if (draw.iSubItem == bar_column_) {
        DrawBar(draw);
        return CDRF_SKIPDEFAULT;
      } else if (any_editable_ && draw.iSubItem != edit_column_) {
        const bool shown_only = !Editable(draw.iSubItem);
        draw.clrTextBk = shown_only ? GetSysColor(COLOR_3DLIGHT) : GetSysColor(COLOR_WINDOW);
        draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
      } else {
        draw.clrTextBk = CLR_DEFAULT;
        draw.clrText = CLR_DEFAULT;
      }
      return CDRF_NEWFONT;
  }
  return CDRF_DODEFAULT;
}

void ValueGrid::SetBars(const std::vector<app::GridBar>& bars) {
  if (bars != bars_) {
    bars_ = bars;
    InvalidateRect(list_, nullptr, FALSE);
  }
}

void ValueGrid::DrawBar(const NMLVCUSTOMDRAW& draw) const {
  const int row = static_cast<int>(draw.nmcd.dwItemSpec);
  RECT cell{};
  cell.top = draw.iSubItem;
  cell.left = LVIR_BOUNDS;
  SendMessageW(list_, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&cell));
  const bool selected =
      SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
  FillRect(draw.nmcd.hdc, &cell, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (row < 0 || row >= static_cast<int>(bars_.size()) || bars_[row].fill <= 0) {
    return;
  }
  const double fill = std::min(bars_[row].fill, 1.0);
  const int height = cell.bottom - cell.top;
  RECT bar{cell.left + 3, cell.top + height / 5, 0, cell.bottom - height / 5};
  bar.right = bar.left + std::max(1, static_cast<int>((cell.right - cell.left - 6) * fill));
  const std::uint32_t rgb = bars_[row].rgb;
  HBRUSH brush = CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  FillRect(draw.nmcd.hdc, &bar, brush);
  DeleteObject(brush);
  // Framed, so that a pale pen's bar stands out from the white.
  FrameRect(draw.nmcd.hdc, &bar, GetSysColorBrush(COLOR_GRAYTEXT));
}

bool ValueGrid::Notify(const NMHDR& header, LRESULT& result) {
  if (header.hwndFrom != list_) {
    return false;
  }
  switch (header.code) {
    case NM_CUSTOMDRAW:
      result = StringGridDrawCell(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      return true;
    case NM_DBLCLK:
      BeginEdit();
      result = 0;
      return true;
    case LVN_BEGINSCROLL:
      CommitOpenEditor();
      result = 0;
      return true;
  }
  return false;
}

LRESULT CALLBACK ValueGrid::ListProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                     UINT_PTR, DWORD_PTR self_data) {
  auto* self = reinterpret_cast<ValueGrid*>(self_data);
  switch (message) {
    case WM_KEYDOWN:
      if (wparam == VK_F2) {
        self->BeginEdit();
        return 0;
      }
      if (wparam == VK_DELETE) {
        self->ClearSelectedCells();
        return 0;
      }
      if ((wparam == VK_LEFT || wparam == VK_RIGHT) && self->editable_.size() > 2) {
        self->SetEditColumn(self->NextEditColumn(wparam == VK_LEFT ? -1 : +1));
        return 0;
      }
      break;
    case WM_CHAR:
      // Typing starts the editor with what was typed; Enter, Esc and Tab keep their meanings.
      if (wparam >= 0x20 && wparam != 0x7F) {
        const std::wstring typed(1, static_cast<wchar_t>(wparam));
        self->BeginEdit(&typed);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN: {
      self->CommitOpenEditor();
      LVHITTESTINFO hit{};
      hit.pt = {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (SendMessageW(window, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0) {
        self->SetEditColumn(hit.iSubItem);
      }
      break;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
      self->CommitOpenEditor();
      break;
    case WM_GETDLGCODE:
      // The arrow keys move the current row; Enter, Esc and Tab stay the dialog's.
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT CALLBACK ValueGrid::EditorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR self_data) {
  auto* self = reinterpret_cast<ValueGrid*>(self_data);
  switch (message) {
    case WM_KILLFOCUS:
      if (self->editor_ == window) {
        self->CommitOpenEditor();  // destroys this window: nothing more may touch it
        return 0;
      }
      break;
    case WM_GETDLGCODE:
      // Enter and Esc belong to the cell while it is typed into, not to the dialog's buttons.
      return DLGC_WANTALLKEYS | DefSubclassProc(window, message, wparam, lparam);
    case WM_CHAR:
      if (wparam == L'\r' || wparam == 0x1B) {
        return 0;  // handled as keys below; an edit control would only beep
      }
      break;
    case WM_KEYDOWN:
      if (wparam == VK_UP || wparam == VK_DOWN || wparam == VK_RETURN) {
        // The arrows and Enter leave the cell and move to the next row, as in a grid.
        HWND list = self->list_;
        self->CommitOpenEditor();
        SendMessageW(list, WM_KEYDOWN, wparam == VK_UP ? VK_UP : VK_DOWN, 0);
        return 0;
      }
      if (wparam == VK_ESCAPE) {
        self->CancelOpenEditor();  // this cell's typing only; the dialog stays
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, EditorProc, kSubclassId);
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace penmorph::win
