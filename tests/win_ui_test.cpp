// The Win32 window driven as a user would, through messages to its real controls: it starts on a
// folder of built files, lists it, sorts, selects, sets table entries in both dialogs, converts,
// checks the outputs and the report of a failing file, and closes, writing the ini file.
//
// The window runs on the main thread as in the program; the steps run on a second thread and
// wait for the window's own signals (its status text, its controls' contents, a dialog or box
// showing), never for a length of time. Message boxes are the real ones, answered by clicking
// their buttons; only the folder and file pickers and the shell's "open" are answered by the
// test's desktop.

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "app/path_text.h"
#include "app/window_texts.h"
#include "common/path_text.h"
#include "formats/standard_formats.h"
#include "reference/dos_files.h"
#include "settings/settings_store.h"
#include "test_support.h"
#include "win/control_ids.h"
#include "win/main_window.h"
#include "win/win_text.h"

namespace penmorph::win {
namespace {

namespace fs = std::filesystem;
using penmorph::testing::ReadBytes;
using penmorph::testing::ScratchFolder;

// Answers the pickers and records what the shell was asked to open.
class TestDesktop : public Desktop {
 public:
  void QueueFolder(fs::path folder) {
    std::lock_guard lock(mutex_);
    folders_.push_back(std::move(folder));
  }
  void SetFileAnswer(fs::path file) {
    std::lock_guard lock(mutex_);
    file_ = std::move(file);
  }
  std::vector<fs::path> Opened() {
    std::lock_guard lock(mutex_);
    return opened_;
  }
  int beeps() const { return beeps_; }

  void Beep() override { ++beeps_; }
  std::optional<fs::path> ChooseFolder(HWND, std::string_view, const fs::path&) override {
    std::lock_guard lock(mutex_);
    if (folders_.empty()) {
      return std::nullopt;
    }
    fs::path folder = folders_.front();
    folders_.pop_front();
    return folder;
  }
  std::optional<fs::path> ChooseSettingsFile(HWND, bool, std::string_view,
                                             const fs::path&) override {
    std::lock_guard lock(mutex_);
    return file_;
  }
  std::optional<fs::path> ChooseReportFile(HWND, std::string_view, const fs::path&,
                                           std::string_view, std::string_view) override {
    std::lock_guard lock(mutex_);
    return file_;
  }
  bool OpenWithAssociatedProgram(HWND, const fs::path& file) override {
    std::lock_guard lock(mutex_);
    opened_.push_back(file);
    return true;
  }

 private:
  std::mutex mutex_;
  std::deque<fs::path> folders_;
  std::optional<fs::path> file_;
  std::vector<fs::path> opened_;
  std::atomic<int> beeps_{0};
};

// --- reading and driving controls from the test's thread ---

// Waits for a condition the window shows; the time limit only ends a test that has failed.
bool WaitUntil(const std::function<bool()>& condition, const std::string& what) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > give_up) {
      ADD_FAILURE() << "the window never showed: " << what;
      return false;
    }
    Sleep(5);
  }
  return true;
}

std::string Text(HWND window) {
  return Utf8(WindowText(window));
}

// A part of the status bar: 0 the status, 1 the selection's count or, while a run goes, its
// counter.
std::string StatusText(HWND main, int part = 0) {
  HWND bar = GetDlgItem(main, ids::kStatusBar);
  // SB_GETTEXT takes no size, and a run's window may lengthen the text between the two calls:
  // room for far more than was measured.
  const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0));
  std::wstring text(length + 4096u, L'\0');
  SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::wcslen(text.c_str()));
  return Utf8(text);
}

std::string CellText(HWND list, int row, int column) {
  wchar_t text[512] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return Utf8(text);
}

