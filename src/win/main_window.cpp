#include "win/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/path_text.h"
#include "app/screen_fit.h"
#include "app/window_texts.h"
#include "win/control_ids.h"
#include "win/controls.h"
#include "win/jwc_settings_dialog.h"
#include "win/jww_settings_dialog.h"
#include "win/preview_pane.h"
#include "win/report_window.h"
#include "win/win_text.h"

// windows.h makes CreateHardLink a macro, which would rename the file system's method.
#undef CreateHardLink

#ifndef PENMORPH_VERSION
#error "PENMORPH_VERSION comes from the CMake project version"
#endif

namespace penmorph::win {

namespace fs = std::filesystem;
namespace texts = app::texts;
using app::FolderTree;

namespace {

constexpr UINT kApplySelection = WM_APP + 1;
// Posted by a run's threads: there is news of the run.
constexpr UINT kRunProgress = WM_APP + 2;
// Posted once the window is first shown: the start path or the last search folder.
constexpr UINT kShown = WM_APP + 3;
constexpr UINT_PTR kSubclassId = 1;

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

fs::path DocumentsFolder() {
  PWSTR path = nullptr;
  fs::path folder;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &path))) {
    folder = path;
  }
  CoTaskMemFree(path);
  return folder;
}

app::ModelSetup ModelSetupOf(const MainWindowSetup& setup) {
  return {setup.program_folder, setup.ini_path,
          setup.documents_folder.empty() ? DocumentsFolder() : setup.documents_folder, 0,
          PENMORPH_VERSION};
}

int TextWidth(HWND control, std::string_view text) {
  HDC dc = GetDC(control);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  const std::wstring wide = Wide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

}  // namespace

TForm1::TForm1(MainWindowSetup setup)
    : formats_(std::move(setup.formats)),
      own_desktop_(setup.desktop == nullptr ? std::make_unique<Desktop>() : nullptr),
      desktop_(setup.desktop != nullptr ? *setup.desktop : *own_desktop_),
      start_path_(setup.start_path),
      model_(formats_, *this, ModelSetupOf(setup)) {
  RegisterClassOnce(kClassName);
  CreateWindowOf(kClassName, Wide(texts::kWindowTitle).c_str(),
                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_ACCEPTFILES, CW_USEDEFAULT,
                 CW_USEDEFAULT, 696, 478, nullptr);
  BuildControls();
  BuildMenus();
  const WindowLayout defaults;
  jwc_dialog_ = std::make_unique<TForm2>(model_.tables().jwc, hwnd(),
                                         POINT{defaults.jwc_dialog_left, defaults.jwc_dialog_top});
  jww_dialog_ = std::make_unique<TForm3>(model_.tables().jww, desktop_, hwnd(),
                                         POINT{defaults.jww_dialog_left, defaults.jww_dialog_top});
  model_.Start();
  ApplyLayout(model_.first_start() ? FirstLayout() : model_.settings().layout);
  Changed(~0u);
}

TForm1::~TForm1() {
  if (folder_images_ != nullptr) {
    ImageList_Destroy(folder_images_);
  }
  if (shortcuts_ != nullptr) {
    DestroyAcceleratorTable(shortcuts_);
  }
}

