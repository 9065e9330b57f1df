#include "win/main_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/path_text.h"
#include "app/preview_panel.h"
#include "app/screen_fit.h"
#include "app/window_settings.h"
#include "app/window_texts.h"
#include "common/file_system.h"
#include "convert/batch_runner.h"
#include "win/control_ids.h"
#include "win/controls.h"
#include "win/jwc_settings_dialog.h"
#include "win/jww_settings_dialog.h"
#include "win/preview_pane.h"
#include "win/report_window.h"
#include "win/win_text.h"

// windows.h makes CreateHardLink a macro, which would rename the file system's method.
#undef CreateHardLink

namespace penmorph::win {

namespace fs = std::filesystem;
using app::FolderTree;

namespace {

constexpr UINT kApplySelection = WM_APP + 1;
// Posted by a run's threads: there is news of the run.
constexpr UINT kRunProgress = WM_APP + 2;
constexpr UINT_PTR kSubclassId = 1;

constexpr const char* kFileTypes[app::kFileTypeCount] = {
    "全てのファイル(*.*)", "*.JW?", "*.JWW", "*.JWS", "*.JWC", "*.JWK",
};
constexpr const char* kFileTypeMenuItems[app::kFileTypeCount] = {
    "全てのファイル(*.*) (&0)",
    "(*.jw?) (&1)",
    "(*.jww) (&2)",
    "(*.jws) (&3)",
    "(*.jwc) (&4)",
    "(*.jwk) (&5)",
};
constexpr const char* kColumnHeaders[app::kFileColumnCount] = {
    "ファイル名", "Bytes", "種類", "図面メモ", "更新日時", "属性",
};
constexpr std::string_view kSearchFolderTitle = "検索フォルダの指定";
constexpr std::string_view kDestinationTitle = "保存先フォルダの指定";

// What a chosen folder is kept as: its text, ending in a separator.
std::string FolderText(const fs::path& chosen) {
  return app::PathText(app::FolderPath(chosen));
}

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

HMENU AddMenu(HMENU bar, std::string_view caption) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), Wide(caption).c_str());
  return menu;
}

void AddItem(HMENU menu, int id, std::string_view caption) {
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), Wide(caption).c_str());
}

}  // namespace

TForm1::TForm1(MainWindowSetup setup)
    : formats_(std::move(setup.formats)),
      own_desktop_(setup.desktop == nullptr ? std::make_unique<Desktop>() : nullptr),
      desktop_(setup.desktop != nullptr ? *setup.desktop : *own_desktop_),
      program_folder_(std::move(setup.program_folder)),
      ini_path_(std::move(setup.ini_path)),
      browser_(formats_, *this) {
  RegisterClassOnce(kClassName);
  CreateWindowOf(kClassName, L"Penmorph Ver.1.03", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                 CW_USEDEFAULT, CW_USEDEFAULT, 696, 478, nullptr);
  BuildControls();
  BuildMenus();
  const WindowLayout defaults;
  jwc_dialog_ = std::make_unique<TForm2>(settings_.tables.jwc, hwnd(),
                                         POINT{defaults.jwc_dialog_left, defaults.jwc_dialog_top});
  jww_dialog_ = std::make_unique<TForm3>(settings_.tables.jww, desktop_, hwnd(),
                                         POINT{defaults.jww_dialog_left, defaults.jww_dialog_top});
  Start();
}