int RowCount(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::vector<std::string> Column(HWND list, int column) {
  std::vector<std::string> cells;
  for (int row = 0; row < RowCount(list); ++row) {
    cells.push_back(CellText(list, row, column));
  }
  return cells;
}

int FocusedRow(HWND list) {
  return static_cast<int>(
      SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// Selects rows first to last (the first one focused), as Shift and the arrows would.
void SelectRows(HWND list, int first, int last) {
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  for (int row = first; row <= last; ++row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | (row == first ? LVIS_FOCUSED : 0);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
}

// A mouse click on a header section, as the header control gets it.
void ClickHeader(HWND list, int column) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  RECT section{};
  SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&section));
  const LPARAM at =
      MAKELPARAM((section.left + section.right) / 2, (section.top + section.bottom) / 2);
  SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(header, WM_LBUTTONUP, 0, at);
}

std::vector<std::string> TreeChildren(HWND tree, HTREEITEM parent) {
  std::vector<std::string> texts;
  for (auto child = reinterpret_cast<HTREEITEM>(
           SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
       child != nullptr; child = reinterpret_cast<HTREEITEM>(SendMessageW(
                             tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)))) {
    wchar_t text[512] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = child;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    texts.push_back(Utf8(text));
  }
  return texts;
}

HTREEITEM TreeChild(HWND tree, HTREEITEM parent, int index) {
  auto child = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
  for (int i = 0; i < index && child != nullptr; ++i) {
    child = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
  }
  return child;
}

// The visible top-level windows of the window's thread with this class.
HWND FindShown(DWORD thread, const wchar_t* window_class) {
  struct Search {
    const wchar_t* window_class;
    HWND found;
  } search{window_class, nullptr};
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (IsWindowVisible(window) && lstrcmpW(name, search->window_class) == 0) {
          search->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A message box's text: the texts of its static controls.
std::string BoxText(HWND box) {
  std::string text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM data) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"Static") == 0) {
          *reinterpret_cast<std::string*>(data) += Utf8(WindowText(child));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

// Waits for the message box with this text, checks its buttons and clicks `answer`.
// `whole`: the box says exactly `text`; else it starts with it (a question whose end says what
// the tables will do, which the model's tests spell out).
bool AnswerBox(DWORD thread, const std::string& text, int answer, bool whole = true) {
  HWND box = nullptr;
  if (!WaitUntil(
          [&] {
            box = FindShown(thread, L"#32770");
            return box != nullptr &&
                   (whole ? BoxText(box) == text : BoxText(box).rfind(text, 0) == 0);
          },
          "the box \"" + text + "\"")) {
    return false;
  }
  EXPECT_EQ(Text(box), "Penmorph");
  HWND button = GetDlgItem(box, answer);
  EXPECT_NE(button, nullptr);
  PostMessageW(button, BM_CLICK, 0, 0);
  return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, "the box to close");
}

bool SameFolder(const std::string& shown, const fs::path& folder) {
  return shown == app::PathText(app::FolderPath(folder));
}

// --- the folder the window starts on ---

struct Folders {
  ScratchFolder scratch;
  fs::path program = scratch / "program";
  fs::path search = scratch / u8"案件";
  fs::path drawings = search / u8"図面";
  fs::path destination = scratch / u8"変換後";
  fs::path ini = program / "penmorph.ini";
};

void MakeFolders(const Folders& folders) {
  fs::create_directories(folders.program);
  fs::create_directories(folders.destination);
  fs::create_directories(folders.search / "empty");
  fs::create_directories(folders.search / "Zeta");
  // The example files: room.jww, chair.jws, example.jwc, example.jwk, readme.txt and
  // not-a-drawing.jww, which only carries a drawing's extension. The tool takes its folder as a
  // narrow argument, so it writes into an ASCII name that then becomes a Japanese one.
  const fs::path examples = folders.scratch / "examples";
  const std::wstring command =
      L"\"" + fs::path(PENMORPH_MAKE_EXAMPLES_PATH).native() + L"\" \"" + examples.native() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring line = command;
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process));
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  ASSERT_EQ(exit_code, 0u);
  fs::rename(examples, folders.drawings);
  penmorph::testing::WriteBytes(folders.drawings / "hidden.jww", "hidden");
  ASSERT_TRUE(SetFileAttributesW((folders.drawings / "hidden.jww").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW((folders.drawings / "readme.txt").c_str(),
                                 FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
}

// --- the steps ---

class Driver {
 public:
  Driver(HWND main, DWORD thread, TestDesktop& desktop, const Folders& folders)
      : main_(main), thread_(thread), desktop_(desktop), folders_(folders) {}

  void Run() {
    if (!Start() || !BuildTree() || !ListDrawings() || !Sort() || !FilterByType() ||
        !EditJwwTable() || !EditJwcTable() || !EditLayerTable() || !SaveAndOpenSettings() ||
        !Preview() || !ChooseDestination() || !Check() || !Convert() || !ConvertTree() ||
        !StopARun() || !OpenFile() || !Exit()) {
      // A failed step leaves the window as it is: end its thread's loops so the test ends.
      PostThreadMessageW(thread_, WM_QUIT, 0, 0);
    }
  }

 private:
  HWND Item(int id) const { return GetDlgItem(main_, id); }
  HWND list() const { return Item(ids::kFileList); }
  HWND tree() const { return Item(ids::kFolderTree); }

  bool Start() {
    EXPECT_EQ(Text(main_), "Penmorph Ver.1.03");
    EXPECT_EQ(StatusText(main_), "検索フォルダを指定して下さい。");
    EXPECT_EQ(SendMessageW(Item(ids::kFileTypeCombo), CB_GETCURSEL, 0, 0), 0);
    // "変換" without a tree: an error box after a beep.
    const int beeps = desktop_.beeps();
    PostMessageW(Item(ids::kConvertButton), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_, "検索フォルダを指定して下さい。", IDOK)) {
      return false;
    }
    EXPECT_EQ(desktop_.beeps(), beeps + 1);
    return true;
  }

  bool BuildTree() {
    desktop_.QueueFolder(folders_.search);
    PostMessageW(main_, WM_COMMAND, ids::kMenuSearchFolder, 0);
    if (!WaitUntil(
            [&] {
              return SendMessageW(tree(), TVM_GETNEXTITEM, TVGN_ROOT, 0) != 0 &&
                     IsWindowEnabled(tree());
            },
            "the folder tree")) {
      return false;
    }
    EXPECT_TRUE(SameFolder(Text(Item(ids::kSearchFolderEdit)), folders_.search));
    EXPECT_EQ(TreeChildren(tree(), nullptr),
              std::vector<std::string>{Text(Item(ids::kSearchFolderEdit))});
    root_ = reinterpret_cast<HTREEITEM>(SendMessageW(tree(), TVM_GETNEXTITEM, TVGN_ROOT, 0));
    // Sorted without regard to case.
    EXPECT_EQ(TreeChildren(tree(), root_), (std::vector<std::string>{"empty", "Zeta", "図面"}));
    EXPECT_EQ(StatusText(main_), "");
    EXPECT_EQ(RowCount(list()), 0);
    return true;
  }

  bool ListDrawings() {
    // Highlighting a folder lists it; the message returns when the list is shown.
    SendMessageW(tree(), TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(TreeChild(tree(), root_, 2)));
    const std::string folder = app::PathText(app::FolderPath(folders_.drawings));
    if (!WaitUntil([&] { return StatusText(main_) == "6 Files  パス名「" + folder + "」"; },
                   "the listing of the drawings")) {
      return false;
    }
    listed_order_ = Column(list(), app::kNameColumn);
    std::vector<std::string> sorted = listed_order_;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"chair.jws", "example.jwc", "example.jwk",
                                                "not-a-drawing.jww", "readme.txt", "room.jww"}));
    const int jwc = Row("example.jwc");
    const int readme = Row("readme.txt");
    if (jwc < 0 || readme < 0) {
      return false;
    }
    EXPECT_EQ(CellText(list(), jwc, app::kMemoColumn), "Penmorph example JWC drawing");
    EXPECT_EQ(CellText(list(), jwc, app::kTypeColumn), ".JWC");
    EXPECT_EQ(CellText(list(), readme, app::kAttributeColumn), "A R ");
    EXPECT_EQ(CellText(list(), readme, app::kTimeColumn).size(), 19u);
    // The size right-aligned to the column's characters: 64 pixels, 8 of them.
    EXPECT_EQ(CellText(list(), readme, app::kSizeColumn).size(), 8u);
    return true;
  }

  int Row(const std::string& name) const {
    const auto names = Column(list(), app::kNameColumn);
    const auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end()) {
      ADD_FAILURE() << name << " is not listed";
      return -1;
    }
    return static_cast<int>(at - names.begin());
  }

  bool Sort() {
    ClickHeader(list(), app::kNameColumn);
    const std::vector<std::string> ascending = {"chair.jws",         "example.jwc", "example.jwk",
                                                "not-a-drawing.jww", "readme.txt",  "room.jww"};
    EXPECT_EQ(Column(list(), app::kNameColumn), ascending);
    ClickHeader(list(), app::kNameColumn);
    EXPECT_EQ(Column(list(), app::kNameColumn),
              std::vector<std::string>(ascending.rbegin(), ascending.rend()));
    // "属性" lists the folder again in the file system's order.
    ClickHeader(list(), app::kAttributeColumn);
    EXPECT_EQ(Column(list(), app::kNameColumn), listed_order_);
    ClickHeader(list(), app::kNameColumn);  // the direction alternates: ascending again
    EXPECT_EQ(Column(list(), app::kNameColumn), ascending);
    return !::testing::Test::HasFailure();
  }

  bool FilterByType() {
    PostMessageW(main_, WM_COMMAND, ids::kMenuFileType0 + 2, 0);  // "(*.jww) (&2)"
    if (!WaitUntil([&] { return RowCount(list()) == 2; }, "the JWW files alone")) {
      return false;
    }
    EXPECT_EQ(SendMessageW(Item(ids::kFileTypeCombo), CB_GETCURSEL, 0, 0), 2);
    // Back to every file through the drop-down list, as its selection tells the window.
    SendMessageW(Item(ids::kFileTypeCombo), CB_SETCURSEL, 0, 0);
    SendMessageW(main_, WM_COMMAND, MAKEWPARAM(ids::kFileTypeCombo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(ids::kFileTypeCombo)));
    EXPECT_EQ(RowCount(list()), 6);
    // The direction goes on alternating across listings: descending, then ascending.
    ClickHeader(list(), app::kNameColumn);
    EXPECT_EQ(CellText(list(), 0, 0), "room.jww");
    ClickHeader(list(), app::kNameColumn);
    EXPECT_EQ(CellText(list(), 0, 0), "chair.jws");
    return !::testing::Test::HasFailure();
  }

  HWND OpenDialog(int button, const wchar_t* window_class) {
    PostMessageW(Item(button), BM_CLICK, 0, 0);
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
          dialog = FindShown(thread_, window_class);
          return dialog != nullptr && !IsWindowEnabled(main_);
        },
        "a settings dialog");
    return dialog;
  }

  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_, &info);
    return info.hwndFocus;
  }

  bool EditJwwTable() {
    HWND form = OpenDialog(ids::kJwwSettingsButton, L"TForm3");
    if (form == nullptr) {
      return false;
    }
    EXPECT_EQ(Text(form), "JWW/JWS設定");
    HWND colours = GetDlgItem(form, ids::kStringGrid1);
    HWND line_types = GetDlgItem(form, ids::kStringGrid2);
    EXPECT_EQ(RowCount(colours), 265);
    EXPECT_EQ(RowCount(line_types), 49);
    EXPECT_EQ(CellText(colours, 0, 0), "線色 1");
    EXPECT_EQ(CellText(colours, 0, 1), "0");

    // A colour of 12 is refused with a beep, a box saying why and the focus in the box; 3
    // fills the rows.
    SelectRows(colours, 0, 0);
    HWND edit1 = GetDlgItem(form, ids::kEdit1);
    SetWindowTextW(edit1, L"12");
    int beeps = desktop_.beeps();
    PostMessageW(GetDlgItem(form, ids::kButton1), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_, "一括設定の値 12 は 0〜9 の範囲で入力して下さい。", IDOK) ||
        !WaitUntil([&] { return Focus() == edit1; }, "the focus back in the fill's box")) {
      return false;
    }
    EXPECT_EQ(desktop_.beeps(), beeps + 1);
    EXPECT_EQ(CellText(colours, 0, 1), "0");
    SetWindowTextW(edit1, L"3");
    SendMessageW(GetDlgItem(form, ids::kButton1), BM_CLICK, 0, 0);
    EXPECT_EQ(CellText(colours, 0, 1), "3");

    // Typed into a cell in place: line type 2 (row 2) becomes 10, which "ＯＫ" refuses with a
    // box saying why, reopening the cell; then 19, which it takes.
    SelectRows(line_types, 1, 1);
    SendMessageW(line_types, WM_KEYDOWN, VK_F2, 0);
    HWND editor = GetDlgItem(line_types, ids::kCellEditor);
    if (editor == nullptr) {
      ADD_FAILURE() << "F2 opened no editor in the cell";
      return false;
    }
    SetWindowTextW(editor, L"10");
    beeps = desktop_.beeps();
    PostMessageW(GetDlgItem(form, IDOK), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_, "線種2:点線１ の値 10 は 0〜9、11〜19 の範囲で入力して下さい。",
                   IDOK) ||
        !WaitUntil(
            [&] {
              editor = GetDlgItem(line_types, ids::kCellEditor);
              return editor != nullptr && Focus() == editor;
            },
            "the focus in the refused cell's editor")) {
      return false;
    }
    EXPECT_EQ(desktop_.beeps(), beeps + 1);
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_EQ(FocusedRow(line_types), 1);
    EXPECT_EQ(Text(editor), "10");
    DWORD selected_from = 1;
    DWORD selected_to = 0;
    SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&selected_from),
                 reinterpret_cast<LPARAM>(&selected_to));
    EXPECT_EQ(selected_from, 0u);  // all of it selected, to be typed over
    EXPECT_EQ(selected_to, 2u);
    SetWindowTextW(editor, L"19");
    PostMessageW(GetDlgItem(form, IDOK), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindowVisible(form) && IsWindowEnabled(main_); },
                     "JWW/JWS設定 to close");
  }

  bool EditJwcTable() {
    HWND form = OpenDialog(ids::kJwcSettingsButton, L"TForm2");
    if (form == nullptr) {
      return false;
    }
    EXPECT_EQ(Text(form), "JWC/JWK設定");
    HWND pen1 = GetDlgItem(form, ids::kComboBox0 + 1);
    HWND line_type2 = GetDlgItem(form, ids::kComboBox0 + 8);
    HWND line_type3 = GetDlgItem(form, ids::kComboBox0 + 9);
    EXPECT_EQ(SendMessageW(pen1, CB_GETCOUNT, 0, 0), 7);
    EXPECT_EQ(SendMessageW(line_type2, CB_GETCOUNT, 0, 0), 19);
    SendMessageW(pen1, CB_SETCURSEL, 2, 0);         // Pen.1 -> Pen.2
    SendMessageW(line_type2, CB_SETCURSEL, 3, 0);   // 点線１ -> 点線２
    SendMessageW(line_type3, CB_SETCURSEL, 10, 0);  // the blank item: refused, saying why
    PostMessageW(GetDlgItem(form, IDOK), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_, "線種 3 の変換先が空欄です。線種を選んで下さい。", IDOK) ||
        !WaitUntil([&] { return Focus() == line_type3; }, "the focus on the blank list")) {
      return false;
    }
    EXPECT_TRUE(IsWindowVisible(form));
    SendMessageW(line_type3, CB_SETCURSEL, 0, 0);
    PostMessageW(GetDlgItem(form, IDOK), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindowVisible(form) && IsWindowEnabled(main_); },
                     "JWC/JWK設定 to close");
  }

  // The layer grid has two columns to type into: the arrows choose which. A new name typed into
  // one row, a target that names no layer refused with a box and its cell reopened, then taken.
  bool EditLayerTable() {
    HWND form = OpenDialog(ids::kLayerSettingsButton, L"TForm4");
    if (form == nullptr) {
      return false;
    }
    EXPECT_EQ(Text(form), "レイヤ設定");
    HWND layers = GetDlgItem(form, ids::kStringGrid1);
    EXPECT_EQ(RowCount(layers), 256);
    EXPECT_EQ(RowCount(GetDlgItem(form, ids::kStringGrid2)), 16);
    EXPECT_EQ(CellText(layers, 0xAF, 0), "A-F");
    SelectRows(layers, 0x25, 0x25);
    SendMessageW(layers, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageW(layers, WM_CHAR, L'壁', 0);
    EXPECT_NE(GetDlgItem(layers, ids::kCellEditor), nullptr);
    SelectRows(layers, 3, 3);
    SendMessageW(layers, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(layers, WM_CHAR, L'2', 0);
    HWND editor = GetDlgItem(layers, ids::kCellEditor);
    if (editor == nullptr) {
      ADD_FAILURE() << "typing opened no editor in the cell";
      return false;
    }
    EXPECT_EQ(CellText(layers, 0x25, 3), "壁");
    SetWindowTextW(editor, L"2-g");
    PostMessageW(GetDlgItem(form, IDOK), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_, "レイヤ 0-3 の移動先 2-g は 0-0〜F-F の形で入力して下さい。", IDOK) ||
        !WaitUntil(
            [&] {
              editor = GetDlgItem(layers, ids::kCellEditor);
              return editor != nullptr && Focus() == editor;
            },
            "the focus in the refused target's editor")) {
      return false;
    }
    EXPECT_EQ(FocusedRow(layers), 3);
    SetWindowTextW(editor, L"2-5");
    PostMessageW(GetDlgItem(form, IDOK), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindowVisible(form) && IsWindowEnabled(main_); },
                     "レイヤ設定 to close");
  }

  // "現在の設定を保存" writes both tables; "保存した設定を開く" takes another file's tables,
  // which the dialog then shows.
  bool SaveAndOpenSettings() {
    const fs::path saved = folders_.scratch / u8"設定.set";
    desktop_.SetFileAnswer(saved);
    SendMessageW(main_, WM_COMMAND, ids::kMenuSaveSettings, 0);
    ConversionTables tables;
    EXPECT_TRUE(OpenSettingsFile(saved, tables).ok());
    EXPECT_EQ(tables.jww.Entry(1), 3);
    EXPECT_EQ(tables.jwc.Entry(1), 2);
    EXPECT_EQ(tables.layers.Target(3), (LayerAddress{2, 5}));
    EXPECT_EQ(tables.layers.LayerName(0x25), "壁");
    tables.jww.SetEntry(2, 5);
    const fs::path other = folders_.scratch / u8"別の設定.set";
    EXPECT_TRUE(SaveSettingsFile(other, tables).ok());
    desktop_.SetFileAnswer(other);
    SendMessageW(main_, WM_COMMAND, ids::kMenuOpenSettings, 0);
    HWND form = OpenDialog(ids::kJwwSettingsButton, L"TForm3");
    if (form == nullptr) {
      return false;
    }
    EXPECT_EQ(CellText(GetDlgItem(form, ids::kStringGrid1), 1, 1), "5");
    EXPECT_EQ(CellText(GetDlgItem(form, ids::kStringGrid1), 0, 1), "3");
    PostMessageW(GetDlgItem(form, IDCANCEL), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindowVisible(form) && IsWindowEnabled(main_); },
                   "JWW/JWS設定 to close")) {
      return false;
    }
    return !::testing::Test::HasFailure();
  }

  // The panel under the list reads the selected drawing on its own thread and fills in; the
  // check box and the space key choose what is shown.
  bool Preview() {
    HWND pane = Item(ids::kPreviewPane);
    HWND caption = GetDlgItem(pane, ids::kPreviewCaption);
    const int row = Row("room.jww");
    SelectRows(list(), row, row);
    if (!WaitUntil([&] { return Text(caption).rfind("room.jww (JWW ", 0) == 0; },
                   "the preview of room.jww")) {
      return false;
    }
    HWND inventory = GetDlgItem(pane, ids::kPreviewInventory);
    EXPECT_GT(RowCount(inventory), 3);
    EXPECT_EQ(CellText(inventory, 0, 0), "図形");
    EXPECT_EQ(CellText(inventory, 0, 1), CellText(inventory, 0, 2));
    HWND before = GetDlgItem(pane, ids::kPreviewBefore);
    HWND after = GetDlgItem(pane, ids::kPreviewAfter);
    EXPECT_TRUE(IsWindowVisible(before) && IsWindowVisible(after));
    SendMessageW(GetDlgItem(pane, ids::kPreviewSideBySide), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(before));
    EXPECT_TRUE(IsWindowVisible(after));
    SendMessageW(after, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_TRUE(IsWindowVisible(before));
    EXPECT_FALSE(IsWindowVisible(after));
    SendMessageW(GetDlgItem(pane, ids::kPreviewSideBySide), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(before) && IsWindowVisible(after));
    return !::testing::Test::HasFailure();
  }

  bool ChooseDestination() {
    desktop_.QueueFolder(folders_.destination);
    PostMessageW(Item(ids::kBrowseButton), BM_CLICK, 0, 0);
    return WaitUntil(
        [&] { return SameFolder(Text(Item(ids::kDestinationEdit)), folders_.destination); },
        "the destination folder");
  }

  // "基準チェック" from menu 設定 over the same rows the run converts next: the model's report
  // in the report window, ending in the counts the status bar shows.
  bool Check() {
    SelectRows(list(), 1, 5);
    PostMessageW(main_, WM_COMMAND, ids::MenuId(app::Command::kStandardsCheck), 0);
    HWND report = nullptr;
    if (!WaitUntil([&] { return (report = FindShown(thread_, L"PenmorphReport")) != nullptr; },
                   "the report of the check")) {
      return false;
    }
    const std::string text = Text(GetDlgItem(report, ids::kReportText));
    EXPECT_NE(text.find(app::PathText(folders_.drawings / "not-a-drawing.jww")), std::string::npos)
        << text;
    EXPECT_TRUE(text.ends_with("\r\n" + StatusText(main_) + "\r\n")) << text;
    EXPECT_EQ(StatusText(main_).rfind("基準に合う図面 ", 0), 0u) << StatusText(main_);
    PostMessageW(GetDlgItem(report, IDOK), BM_CLICK, 0, 0);
    return WaitUntil([&] { return !IsWindow(report) && IsWindowEnabled(main_); },
                     "the check's report to close");
  }

  bool Convert() {
    // Every file but chair.jws (row 0): rows 1 to 5.
    SelectRows(list(), 1, 5);
    PostMessageW(Item(ids::kConvertButton), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_,
                   "「図面」の 3 個のファイルを「変換後」に変換します。ほかの 2 個は jw_cad "
                   "の図面ではないため飛ばします。",
                   IDYES, false)) {
      return false;
    }
    HWND report = nullptr;
    if (!WaitUntil([&] { return (report = FindShown(thread_, L"PenmorphReport")) != nullptr; },
                   "the report of the run")) {
      return false;
    }
    EXPECT_EQ(StatusText(main_),
              "変換作業を完了しました。3 個を変換、2 個は図面ではないため飛ばしました。");
    const std::string text = Text(GetDlgItem(report, ids::kReportText));
    EXPECT_EQ(text.rfind("変換作業を完了しました。\r\n変換したファイル：3 個\r\n", 0), 0u) << text;
    EXPECT_NE(text.find(app::PathText(folders_.drawings / "not-a-drawing.jww")), std::string::npos)
        << text;
    EXPECT_NE(text.find("JWWファイルとして認識できません"), std::string::npos) << text;

    // Saved as UTF-8 with its mark, as shown.
    const fs::path saved = folders_.scratch / u8"報告.txt";
    desktop_.SetFileAnswer(saved);
    SendMessageW(GetDlgItem(report, ids::kReportSave), BM_CLICK, 0, 0);
    EXPECT_EQ(ReadBytes(saved), "\xEF\xBB\xBF" + text);
    SendMessageW(GetDlgItem(report, ids::kReportCopy), BM_CLICK, 0, 0);
    EXPECT_EQ(Clipboard(), text);
    PostMessageW(GetDlgItem(report, IDOK), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(report) && IsWindowEnabled(main_); },
                   "the report to close")) {
      return false;
    }

    // The selected drawings, converted; chair.jws was not selected, readme.txt is no drawing.
    std::vector<std::string> written;
    for (const auto& entry : fs::directory_iterator(folders_.destination)) {
      written.push_back(PathToUtf8(entry.path().filename()));
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"example.jwc", "example.jwk", "room.jww"}));
    EXPECT_NE(ReadBytes(folders_.destination / "room.jww"),
              ReadBytes(folders_.drawings / "room.jww"));
    // The JWC table from the dialog: pen 1 became 2, line type 2 became 3.
    jw::JwcWorkspace before, after;
    EXPECT_TRUE(jw::JwcRead(folders_.drawings / "example.jwc", before).ok());
    EXPECT_TRUE(jw::JwcRead(folders_.destination / "example.jwc", after).ok());
    if (before.records.lines.size() == 2 && after.records.lines.size() == 2) {
      EXPECT_EQ(before.records.lines[0].pen(), 1);
      EXPECT_EQ(after.records.lines[0].pen(), 2);
      EXPECT_EQ(before.records.lines[1].line_type(), 2);
      EXPECT_EQ(after.records.lines[1].line_type(), 3);
    } else {
      ADD_FAILURE() << "the example drawing has not its two lines";
    }
    return !::testing::Test::HasFailure();
  }

  std::string Clipboard() {
    std::string text;
    if (OpenClipboard(nullptr)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = Utf8(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
      }
      CloseClipboard();
    }
    return text;
  }

  // "サブフォルダも含める": the listed folder's whole tree, with its layout, on the run's own
  // threads; a destination inside that tree is refused first.
  bool ConvertTree() {
    const fs::path detail = folders_.drawings / u8"詳細";
    fs::create_directories(detail);
    fs::copy_file(folders_.drawings / "room.jww", detail / u8"部屋.jww");
    HWND subfolders = Item(ids::kSubfoldersCheckBox);
    EXPECT_EQ(Text(subfolders), "サブフォルダも含める");
    SendMessageW(subfolders, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(subfolders, BM_GETCHECK, 0, 0), BST_CHECKED);

    desktop_.QueueFolder(detail);
    PostMessageW(Item(ids::kBrowseButton), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return SameFolder(Text(Item(ids::kDestinationEdit)), detail); },
                   "the destination inside the tree")) {
      return false;
    }
    PostMessageW(Item(ids::kConvertButton), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_,
                   "保存先フォルダが変換するフォルダの中にあります。別のフォルダを指定して下さい。",
                   IDOK)) {
      return false;
    }

    const fs::path whole = folders_.scratch / u8"一式";
    fs::create_directories(whole);
    desktop_.QueueFolder(whole);
    PostMessageW(Item(ids::kBrowseButton), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return SameFolder(Text(Item(ids::kDestinationEdit)), whole); },
                   "the tree's destination")) {
      return false;
    }
    PostMessageW(Item(ids::kConvertButton), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_,
                   "「図面」以下の 5 個のファイルを「一式」に変換します。ほかの 1 個は jw_cad "
                   "の図面ではないため飛ばします。",
                   IDYES, false)) {
      return false;
    }
    HWND report = nullptr;
    if (!WaitUntil([&] { return (report = FindShown(thread_, L"PenmorphReport")) != nullptr; },
                   "the report of the tree's run")) {
      return false;
    }
    EXPECT_EQ(StatusText(main_),
              "変換作業を完了しました。5 個を変換、1 個は図面ではないため飛ばしました。");
    EXPECT_FALSE(IsWindowEnabled(Item(ids::kStopButton)));
    PostMessageW(GetDlgItem(report, IDOK), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(report) && IsWindowEnabled(main_); },
                   "the report to close")) {
      return false;
    }
    std::vector<std::string> written;
    for (const auto& entry : fs::recursive_directory_iterator(whole)) {
      if (entry.is_regular_file()) {
        written.push_back(PathToUtf8(entry.path().lexically_relative(whole).generic_wstring()));
      }
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"chair.jws", "example.jwc", "example.jwk",
                                                 "room.jww", "詳細/部屋.jww"}));
    EXPECT_EQ(ReadBytes(whole / u8"詳細" / u8"部屋.jww"), ReadBytes(whole / "room.jww"));
    SendMessageW(subfolders, BM_CLICK, 0, 0);
    // Back to the first destination, which the ini file is to keep.
    return ChooseDestination() && !::testing::Test::HasFailure();
  }

  // "中止" in a long run of the tree: the status says so at once, the end follows with its
  // report, and the counts it gives are those of the files written.
  bool StopARun() {
    const fs::path many = folders_.drawings / u8"大量";
    fs::create_directories(many);
    for (int i = 0; i < 1500; ++i) {
      fs::copy_file(folders_.drawings / "room.jww", many / (std::to_string(i) + ".jww"));
    }
    const fs::path out = folders_.scratch / u8"中止先";
    fs::create_directories(out);
    HWND subfolders = Item(ids::kSubfoldersCheckBox);
    SendMessageW(subfolders, BM_CLICK, 0, 0);
    desktop_.QueueFolder(out);
    PostMessageW(Item(ids::kBrowseButton), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return SameFolder(Text(Item(ids::kDestinationEdit)), out); },
                   "the destination of the run to stop")) {
      return false;
    }
    PostMessageW(Item(ids::kConvertButton), BM_CLICK, 0, 0);
    if (!AnswerBox(thread_, "「図面」以下の 1505 個のファイルを「中止先」に変換します。", IDYES,
                   false)) {
      return false;
    }
    // While it runs the counter has the selection's part: "N / 1506 ファイル　残り m:ss".
    int counted = 0;
    if (!WaitUntil(
            [&] {
              counted = std::atoi(StatusText(main_, 1).c_str());
              return counted >= 20;
            },
            "the counter to pass 20")) {
      return false;
    }
    EXPECT_NE(StatusText(main_, 1).find(" / 1506 ファイル"), std::string::npos);
    const auto stopped_at = std::chrono::steady_clock::now();
    PostMessageW(Item(ids::kStopButton), BM_CLICK, 0, 0);
    HWND report = nullptr;
    bool said_stopping = false;
    if (!WaitUntil(
            [&] {
              said_stopping |= StatusText(main_) == std::string(app::texts::kStopping);
              return (report = FindShown(thread_, L"PenmorphReport")) != nullptr;
            },
            "the report of the stopped run")) {
      return false;
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - stopped_at);
    std::printf("the stopped run's report came %lld ms after 中止\n",
                static_cast<long long>(took.count()));
    std::fflush(stdout);
    EXPECT_TRUE(said_stopping);
    const std::string status = StatusText(main_);
    const std::string head = "変換作業を中止しました。";
    EXPECT_EQ(status.rfind(head, 0), 0u) << status;
    const int converted = std::atoi(status.c_str() + std::min(head.size(), status.size()));
    EXPECT_GE(converted, counted);
    std::size_t written = 0;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
      written += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(written, static_cast<std::size_t>(converted)) << status;
    EXPECT_EQ(StatusText(main_, 1), "");  // the selection's again: none
    PostMessageW(GetDlgItem(report, IDOK), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(report) && IsWindowEnabled(main_); },
                   "the stopped run's report to close")) {
      return false;
    }
    fs::remove_all(many);
    SendMessageW(subfolders, BM_CLICK, 0, 0);
    return ChooseDestination() && !::testing::Test::HasFailure();
  }

  bool OpenFile() {
    const int row = Row("room.jww");
    SelectRows(list(), row, row);
    RECT item{};
    item.left = LVIR_BOUNDS;
    SendMessageW(list(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    SendMessageW(list(), WM_LBUTTONDBLCLK, MK_LBUTTON,
                 MAKELPARAM(item.left + 8, (item.top + item.bottom) / 2));
    SendMessageW(list(), WM_LBUTTONUP, 0, MAKELPARAM(item.left + 8, (item.top + item.bottom) / 2));
    if (!WaitUntil([&] { return !desktop_.Opened().empty(); }, "the file to be opened")) {
      return false;
    }
    EXPECT_EQ(desktop_.Opened(), std::vector<fs::path>{folders_.drawings / "room.jww"});
    return !::testing::Test::HasFailure();
  }

  bool Exit() {
    PostMessageW(main_, WM_COMMAND, ids::kMenuExit, 0);
    if (!AnswerBox(thread_, "終了します。よろしいですか？", IDYES)) {
      return false;
    }
    return WaitUntil([&] { return !IsWindow(main_); }, "the window to close");
  }

  HWND main_;
  DWORD thread_;
  TestDesktop& desktop_;
  const Folders& folders_;
  HTREEITEM root_ = nullptr;
  std::vector<std::string> listed_order_;
};

// The window on the test's folders, with the test's desktop in place of the real one.
MainWindowSetup SetupFor(const Folders& folders, TestDesktop& desktop) {
  MainWindowSetup setup;
  setup.program_folder = folders.program;
  setup.ini_path = folders.ini;
  setup.formats = MakeStandardFormats();
  setup.desktop = &desktop;
  return setup;
}

// The test's folders, made before each test (a failure there ends the test), and the test's
// desktop in place of the real one.
class WindowsWindow : public ::testing::Test {
 protected:
  // An empty ini file: the window starts at its built-in layout, not the first start's.
  void SetUp() override {
    MakeFolders(folders_);
    penmorph::testing::WriteBytes(folders_.ini, "");
  }

  Folders folders_;
  TestDesktop desktop_;
};

TEST_F(WindowsWindow, ListsSortsSetsTablesConvertsReportsAndKeepsItsSettings) {
  {
    TForm1 window(SetupFor(folders_, desktop_));
    window.Show(SW_SHOWNORMAL);
    Driver driver(window.hwnd(), GetCurrentThreadId(), desktop_, folders_);
    std::thread steps([&driver] { driver.Run(); });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (!IsWindow(window.hwnd()) || !IsDialogMessageW(window.hwnd(), &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    steps.join();
  }

  // Closing wrote the ini file: folders_, file type and both tables as the dialogs set them.
  AppSettings saved;
  ASSERT_TRUE(LoadIniFile(folders_.ini, saved).ok());
  EXPECT_TRUE(SameFolder(saved.search_folder, folders_.search));
  EXPECT_TRUE(SameFolder(saved.destination_folder, folders_.destination));
  EXPECT_EQ(saved.file_type, 0);
  EXPECT_EQ(saved.tables.jww.Entry(1), 3);
  EXPECT_EQ(saved.tables.jww.Entry(2), 5);  // from the settings file opened
  EXPECT_EQ(saved.last_settings_file, app::PathText(folders_.scratch / u8"別の設定.set"));
  EXPECT_EQ(saved.tables.jww.Entry(265 + 2), 19);
  EXPECT_EQ(saved.tables.jwc.Entry(1), 2);
  EXPECT_EQ(saved.tables.jwc.Entry(8), 3);
  EXPECT_EQ(saved.tables.jwc.Entry(9), 0);
}

// `penmorph.exe FILE` (a file dropped on the program) while the window runs: the file's folder
// searched and listed, the tree highlighting it, the file selected.
TEST_F(WindowsWindow, AStartPathListsTheFilesFolderAndSelectsTheFile) {
  TForm1 window(SetupFor(folders_, desktop_));
  window.Show(SW_SHOWNORMAL);
  // As a second start hands its file to the window already running.
  ASSERT_TRUE(HandOverToRunningWindow(folders_.drawings / "room.jww"));

  HWND tree = GetDlgItem(window.hwnd(), ids::kFolderTree);
  HWND list = GetDlgItem(window.hwnd(), ids::kFileList);
  const auto root = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
  ASSERT_NE(root, 0);
  EXPECT_EQ(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0), root);
  const auto row = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  ASSERT_GE(row, 0);
  EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED), -1);  // that row alone
  EXPECT_EQ(CellText(list, static_cast<int>(row), app::kNameColumn), "room.jww");
  DestroyWindow(window.hwnd());
}

}  // namespace
// What arrives without the pickers: files dropped on the window (their folder listed, both
// selected), F5 after a folder was made; the folder dropped is shown for now, and the next
// start comes back to the search folder the user chose (here none).
TEST_F(WindowsWindow, DroppedFilesAreSelectedF5ShowsNewFoldersAndTheLastFolderComesBack) {
  auto pump = [] {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  };
  auto root_text = [](HWND tree) {
    wchar_t text[512] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return Utf8(text);
  };
  const std::string shown = app::PathText(app::FolderPath(folders_.drawings));
  {
    TForm1 window(SetupFor(folders_, desktop_));
    window.Show(SW_SHOWNORMAL);
    pump();
    // "サブフォルダも含める" is off: no banner over the list.
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(window.hwnd(), ids::kListBanner)));
    // A drop as the shell makes it: the names after the header, each ended, the list too.
    std::wstring names;
    for (const char* name : {"room.jww", "example.jwc"}) {
      names += (folders_.drawings / name).native() + L'\0';
    }
    names += L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    SendMessageW(window.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);

    HWND tree = GetDlgItem(window.hwnd(), ids::kFolderTree);
    HWND list = GetDlgItem(window.hwnd(), ids::kFileList);
    EXPECT_EQ(root_text(tree), shown);
    std::vector<std::string> selected;
    for (int row = -1;
         (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
      selected.push_back(CellText(list, row, app::kNameColumn));
    }
    std::sort(selected.begin(), selected.end());
    EXPECT_EQ(selected, (std::vector<std::string>{"example.jwc", "room.jww"}));
    EXPECT_EQ(StatusText(window.hwnd(), 1), "2 個選択");

    fs::create_directories(folders_.drawings / u8"新規");
    SendMessageW(window.hwnd(), WM_COMMAND, ids::kMenuRefresh, 0);
    const auto root = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    const auto child = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, root);
    EXPECT_NE(child, 0);  // the new folder, the drawings folder's only one
    DestroyWindow(window.hwnd());
  }
  TForm1 again(SetupFor(folders_, desktop_));
  again.Show(SW_SHOWNORMAL);
  // The start's listing runs on a thread of its own and posts its news.
  HWND again_tree = GetDlgItem(again.hwnd(), ids::kFolderTree);
  for (int i = 0; i < 500 && SendMessageW(again_tree, TVM_GETNEXTITEM, TVGN_ROOT, 0) == 0; ++i) {
    pump();
    Sleep(10);
  }
  EXPECT_EQ(root_text(GetDlgItem(again.hwnd(), ids::kFolderTree)), "");
  DestroyWindow(again.hwnd());
}

}  // namespace penmorph::win