void TForm1::BuildControls() {
  HWND window = hwnd();
  search_field_ = AddControl(window, L"EDIT", "", ES_READONLY | ES_AUTOHSCROLL,
                             ids::kSearchFolderEdit, WS_EX_CLIENTEDGE);
  SetWindowSubclass(search_field_, SearchFieldProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
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
  for (std::string_view type : texts::kFileTypes) {
    SendMessageW(file_type_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(type).c_str()));
  }
  jww_button_ =
      AddControl(window, L"BUTTON", texts::kJwwSettingsButton, button, ids::kJwwSettingsButton);
  jwc_button_ =
      AddControl(window, L"BUTTON", texts::kJwcSettingsButton, button, ids::kJwcSettingsButton);
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
  for (const app::Menu& menu : app::MainMenus()) {
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

void TForm1::Show(int show_command) {
  const bool normal = show_command == SW_SHOWNORMAL || show_command == SW_SHOWDEFAULT;
  ShowWindow(hwnd(),
             normal && model_.settings().layout.maximized != 0 ? SW_SHOWMAXIMIZED : show_command);
  UpdateWindow(hwnd());
  PostMessageW(hwnd(), kShown, 0, 0);
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
  place(stop_button_, convert_left, s(60), convert_width, row_height);
  // The banner (with "サブフォルダも含める") and the list above, the selected file's preview below.
  const int banner = IsWindowVisible(banner_) ? s(22) : 0;
  const int list_top = s(88) + banner;
  const int below_bar = std::max(0, bottom - list_top - s(2));
  const int list_height = below_bar / 2;
  const int right_width = std::max(0, int(client.right) - left - s(2));
  place(banner_, left, s(88), right_width, banner);
  place(list_, left, list_top, right_width, list_height);
  place(preview_->hwnd(), left, list_top + list_height + s(4), right_width,
        below_bar - list_height - s(4));
  EndDeferWindowPos(moves);
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
    const int text_left = std::max(0, progress_left - Scale(200, dpi));
    const int parts[] = {std::max(0, text_left - Scale(90, dpi)), text_left, progress_left, -1};
    SendMessageW(status_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
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

// --- app::MainWindowView ---

void TForm1::ShowMessage(app::MessageKind kind, std::string_view text) {
  desktop_.ShowMessage(hwnd(), kind, text);
}

bool TForm1::AskYesNo(std::string_view text) {
  return desktop_.AskYesNo(hwnd(), text);
}

void TForm1::Beep() {
  desktop_.Beep();
}

void TForm1::SetStatus(std::string_view text) {
  SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
  UpdateWindow(status_);
}

std::optional<fs::path> TForm1::ChooseFolder(std::string_view title, const fs::path& start) {
  return desktop_.ChooseFolder(hwnd(), title, start);
}

std::optional<fs::path> TForm1::ChooseSettingsFile(bool save, std::string_view title,
                                                   const fs::path& start) {
  return desktop_.ChooseSettingsFile(hwnd(), save, title, start);
}

void TForm1::OpenWithAssociatedProgram(const fs::path& file) {
  desktop_.OpenWithAssociatedProgram(hwnd(), file);
}

void TForm1::ShowSettingsDialog(app::SettingsDialog which) {
  if (which == app::SettingsDialog::kJww) {
    jww_dialog_->ShowModal();
  } else {
    jwc_dialog_->ShowModal();
  }
}

void TForm1::ShowReport(const app::RunSummary& summary) {
  ReportWindow(summary, desktop_).ShowModal(hwnd());
}

void TForm1::Changed(unsigned parts) {
  if (!model_.walking()) {
    walk_.reset();
  }
  const AppSettings& settings = model_.settings();
  if (parts & app::kFileTypePart) {
    SendMessageW(file_type_, CB_SETCURSEL, static_cast<WPARAM>(settings.file_type), 0);
  }
  if (parts & app::kOptionsPart) {
    CheckMenuItem(GetMenu(hwnd()), ids::MenuId(app::Command::kReopenSearchFolder),
                  settings.reopen_search_folder != 0 ? MF_CHECKED : MF_UNCHECKED);
  }
  if (parts & app::kTreePart) {
    ShowTree();
  }
  if (parts & (app::kTreePart | app::kFoldersPart)) {
    // Empty until a folder has been searched: the built-in one is the program's own.
    const bool searched = model_.browser().tree_ready() || model_.walking();
    SetWindowTextUtf8(search_field_, searched ? settings.search_folder : std::string());
    SetWindowTextUtf8(destination_field_, settings.destination_folder);
  }
  if (parts & app::kRowsPart) {
    ShowRows();
  } else if (parts & app::kSizesPart) {
    ShowSizes();
  }
  if (parts & (app::kSelectionPart | app::kRowsPart)) {
    SendMessageW(status_, SB_SETTEXTW, 1,
                 reinterpret_cast<LPARAM>(Wide(model_.SelectionText()).c_str()));
    preview_->ShowFile(model_.FileToPreview(), model_.tables());
  }
  if (parts & app::kTablesPart) {
    preview_->TablesChanged(model_.tables());
  }
  if (parts & app::kRunPart) {
    ShowRun();
  }
}

void TForm1::WakeSoon() {
  PostMessageW(hwnd(), kRunProgress, 0, 0);
}

bool TForm1::WalkShouldStop() {
  if (!walk_) {
    walk_ = std::make_unique<BusyPump>();
  }
  return walk_->EscapePressed();
}

int TForm1::SizeColumnPixels() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, app::kSizeColumn, 0));
}

void TForm1::CloseWindow() {
  PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void TForm1::OpenStartPath(const fs::path& argument) {
  model_.OpenPaths({argument});
}

// --- showing the model ---

void TForm1::ShowTree() {
  showing_ = true;
  EnableWindow(tree_, !model_.walking());
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  const FolderTree& tree = model_.browser().tree();
  HTREEITEM shown = nullptr;
  if (!tree.empty()) {
    // Parents before children, each child under the item made for its parent.
    auto add = [&](auto& self, FolderTree::NodeId id, HTREEITEM parent) -> HTREEITEM {
      const std::wstring text = Wide(tree.node(id).text);
      TVINSERTSTRUCTW insert{};
      insert.hParent = parent;
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      insert.item.pszText = const_cast<wchar_t*>(text.c_str());
      insert.item.lParam = static_cast<LPARAM>(id);
      auto item = reinterpret_cast<HTREEITEM>(
          SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
      if (model_.browser().shown_node() == id) {
        shown = item;
      }
      for (FolderTree::NodeId child : tree.node(id).children) {
        self(self, child, item);
      }
      return item;
    };
    HTREEITEM root = add(add, FolderTree::kRoot, TVI_ROOT);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
  }
  // The tree highlights the folder listed, and none while none is.
  SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(shown));
  SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(tree_, nullptr, TRUE);
  showing_ = false;
}

void TForm1::ShowFolder() {
  std::optional<FolderTree::NodeId> node;
  if (auto item =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0))) {
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    node = static_cast<FolderTree::NodeId>(data.lParam);
  }
  model_.ShowFolder(node);
}