TForm1::~TForm1() {
  if (folder_images_ != nullptr) {
    ImageList_Destroy(folder_images_);
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

  file_type_label_ = AddControl(window, L"STATIC", "ファイルの種類", SS_LEFT | SS_CENTERIMAGE,
                                ids::kFileTypeLabel);
  file_type_ = AddControl(window, L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                          ids::kFileTypeCombo);
  for (const char* type : kFileTypes) {
    SendMessageW(file_type_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(type).c_str()));
  }
  jww_button_ = AddControl(window, L"BUTTON", "JWW/JWS設定", WS_TABSTOP | BS_PUSHBUTTON,
                           ids::kJwwSettingsButton);
  jwc_button_ = AddControl(window, L"BUTTON", "JWC/JWK設定", WS_TABSTOP | BS_PUSHBUTTON,
                           ids::kJwcSettingsButton);
  destination_label_ = AddControl(window, L"STATIC", "保存先フォルダ", SS_LEFT | SS_CENTERIMAGE,
                                  ids::kDestinationLabel);
  destination_field_ = AddControl(window, L"EDIT", "", WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL,
                                  ids::kDestinationEdit, WS_EX_CLIENTEDGE);
  browse_button_ =
      AddControl(window, L"BUTTON", "参照", WS_TABSTOP | BS_PUSHBUTTON, ids::kBrowseButton);
  convert_button_ =
      AddControl(window, L"BUTTON", "変換", WS_TABSTOP | BS_PUSHBUTTON, ids::kConvertButton);

  subfolders_ = AddControl(window, L"BUTTON", app::texts::kSubfoldersCaption,
                           WS_TABSTOP | BS_AUTOCHECKBOX, ids::kSubfoldersCheckBox);
  stop_button_ = AddControl(window, L"BUTTON", app::texts::kStopCaption,
                            WS_TABSTOP | BS_PUSHBUTTON | WS_DISABLED, ids::kStopButton);

  list_ = AddControl(window, WC_LISTVIEWW, "", WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                     ids::kFileList, WS_EX_CLIENTEDGE);
  SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER);
  preview_ = std::make_unique<PreviewPane>(window, formats_);
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    const std::wstring header = Wide(kColumnHeaders[column]);
    LVCOLUMNW lv_column{};
    lv_column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lv_column.fmt = column == app::kSizeColumn ? LVCFMT_RIGHT : LVCFMT_LEFT;
    lv_column.cx = 64;
    lv_column.pszText = const_cast<wchar_t*>(header.c_str());
    lv_column.iSubItem = column;
    SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&lv_column));
  }

  status_ = AddControl(window, STATUSCLASSNAMEW, "", SBARS_SIZEGRIP, ids::kStatusBar);
  int whole = -1;
  SendMessageW(status_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
  progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0, status_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ids::kProgressBar)),
                              GetModuleHandleW(nullptr), nullptr);
  ApplyFonts(WindowDpi(window));
}

void TForm1::BuildMenus() {
  HMENU bar = CreateMenu();
  HMENU file = AddMenu(bar, "ファイル (&F)");
  AddItem(file, ids::kMenuSearchFolder, "検索フォルダの指定 (&S)");
  HMENU types = CreatePopupMenu();
  for (int index = 0; index < app::kFileTypeCount; ++index) {
    AddItem(types, ids::kMenuFileType0 + index, kFileTypeMenuItems[index]);
  }
  AppendMenuW(file, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(types),
              Wide("ファイルの種類 (&T)").c_str());
  AddItem(file, ids::kMenuDestination, "保存先フォルダの指定 (&H)");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AddItem(file, ids::kMenuExit, "終了 (&X)");
  HMENU settings = AddMenu(bar, "設定 (&S)");
  AddItem(settings, ids::kMenuJwwSettings, "JWW/JWS設定 (&1)");
  AddItem(settings, ids::kMenuJwcSettings, "JWC/JWK設定 (&2)");
  AppendMenuW(settings, MF_SEPARATOR, 0, nullptr);
  AddItem(settings, ids::kMenuSaveSettings, "現在の設定を保存(&S)...");
  AddItem(settings, ids::kMenuOpenSettings, "保存した設定を開く(&O)...");
  SetMenu(hwnd(), bar);
}

void TForm1::ApplyFonts(UINT dpi) {
  font_ = UiFont(12, dpi);
  big_font_ = UiFont(18, dpi, true);
  SetFontOfChildren(hwnd(), font_.get());
  preview_->SetFont(font_.get());
  SendMessageW(convert_button_, WM_SETFONT, reinterpret_cast<WPARAM>(big_font_.get()), TRUE);
}

void TForm1::Start() {
  settings_ = app::LoadStartSettings(program_folder_, ini_path_);
  const WindowLayout& layout = settings_.layout;
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
  SendMessageW(file_type_, CB_SETCURSEL,
               static_cast<WPARAM>(app::ValidFileType(settings_.file_type)), 0);
  SetWindowTextUtf8(destination_field_, settings_.destination_folder);
  browser_.Start();
  LayOut();
}

