#include "win/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/file_rows.h"
#include "app/path_text.h"
#include "app/screen_fit.h"
#include "app/window_texts.h"
#include "win/control_ids.h"
#include "win/controls.h"
#include "win/preview_pane.h"
#include "win/settings_dialogs.h"
#include "win/win_text.h"

// The window's controls, menus and layout.

namespace penmorph::win {

namespace texts = app::texts;

namespace {

std::vector<app::ScreenRect> WorkAreas() {
  std::vector<app::ScreenRect> screens;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          const RECT& work = info.rcWork;
          reinterpret_cast<std::vector<app::ScreenRect>*>(data)->push_back(
              {work.left, work.top, work.right - work.left, work.bottom - work.top});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&screens));
  return screens;
}

// A window's frame brought back onto today's screens.
void FitWindow(HWND window, int left, int top, int width, int height, bool keep_size) {
  const app::ScreenRect fitted = app::FitOnScreens({left, top, width, height}, WorkAreas());
  SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.width, fitted.height,
               SWP_NOZORDER | SWP_NOACTIVATE | (keep_size ? SWP_NOSIZE : 0));
}

}  // namespace

void TForm1::BuildControls() {
  HWND window = hwnd();
  search_field_ = AddControl(window, L"EDIT", "", ES_READONLY | ES_AUTOHSCROLL,
                             ids::kSearchFolderEdit, WS_EX_CLIENTEDGE);
  SetWindowSubclass(search_field_, SearchFieldProc, kSearchFieldSubclass,
                    reinterpret_cast<DWORD_PTR>(this));
  tree_ =
      AddControl(window, WC_TREEVIEWW, "",
                 WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                 ids::kFolderTree, WS_EX_CLIENTEDGE);
  SHSTOCKICONINFO folder{};
  folder.cbSize = sizeof folder;
  if (SUCCEEDED(SHGetStockIconInfo(SIID_FOLDER, SHGSI_ICON | SHGSI_SMALLICON, &folder))) {
    folder_images_ = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                      ILC_COLOR32 | ILC_MASK, 1, 0);
    ImageList_AddIcon(folder_images_, folder.hIcon);
    DestroyIcon(folder.hIcon);
    SendMessageW(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(folder_images_));
  }
  const DWORD button = WS_TABSTOP | BS_PUSHBUTTON;
  file_type_label_ = AddControl(window, L"STATIC", texts::kFileTypeLabel, SS_LEFT | SS_CENTERIMAGE,
                                ids::kFileTypeLabel);
  file_type_ = AddControl(window, L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                          ids::kFileTypeCombo);
  for (const app::FileType& type : app::FileTypes(formats_)) {
    SendMessageW(file_type_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(type.label).c_str()));
  }
  jww_button_ =
      AddControl(window, L"BUTTON", texts::kJwwSettingsButton, button, ids::kJwwSettingsButton);
  jwc_button_ =
      AddControl(window, L"BUTTON", texts::kJwcSettingsButton, button, ids::kJwcSettingsButton);
  layer_button_ =
      AddControl(window, L"BUTTON", texts::kLayerSettingsButton, button, ids::kLayerSettingsButton);
  destination_label_ = AddControl(window, L"STATIC", texts::kDestinationLabel,
                                  SS_LEFT | SS_CENTERIMAGE, ids::kDestinationLabel);
  destination_field_ = AddControl(window, L"EDIT", "", WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
                                  ids::kDestinationEdit, WS_EX_CLIENTEDGE);
  browse_button_ = AddControl(window, L"BUTTON", texts::kBrowseButton, button, ids::kBrowseButton);
  convert_button_ =
      AddControl(window, L"BUTTON", texts::kConvertButton, button, ids::kConvertButton);
  subfolders_ = AddControl(window, L"BUTTON", texts::kSubfoldersCaption,
                           WS_TABSTOP | BS_AUTOCHECKBOX, ids::kSubfoldersCheckBox);
  stop_button_ =
      AddControl(window, L"BUTTON", texts::kStopCaption, button | WS_DISABLED, ids::kStopButton);
  banner_ = AddControl(window, L"STATIC", texts::kWholeTreeBanner, SS_LEFT | SS_CENTERIMAGE,
                       ids::kListBanner);
  list_ = AddControl(window, WC_LISTVIEWW, "", WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                     ids::kFileList, WS_EX_CLIENTEDGE);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  preview_ = std::make_unique<PreviewPane>(window, formats_);
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    const std::wstring head = Wide(texts::kColumnHeads[column]);
    LVCOLUMNW lv_column{};
    lv_column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lv_column.fmt = column == app::kSizeColumn ? LVCFMT_RIGHT : LVCFMT_LEFT;
    lv_column.cx = 64;
    lv_column.pszText = const_cast<wchar_t*>(head.c_str());
    lv_column.iSubItem = column;
    SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&lv_column));
  }
  status_ = AddControl(window, STATUSCLASSNAMEW, "", SBARS_SIZEGRIP, ids::kStatusBar);
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, status_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kProgressBar)),
                              GetModuleHandleW(nullptr), nullptr);
  ApplyFonts(WindowDpi(window));
}