void TForm1::ShowRows() {
  showing_ = true;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  const auto& rows = model_.browser().list().rows();
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    for (int column = 0; column < app::kFileColumnCount; ++column) {
      const std::wstring text = Wide(rows[row].cells[column]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.iSubItem = column;
      item.pszText = const_cast<wchar_t*>(text.c_str());
      SendMessageW(list_, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMW, 0,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  ShowSelection();
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  showing_ = false;
  const auto& selected = model_.browser().list().selected_rows();
  if (!selected.empty()) {
    SendMessageW(list_, LVM_ENSUREVISIBLE, selected.front(), FALSE);
  }
}

void TForm1::ShowSizes() {
  const auto& rows = model_.browser().list().rows();
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const std::wstring text = Wide(rows[row].cells[app::kSizeColumn]);
    LVITEMW item{};
    item.iSubItem = app::kSizeColumn;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void TForm1::ShowSelection() {
  const bool was_showing = showing_;
  showing_ = true;
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  const auto& selected = model_.browser().list().selected_rows();
  for (std::size_t row : selected) {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | (row == selected.front() ? LVIS_FOCUSED : 0);
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  }
  if (!selected.empty()) {
    SendMessageW(list_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(selected.front()));
  }
  showing_ = was_showing;
}

void TForm1::TakeSelection() {
  selection_pending_ = false;
  std::vector<std::size_t> rows;
  for (int next = -1;
       (next = static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(next),
                                             LVNI_SELECTED))) >= 0;) {
    rows.push_back(static_cast<std::size_t>(next));
  }
  model_.SelectRows(std::move(rows));
}

void TForm1::ShowRun() {
  const bool running = model_.running();
  const bool banner = !model_.ListBanner().empty();
  if (banner != (IsWindowVisible(banner_) != FALSE)) {
    ShowWindow(banner_, banner ? SW_SHOW : SW_HIDE);
    LayOut();
  }
  ShowStatusParts();
  EnableWindow(stop_button_, running && !model_.stopping());
  if (!running && GetFocus() == stop_button_) {
    SetFocus(convert_button_);  // a disabled button would leave the keyboard nowhere
  }
  ShowWindow(progress_, running ? SW_SHOW : SW_HIDE);
  SendMessageW(status_, SB_SETTEXTW, 1,
               reinterpret_cast<LPARAM>(Wide(model_.SelectionText()).c_str()));
  if (running) {
    const app::RunProgress& progress = model_.progress();
    SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(progress.total));
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(progress.done), 0);
    SendMessageW(status_, SB_SETTEXTW, 2,
                 reinterpret_cast<LPARAM>(Wide(model_.ProgressLine()).c_str()));
  }
}

