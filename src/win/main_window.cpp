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
#include "win/preview_pane.h"
#include "win/report_window.h"
#include "win/settings_dialogs.h"
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
  jwc_dialog_ = std::make_unique<TForm2>(model_.jwc_dialog(), desktop_, hwnd(),
                                         POINT{defaults.jwc_dialog_left, defaults.jwc_dialog_top});
  jww_dialog_ = std::make_unique<TForm3>(model_.jww_dialog(), desktop_, hwnd(),
                                         POINT{defaults.jww_dialog_left, defaults.jww_dialog_top});
  layer_dialog_ = std::make_unique<TForm4>(model_.layer_dialog(), desktop_, hwnd());
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

void TForm1::Show(int show_command) {
  const bool normal = show_command == SW_SHOWNORMAL || show_command == SW_SHOWDEFAULT;
  ShowWindow(hwnd(),
             normal && model_.settings().layout.maximized != 0 ? SW_SHOWMAXIMIZED : show_command);
  UpdateWindow(hwnd());
  PostMessageW(hwnd(), kShown, 0, 0);
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

bool TForm1::OpenWithAssociatedProgram(const fs::path& file) {
  return desktop_.OpenWithAssociatedProgram(hwnd(), file);
}

void TForm1::ShowSettingsDialog(app::SettingsDialog which) {
  switch (which) {
    case app::SettingsDialog::kJww:
      jww_dialog_->ShowModal();
      return;
    case app::SettingsDialog::kJwc:
      jwc_dialog_->ShowModal();
      return;
    case app::SettingsDialog::kLayers: {
      const preview::Drawing* drawing = preview_->panel().drawing();
      model_.ShowLayersOf(drawing != nullptr ? &drawing->layers : nullptr,
                          preview_->panel().file());
      layer_dialog_->ShowModal();
      return;
    }
  }
}

void TForm1::ShowReport(const app::RunSummary& summary) {
  ReportWindow(summary, desktop_).ShowModal(hwnd());
}

void TForm1::ShowCheckReport(const std::string& report) {
  ReportWindow(report, desktop_).ShowModal(hwnd());
}

void TForm1::ShowSurveyReport() {
  DescribedDialog(model_.survey_dialog(), desktop_, hwnd(), std::nullopt).ShowModal();
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
    SetWindowTextUtf8(search_field_, model_.SearchFieldText());
    SetWindowTextUtf8(destination_field_, settings.destination_folder);
  }
  if (parts & app::kRowsPart) {
    ShowRows();
  } else if (parts & app::kSizesPart) {
    ShowSizes();
  }
  if (parts & (app::kSelectionPart | app::kRowsPart)) {
    ShowCounterPart();
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
  EnableWindow(tree_, !model_.walking() && !model_.loading());
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
      if (model_.Expanded(id)) {
        SendMessageW(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
      }
      return item;
    };
    add(add, FolderTree::kRoot, TVI_ROOT);
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
  ShowSortArrow();
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  FillNameColumn();  // a scroll bar may have come or gone
  InvalidateRect(list_, nullptr, TRUE);
  showing_ = false;
  const auto& selected = model_.browser().list().selected_rows();
  if (!selected.empty()) {
    SendMessageW(list_, LVM_ENSUREVISIBLE, selected.front(), FALSE);
  }
}

void TForm1::ShowSortArrow() {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  const auto& sort = model_.browser().shown_sort();
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (sort && sort->column == column) {
      item.fmt |= sort->descending ? HDF_SORTDOWN : HDF_SORTUP;
    }
    SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
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
  // Its own flag, not IsWindowVisible: while the window itself is hidden (at start) every
  // control reads as hidden.
  if (banner != ((GetWindowLongW(banner_, GWL_STYLE) & WS_VISIBLE) != 0)) {
    ShowWindow(banner_, banner ? SW_SHOW : SW_HIDE);
    LayOut();
  }
  ShowStatusParts();
  EnableWindow(stop_button_, running && !model_.stopping());
  if (!running && GetFocus() == stop_button_) {
    SetFocus(convert_button_);  // a disabled button would leave the keyboard nowhere
  }
  ShowWindow(progress_, running ? SW_SHOW : SW_HIDE);
  ShowCounterPart();
  if (running) {
    const app::RunProgress& progress = model_.progress();
    SendMessageW(progress_, PBM_SETRANGE32, 0, static_cast<LPARAM>(progress.total));
    SendMessageW(progress_, PBM_SETPOS, static_cast<WPARAM>(progress.done), 0);
  }
}

void TForm1::ShowCounterPart() {
  // While a run goes, its counter takes the selection's part: the status needs the room.
  const std::string text = model_.running() ? model_.ProgressLine() : model_.SelectionText();
  SendMessageW(status_, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void TForm1::FillNameColumn() {
  std::array<int, app::kFileColumnCount> widths{};
  for (int column = 0; column < app::kFileColumnCount; ++column) {
    widths[column] =
        static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  RECT client{};
  GetClientRect(list_, &client);
  const int width =
      app::NameColumnWidth(client.right, widths, TextWidth(list_, app::kNameColumnMinimumText));
  if (width != widths[app::kNameColumn]) {
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, app::kNameColumn, width);
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