void TForm1::BuildMenus() {
  HMENU bar = CreateMenu();
  std::vector<ACCEL> keys;
  auto add = [&](HMENU into, const app::MenuItem& item, auto& self) -> void {
    if (item.caption.empty()) {
      AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
      return;
    }
    if (!item.submenu.empty()) {
      HMENU sub = CreatePopupMenu();
      for (const app::MenuItem& child : item.submenu) {
        self(sub, child, self);
      }
      AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub),
                  Wide(item.caption).c_str());
      return;
    }
    const int id = ids::MenuId(item.command, item.argument);
    std::wstring caption = Wide(item.caption);
    if (!item.shortcut.empty()) {
      caption += L"\t" + Wide(item.shortcut);
      if (item.shortcut == "F5") {
        keys.push_back({FVIRTKEY, VK_F5, static_cast<WORD>(id)});
      }
    }
    AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(id), caption.c_str());
  };
  for (const app::Menu& menu : app::MainMenus(formats_)) {
    HMENU popup = CreatePopupMenu();
    for (const app::MenuItem& item : menu.items) {
      add(popup, item, add);
    }
    AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                Wide(menu.caption).c_str());
  }
  SetMenu(hwnd(), bar);
  shortcuts_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

bool TForm1::TranslateShortcut(MSG& message) {
  return shortcuts_ != nullptr && TranslateAcceleratorW(hwnd(), shortcuts_, &message) != 0;
}

void TForm1::ApplyFonts(UINT dpi) {
  font_ = UiFont(12, dpi);
  big_font_ = UiFont(18, dpi, true);
  SetFontOfChildren(hwnd(), font_.get());
  preview_->SetFont(font_.get());
  SendMessageW(convert_button_, WM_SETFONT, reinterpret_cast<WPARAM>(big_font_.get()), TRUE);
}

WindowLayout TForm1::FirstLayout() const {
  app::ColumnMeasures columns;
  HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    columns.head_pixels[column] = TextWidth(header, texts::kColumnHeads[column]);
    columns.typical_pixels[column] = TextWidth(list_, texts::kTypicalRow[column]);
  }
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &info);
  const RECT& work = info.rcWork;
  return app::FirstStartLayout(
      {work.left, work.top, work.right - work.left, work.bottom - work.top}, columns);
}

void TForm1::ApplyLayout(const WindowLayout& layout) {
  FitWindow(hwnd(), layout.main_left, layout.main_top, layout.main_width, layout.main_height,
            false);
  for (auto [dialog, left, top] :
       {std::tuple{jwc_dialog_->hwnd(), layout.jwc_dialog_left, layout.jwc_dialog_top},
        std::tuple{jww_dialog_->hwnd(), layout.jww_dialog_left, layout.jww_dialog_top}}) {
    RECT frame{};
    GetWindowRect(dialog, &frame);
    FitWindow(dialog, left, top, frame.right - frame.left, frame.bottom - frame.top, true);
  }
  pane_width_ = layout.folder_pane_width;
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                 layout.column_widths[column]);
  }
  LayOut();
}