void TForm1::RepadSizes() {
  model_.RepadSizes(SizeColumnPixels(), TextWidth(list_, "0"));
}

void TForm1::OpenFile() {
  std::optional<std::size_t> row;
  const auto focused =
      static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (focused >= 0) {
    row = static_cast<std::size_t>(focused);
  }
  model_.OpenRow(row);
}

void TForm1::DropFiles(HDROP drop) {
  std::vector<fs::path> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
    paths.emplace_back(name);
  }
  DragFinish(drop);
  model_.OpenPaths(paths);
}

bool TForm1::Close() {
  if (!model_.RequestClose()) {
    return false;
  }
  DestroyWindow(hwnd());
  return true;
}

// --- events ---

// Selected rows keep the highlight colours when the list loses the focus: the default grey is
// hard to see, and the selection is what "変換" converts.
LRESULT TForm1::DrawListItem(NMLVCUSTOMDRAW& draw) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
    return CDRF_NOTIFYITEMDRAW;
  }
  if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && GetFocus() != list_ &&
      SendMessageW(list_, LVM_GETITEMSTATE, draw.nmcd.dwItemSpec, LVIS_SELECTED) != 0) {
    draw.nmcd.uItemState &= ~CDIS_SELECTED;
    draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
  }
  return CDRF_DODEFAULT;
}