void TForm1::Show(int show_command) {
  ShowWindow(hwnd(), show_command);
  UpdateWindow(hwnd());
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

  const int pane = std::clamp(pane_width_, s(40), std::max(s(40), int(client.right) - s(200)));
  const int field_height = s(22);
  MoveWindow(search_field_, 0, 0, pane, field_height, TRUE);
  MoveWindow(tree_, 0, field_height + s(2), pane, std::max(0, bottom - field_height - s(2)), TRUE);

  const int left = pane + s(6);
  const int label_width = s(84);
  const int row_height = s(24);
  const int convert_width = s(88);
  const int convert_left = std::max(left + s(200), int(client.right) - s(4) - convert_width);
  MoveWindow(convert_button_, convert_left, s(4), convert_width, s(52), TRUE);
  MoveWindow(file_type_label_, left, s(4), label_width, row_height, TRUE);
  MoveWindow(file_type_, left + label_width, s(5), s(130), s(200), TRUE);
  MoveWindow(jww_button_, left + label_width + s(136), s(4), s(92), row_height, TRUE);
  MoveWindow(jwc_button_, left + label_width + s(232), s(4), s(92), row_height, TRUE);
  MoveWindow(destination_label_, left, s(32), label_width, row_height, TRUE);
  const int browse_left = convert_left - s(6) - s(56);
  MoveWindow(destination_field_, left + label_width, s(33),
             std::max(s(40), browse_left - s(6) - left - label_width), s(22), TRUE);
  MoveWindow(browse_button_, browse_left, s(32), s(56), row_height, TRUE);
  MoveWindow(subfolders_, left, s(60), s(240), row_height, TRUE);
  MoveWindow(stop_button_, convert_left, s(60), convert_width, row_height, TRUE);
  // The list above, the selected file's preview below.
  const int below_bar = std::max(0, bottom - s(88) - s(2));
  const int list_height = below_bar / 2;
  const int right_width = std::max(0, int(client.right) - left - s(2));
  MoveWindow(list_, left, s(88), right_width, list_height, TRUE);
  MoveWindow(preview_->hwnd(), left, s(88) + list_height + s(4), right_width,
             std::max(0, below_bar - list_height - s(4)), TRUE);

  ShowRunParts(run_ != nullptr);
}

// While a run goes the status bar has three parts: the status, the count and time left, and
// the progress bar over the last.
void TForm1::ShowRunParts(bool running) {
  RECT bar{};
  GetClientRect(status_, &bar);
  const UINT dpi = WindowDpi(hwnd());
  const int progress_width = Scale(200, dpi);
  const int progress_left = bar.right - progress_width - Scale(20, dpi);
  if (running) {
    const int parts[] = {std::max(0, progress_left - Scale(200, dpi)), progress_left, -1};
    SendMessageW(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  } else {
    const int whole = -1;
    SendMessageW(status_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&whole));
  }
  MoveWindow(progress_, progress_left + Scale(2, dpi), Scale(3, dpi), progress_width,
             bar.bottom - Scale(6, dpi), TRUE);
}

WindowLayout TForm1::CurrentLayout() const {
  WindowLayout layout;
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  RECT frame{};
  GetWindowRect(hwnd(), &frame);
  if (GetWindowPlacement(hwnd(), &placement) && placement.showCmd != SW_SHOWNORMAL) {
    frame = placement.rcNormalPosition;  // the size to come back to
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

// --- app::Prompts ---

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

void TForm1::ReportProgress(std::size_t index, std::size_t total) {
  SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(index), 0);
  ShowWindow(progress_, SW_SHOW);
  UpdateWindow(progress_);
  if (busy_ != nullptr) {
    (void)busy_->EscapePressed();  // lets the window repaint; a run cannot be stopped
  }
}

// --- choosing folders ---

void TForm1::ChooseSearchFolder() {
  SetStatus({});
  auto chosen =
      desktop_.ChooseFolder(hwnd(), kSearchFolderTitle, app::PathFromText(settings_.search_folder));
  if (!chosen) {
    return;
  }
  settings_.search_folder = FolderText(*chosen);
  SetWindowTextUtf8(search_field_, settings_.search_folder);
  BuildFolderTree();
}

void TForm1::OpenStartPath(const std::filesystem::path& argument) {
  const std::optional<app::StartPath> start = app::StartPathOf(argument);
  if (!start) {
    return;
  }
  settings_.search_folder = app::PathText(app::FolderPath(start->folder));
  SetWindowTextUtf8(search_field_, settings_.search_folder);
  EnableWindow(tree_, FALSE);
  BusyPump pump;
  busy_ = &pump;
  const bool opened =
      browser_.OpenStartPath(*start, ListingOptions(), [&pump] { return pump.EscapePressed(); });
  busy_ = nullptr;
  EnableWindow(tree_, TRUE);
  if (!opened) {
    return;
  }
  ShowTree();
  // The root is the folder listed: the tree highlights it, as after a click.
  showing_ = true;
  const auto root = SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, root);
  showing_ = false;
  ShowRows();
  if (const auto& range = browser_.list().selection()) {
    SendMessageW(list_, LVM_ENSUREVISIBLE, range->first, FALSE);
  }
}