void TForm1::LayOut() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const UINT dpi = WindowDpi(hwnd());
  auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
  SendMessageW(status_, WM_SIZE, 0, 0);
  RECT status_frame{};
  GetWindowRect(status_, &status_frame);
  const int bottom = client.bottom - (status_frame.bottom - status_frame.top);
  // Every control moves in one step and without its old bits copied: moved one by one, a
  // maximised window kept stale pieces of the old layout and blank buttons.
  HDWP moves = BeginDeferWindowPos(20);
  auto place = [&moves](HWND control, int left, int top, int width, int height) {
    if (moves != nullptr) {
      moves = DeferWindowPos(moves, control, nullptr, left, top, std::max(0, width),
                             std::max(0, height), SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
  };
  const int pane = std::clamp(pane_width_, s(40), std::max(s(40), int(client.right) - s(200)));
  const int field_height = s(22);
  place(search_field_, 0, 0, pane, field_height);
  place(tree_, 0, field_height + s(2), pane, bottom - field_height - s(2));
  const int left = pane + s(6);
  const int label_width = s(84);
  const int row_height = s(24);
  const int convert_width = s(88);
  const int convert_left = std::max(left + s(200), int(client.right) - s(4) - convert_width);
  place(convert_button_, convert_left, s(4), convert_width, s(52));
  place(file_type_label_, left, s(4), label_width, row_height);
  place(file_type_, left + label_width, s(5), s(130), s(200));
  place(jww_button_, left + label_width + s(136), s(4), s(92), row_height);
  place(jwc_button_, left + label_width + s(232), s(4), s(92), row_height);
  place(destination_label_, left, s(32), label_width, row_height);
  const int browse_left = convert_left - s(6) - s(56);
  place(destination_field_, left + label_width, s(33),
        std::max(s(40), browse_left - s(6) - left - label_width), s(22));
  place(browse_button_, browse_left, s(32), s(56), row_height);
  place(subfolders_, left, s(60), s(240), row_height);
  // Under the JWC/JWK button: beside it, the default window has no room before "変換".
  place(layer_button_, left + label_width + s(232), s(60), s(92), row_height);
  place(stop_button_, convert_left, s(60), convert_width, row_height);
  // The banner (with "サブフォルダも含める") and the list above, the selected file's preview below.
  const int banner = (GetWindowLongW(banner_, GWL_STYLE) & WS_VISIBLE) != 0 ? s(22) : 0;
  const int list_top = s(88) + banner;
  const int below_bar = std::max(0, bottom - list_top - s(2));
  const int list_height = below_bar / 2;
  const int right_width = std::max(0, int(client.right) - left - s(2));
  place(banner_, left, s(88), right_width, banner);
  place(list_, left, list_top, right_width, list_height);
  place(preview_->hwnd(), left, list_top + list_height + s(4), right_width,
        below_bar - list_height - s(4));
  EndDeferWindowPos(moves);
  FillNameColumn();
  ShowStatusParts();
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The status bar: the status, the selection's count, and while a run goes its count and time
// left with the progress bar over the last part.
void TForm1::ShowStatusParts() {
  RECT bar{};
  GetClientRect(status_, &bar);
  const UINT dpi = WindowDpi(hwnd());
  const int progress_width = Scale(200, dpi);
  const int progress_left = bar.right - progress_width - Scale(20, dpi);
  if (model_.running()) {
    const int counter_left = std::max(0, progress_left - Scale(180, dpi));
    const int parts[] = {counter_left, progress_left, -1};
    SendMessageW(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  } else {
    const int parts[] = {std::max(0, int(bar.right) - Scale(110, dpi)), -1};
    SendMessageW(status_, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  }
  MoveWindow(progress_, progress_left + Scale(2, dpi), Scale(3, dpi), progress_width,
             bar.bottom - Scale(6, dpi), TRUE);
}

WindowLayout TForm1::CurrentLayout() const {
  WindowLayout layout = model_.settings().layout;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  RECT frame{};
  GetWindowRect(hwnd(), &frame);
  layout.maximized = 0;
  if (GetWindowPlacement(hwnd(), &placement) && placement.showCmd != SW_SHOWNORMAL) {
    frame = placement.rcNormalPosition;  // the size to come back to
    layout.maximized = placement.showCmd == SW_SHOWMAXIMIZED ? 1 : 0;
  }
  layout.main_left = frame.left;
  layout.main_top = frame.top;
  layout.main_width = frame.right - frame.left;
  layout.main_height = frame.bottom - frame.top;
  const POINT jwc = jwc_dialog_->Place();
  const POINT jww = jww_dialog_->Place();
  layout.jwc_dialog_left = jwc.x;
  layout.jwc_dialog_top = jwc.y;
  layout.jww_dialog_left = jww.x;
  layout.jww_dialog_top = jww.y;
  layout.folder_pane_width = pane_width_;
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    layout.column_widths[column] =
        static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  return layout;
}

}  // namespace penmorph::win