bool TForm1::Notify(const NMHDR& header, LRESULT& result) {
  result = 0;
  if (header.hwndFrom == tree_) {
    if (header.code == TVN_SELCHANGEDW && !showing_) {
      ShowFolder();  // the keyboard lists a folder as a click does
    } else if (header.code == NM_CLICK) {
      // A click on the highlighted node lists it again; one on another node moves the
      // highlight, which lists it.
      TVHITTESTINFO hit{};
      GetCursorPos(&hit.pt);
      ScreenToClient(tree_, &hit.pt);
      auto item = reinterpret_cast<HTREEITEM>(
          SendMessageW(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      const auto current =
          reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
      if ((item != nullptr && (hit.flags & TVHT_ONITEM) != 0 && item == current) ||
          !model_.browser().tree_ready()) {
        ShowFolder();
      }
    }
    return header.code == TVN_SELCHANGEDW || header.code == NM_CLICK;
  }
  if (header.hwndFrom == list_) {
    switch (header.code) {
      case LVN_COLUMNCLICK:
        model_.PressHeader(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
      case LVN_ITEMCHANGED:
        if (!showing_ && !selection_pending_ &&
            (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) != 0) {
          selection_pending_ = true;
          PostMessageW(hwnd(), kApplySelection, 0, 0);
        }
        return true;
      case NM_DBLCLK:
        OpenFile();
        return true;
      case NM_CUSTOMDRAW:
        result = DrawListItem(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
        return true;
    }
    return false;
  }
  // The list's header: the "Bytes" column at a new width shows its sizes padded anew.
  if (header.code == HDN_ITEMCHANGEDW || header.code == HDN_ENDTRACKW) {
    const auto& change = reinterpret_cast<const NMHEADERW&>(header);
    if (change.iItem == app::kSizeColumn && GetParent(header.hwndFrom) == list_) {
      RepadSizes();
    }
  }
  return false;
}

LRESULT CALLBACK TForm1::SearchFieldProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR, DWORD_PTR self_data) {
  if (message == WM_LBUTTONUP) {
    auto* self = reinterpret_cast<TForm1*>(self_data);
    PostMessageW(self->hwnd(), WM_COMMAND, ids::kMenuSearchFolder, 0);
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, SearchFieldProc, kSubclassId);
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id >= ids::kMenuSearchFolder && id <= ids::kMenuLast) {
        model_.Do(static_cast<app::Command>((id - ids::kMenuSearchFolder) / 16),
                  (id - ids::kMenuSearchFolder) % 16);
        return 0;
      }
      switch (id) {
        case ids::kBrowseButton:
          model_.ChooseDestination();
          return 0;
        case ids::kJwwSettingsButton:
          model_.EditSettings(app::SettingsDialog::kJww);
          return 0;
        case ids::kJwcSettingsButton:
          model_.EditSettings(app::SettingsDialog::kJwc);
          return 0;
        case ids::kConvertButton:
          model_.Convert();
          return 0;
        case ids::kStopButton:
          model_.Stop();
          return 0;
        case ids::kSubfoldersCheckBox:
          model_.SetWholeTree(SendMessageW(subfolders_, BM_GETCHECK, 0, 0) == BST_CHECKED);
          return 0;
        case ids::kFileTypeCombo:
          if (HIWORD(wparam) == CBN_SELCHANGE) {
            model_.SelectFileType(static_cast<int>(SendMessageW(file_type_, CB_GETCURSEL, 0, 0)));
          }
          return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (Notify(*reinterpret_cast<const NMHDR*>(lparam), result)) {
        return result;
      }
      break;
    }
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case kShown:
      model_.Shown(start_path_);
      return 0;
    case kRunProgress:
      model_.RunNews();
      return 0;
    case kApplySelection:
      if (selection_pending_) {
        TakeSelection();
      }
      return 0;
    case WM_SIZE:
      if (list_ != nullptr) {
        LayOut();
      }
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wparam) == hwnd() && LOWORD(lparam) == HTCLIENT) {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(hwnd(), &at);
        if (at.x >= pane_width_ && at.x < pane_width_ + Scale(6, WindowDpi(hwnd()))) {
          SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN: {
      const int x = GET_X_LPARAM(lparam);
      if (x >= pane_width_ && x < pane_width_ + Scale(6, WindowDpi(hwnd()))) {
        dragging_splitter_ = true;
        SetCapture(hwnd());
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_splitter_) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        // The same limits as the layout's, at this window's DPI.
        const UINT dpi = WindowDpi(hwnd());
        pane_width_ = std::clamp(static_cast<int>(GET_X_LPARAM(lparam)), Scale(40, dpi),
                                 std::max(Scale(40, dpi), int(client.right) - Scale(200, dpi)));
        LayOut();
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_splitter_) {
        dragging_splitter_ = false;
        if (message == WM_LBUTTONUP) {
          ReleaseCapture();
        }
        model_.LayoutChanged();
      }
      return 0;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
      const UINT dpi = WindowDpi(hwnd());
      limits->ptMinTrackSize = {Scale(480, dpi), Scale(300, dpi)};
      return 0;
    }
    case WM_DPICHANGED: {
      ApplyFonts(HIWORD(wparam));
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      LayOut();
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return WindowBase::HandleMessage(message, wparam, lparam);
}

int RunMainWindow(MainWindowSetup setup, int show_command) {
  TForm1 window(std::move(setup));
  window.Show(show_command);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.hwnd() == nullptr ||
        (!window.TranslateShortcut(message) && !IsDialogMessageW(window.hwnd(), &message))) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace penmorph::win