void TForm1::ChooseDestination() {
  auto chosen = desktop_.ChooseFolder(hwnd(), kDestinationTitle,
                                      app::PathFromText(settings_.destination_folder));
  if (!chosen) {
    return;
  }
  settings_.destination_folder = FolderText(*chosen);
  SetWindowTextUtf8(destination_field_, settings_.destination_folder);
}

// --- the folder tree ---

app::ListOptions TForm1::ListingOptions() const {
  return {static_cast<int>(SendMessageW(file_type_, CB_GETCURSEL, 0, 0)),
          static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, app::kSizeColumn, 0))};
}

void TForm1::BuildFolderTree() {
  EnableWindow(tree_, FALSE);
  BusyPump pump;
  busy_ = &pump;
  const bool built = browser_.BuildFolderTree(app::PathFromText(settings_.search_folder),
                                              [&pump] { return pump.EscapePressed(); });
  busy_ = nullptr;
  if (built) {
    ShowTree();
    ShowRows();
  }
  EnableWindow(tree_, TRUE);
}

void TForm1::ShowTree() {
  showing_ = true;
  SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  const FolderTree& model = browser_.tree();
  if (!model.empty()) {
    // Parents before children, each child under the item made for its parent.
    auto add = [&](auto& self, FolderTree::NodeId id, HTREEITEM parent) -> HTREEITEM {
      const std::wstring text = Wide(model.node(id).text);
      TVINSERTSTRUCTW insert{};
      insert.hParent = parent;
      insert.hInsertAfter = TVI_LAST;
      insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      insert.item.pszText = const_cast<wchar_t*>(text.c_str());
      insert.item.lParam = static_cast<LPARAM>(id);
      auto item = reinterpret_cast<HTREEITEM>(
          SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
      for (FolderTree::NodeId child : model.node(id).children) {
        self(self, child, item);
      }
      return item;
    };
    HTREEITEM root = add(add, FolderTree::kRoot, TVI_ROOT);
    SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
  }
  // No folder is highlighted until the user picks one, as no folder is listed.
  SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, 0);
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
  BusyPump pump;
  busy_ = &pump;
  browser_.ShowFolder(node, ListingOptions(), [&pump] { return pump.EscapePressed(); });
  busy_ = nullptr;
  ShowRows();
}

void TForm1::SelectFileType(int index) {
  SendMessageW(file_type_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  RelistSelectedFolder();
}

void TForm1::RelistSelectedFolder() {
  BusyPump pump;
  busy_ = &pump;
  browser_.FileTypeChanged(ListingOptions(), [&pump] { return pump.EscapePressed(); });
  busy_ = nullptr;
  ShowRows();
}

// --- the file list ---

void TForm1::ShowRows() {
  showing_ = true;
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
  const auto& rows = browser_.list().rows();
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
  ShowPreview();
}

void TForm1::ShowSelection() {
  const bool was_showing = showing_;
  showing_ = true;
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  if (const auto& range = browser_.list().selection()) {
    for (std::size_t row = range->first; row <= range->last; ++row) {
      LVITEMW selected{};
      selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      selected.state = LVIS_SELECTED | (row == range->first ? LVIS_FOCUSED : 0);
      SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&selected));
    }
    SendMessageW(list_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(range->first));
  }
  showing_ = was_showing;
}

void TForm1::TakeSelection() {
  selection_pending_ = false;
  const int first = static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  if (first < 0) {
    browser_.list().ClearSelection();
    ShowPreview();
    return;
  }
  int last = first;
  for (int next = first; next >= 0;
       next = static_cast<int>(
           SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(next), LVNI_SELECTED))) {
    last = next;
  }
  browser_.list().Select(static_cast<std::size_t>(first), static_cast<std::size_t>(last));
  // One contiguous range: rows picked apart with Ctrl are joined.
  const auto selected = static_cast<int>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0));
  if (selected != last - first + 1) {
    ShowSelection();
  }
  ShowPreview();
}

void TForm1::ShowPreview() {
  preview_->ShowFile(app::FileToPreview(browser_.list()), settings_.tables);
}

void TForm1::SortColumn(int column) {
  BusyPump pump;
  busy_ = &pump;
  browser_.PressHeader(column, ListingOptions(), [&pump] { return pump.EscapePressed(); });
  busy_ = nullptr;
  ShowRows();
}

void TForm1::RepadSizes() {
  if (!browser_.list_ready()) {
    return;
  }
  HDC dc = GetDC(list_);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list_, WM_GETFONT, 0, 0)));
  SIZE digit{};
  GetTextExtentPoint32W(dc, L"0", 1, &digit);
  SelectObject(dc, old);
  ReleaseDC(list_, dc);
  browser_.RepadSizes(
      static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, app::kSizeColumn, 0)), digit.cx);
  const auto& rows = browser_.list().rows();
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    const std::wstring text = Wide(rows[row].cells[app::kSizeColumn]);
    LVITEMW item{};
    item.iSubItem = app::kSizeColumn;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
  }
}

void TForm1::OpenFile() {
  std::optional<std::size_t> row;
  const auto focused =
      static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  if (focused >= 0) {
    row = static_cast<std::size_t>(focused);
  }
  if (auto file = browser_.FileToOpen(row)) {
    desktop_.OpenWithAssociatedProgram(hwnd(), *file);
  }
}

// --- settings ---

void TForm1::ShowJwwSettings() {
  jww_dialog_->ShowModal();
  preview_->TablesChanged(settings_.tables);
}

void TForm1::ShowJwcSettings() {
  jwc_dialog_->ShowModal();
  preview_->TablesChanged(settings_.tables);
}

void TForm1::SaveSettings() {
  auto chosen = desktop_.ChooseSettingsFile(hwnd(), true, "現在の設定を保存",
                                            app::PathFromText(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = app::PathText(*chosen);
  (void)app::SaveTablesAs(*chosen, settings_.tables, *this);
}

void TForm1::OpenSettings() {
  auto chosen = desktop_.ChooseSettingsFile(hwnd(), false, "保存した設定ファイルを開く",
                                            app::PathFromText(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = app::PathText(*chosen);
  app::OpenTablesFrom(*chosen, settings_.tables);
  preview_->TablesChanged(settings_.tables);
}

// --- converting ---

void TForm1::ConvertFiles() {
  if (Busy()) {
    return;  // one run at a time
  }
  const bool whole_tree = SendMessageW(subfolders_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  std::optional<app::ConversionPlan> plan =
      browser_.PlanConversion(settings_.destination_folder, whole_tree, ListingOptions());
  if (!plan) {
    return;
  }
  SendMessageW(progress_, PBM_SETRANGE32, 0, 0);  // empty until the files are counted
  SendMessageW(progress_, PBM_SETPOS, 0, 0);
  ShowRunParts(true);
  ShowWindow(progress_, SW_SHOW);
  EnableWindow(stop_button_, TRUE);
  // The run goes on threads of its own; it posts news, which this thread reads.
  const HWND window = hwnd();
  run_ = std::make_unique<app::BackgroundRun>(
      std::move(*plan), formats_, settings_.tables, DefaultWorkers(),
      [window] { PostMessageW(window, kRunProgress, 0, 0); });
  ShowRunProgress();
}

void TForm1::StopConversion() {
  if (run_) {
    run_->Stop();
    EnableWindow(stop_button_, FALSE);
  }
}

void TForm1::ShowRunProgress() {
  if (!run_) {
    return;
  }
  const app::RunProgress progress = run_->Poll();
  SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(progress.total));
  SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(progress.done), 0);
  SendMessageW(status_, SB_SETTEXTW, 1,
               reinterpret_cast<LPARAM>(Wide(app::ProgressText(progress)).c_str()));
  if (!progress.status.empty()) {
    SetStatus(progress.status);
  }
  if (!progress.finished) {
    return;
  }
  const app::RunReport report = run_->TakeReport();
  run_.reset();
  ShowWindow(progress_, SW_HIDE);
  ShowRunParts(false);
  SetStatus(progress.status);
  if (GetFocus() == stop_button_) {
    SetFocus(convert_button_);  // a disabled button would leave the keyboard nowhere
  }
  EnableWindow(stop_button_, FALSE);
  if (auto reported = app::ReportedFiles(report); !reported.empty()) {
    ReportWindow(reported, desktop_).ShowModal(hwnd());
  }
}

// --- leaving ---

void TForm1::Exit() {
  if (AskYesNo(app::texts::kExitQuestion)) {
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
  }
}

bool TForm1::Close() {
  if (Busy()) {
    // A folder walk runs inside this window's handlers, and a run is to be stopped with "中止"
    // and its report seen: the window does not go away under either.
    if (run_) {
      Beep();
    }
    return false;
  }
  settings_.layout = CurrentLayout();
  settings_.file_type = static_cast<int>(SendMessageW(file_type_, CB_GETCURSEL, 0, 0));
  (void)SaveIniFile(ini_path_, settings_);  // a failure here has no one left to tell
  DestroyWindow(hwnd());
  return true;
}

// --- events ---

bool TForm1::Notify(const NMHDR& header, LRESULT& result) {
  result = 0;
  if (header.hwndFrom == tree_) {
    switch (header.code) {
      case TVN_SELCHANGEDW:
        // The keyboard lists a folder as a click does: the list never shows another folder than
        // the one the tree highlights.
        if (!showing_) {
          ShowFolder();
        }
        return true;
      case NM_CLICK: {
        // A click on the highlighted node lists it again; one on another node moves the
        // highlight, which lists it.
        TVHITTESTINFO hit{};
        GetCursorPos(&hit.pt);
        ScreenToClient(tree_, &hit.pt);
        auto item = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree_, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        const auto current =
            reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (item != nullptr && (hit.flags & TVHT_ONITEM) != 0 && item == current) {
          ShowFolder();
        } else if (!browser_.tree_ready()) {
          ShowFolder();  // says that there is no tree
        }
        return true;
      }
    }
    return false;
  }
  if (header.hwndFrom == list_) {
    switch (header.code) {
      case LVN_COLUMNCLICK:
        SortColumn(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
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
    }
    return false;
  }
  // The list's header: the "Bytes" column at a new width shows its sizes padded anew.
  if (header.code == HDN_ITEMCHANGEDW || header.code == HDN_ENDTRACKW) {
    const auto& change = reinterpret_cast<const NMHEADERW&>(header);
    if (change.iItem == app::kSizeColumn && GetParent(header.hwndFrom) == list_) {
      RepadSizes();
    }
    return false;
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
      const int code = HIWORD(wparam);
      if (id >= ids::kMenuFileType0 && id < ids::kMenuFileType0 + app::kFileTypeCount) {
        SelectFileType(id - ids::kMenuFileType0);
        return 0;
      }
      switch (id) {
        case ids::kMenuSearchFolder:
          ChooseSearchFolder();
          return 0;
        case ids::kMenuDestination:
        case ids::kBrowseButton:
          ChooseDestination();
          return 0;
        case ids::kMenuExit:
          Exit();
          return 0;
        case ids::kMenuJwwSettings:
        case ids::kJwwSettingsButton:
          ShowJwwSettings();
          return 0;
        case ids::kMenuJwcSettings:
        case ids::kJwcSettingsButton:
          ShowJwcSettings();
          return 0;
        case ids::kMenuSaveSettings:
          SaveSettings();
          return 0;
        case ids::kMenuOpenSettings:
          OpenSettings();
          return 0;
        case ids::kConvertButton:
          ConvertFiles();
          return 0;
        case ids::kStopButton:
          StopConversion();
          return 0;
        case ids::kFileTypeCombo:
          if (code == CBN_SELCHANGE) {
            RelistSelectedFolder();
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
    case kRunProgress:
      ShowRunProgress();
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
        pane_width_ = std::clamp(static_cast<int>(GET_X_LPARAM(lparam)), 40,
                                 std::max(40, static_cast<int>(client.right) - 200));
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
  const std::optional<std::filesystem::path> start_path = setup.start_path;
  TForm1 window(std::move(setup));
  window.Show(show_command);
  if (start_path) {
    window.OpenStartPath(*start_path);
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.hwnd() == nullptr || !IsDialogMessageW(window.hwnd(), &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace penmorph::win
