// Drives penmorph.exe - the real program, started as a user would start it - so that pictures
// can be taken of its window at the first start, listing a folder and maximised, of the three
// settings dialogs and the box refusing a value, of the question before a tree run, of the report
// after "中止" and of a "基準チェック"'s report. It talks to the window only with messages that
// cross processes (commands, button clicks, typed characters, window texts, tree items by
// handle). Before each picture it prints "shot NAME LEFT TOP WIDTH HEIGHT" and waits for a line
// on its input: the caller takes the picture, then answers.
//
//   penmorph-win-screenshots PENMORPH_EXE SEARCH_FOLDER CHILD_INDEX DESTINATION FIRST_START_EXE
//   penmorph-win-screenshots --maximised PENMORPH_EXE FILE
//
// FIRST_START_EXE is a copy of the program without an ini file. The second form starts the
// program on FILE and maximises its window, for a window manager to lay it out.
//
// The folder pickers are the real ones: the folder's path is typed into the picker's name field
// and confirmed, again until the window shows the folder it picked.

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include "app/survey_dialog.h"
#include "common/windows_text.h"
#include "win/control_ids.h"

namespace {

namespace ids = penmorph::win::ids;

DWORD process_id = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "penmorph-win-screenshots: %s\n", what.c_str());
  std::exit(1);
}

// Waits for what the window shows; the time limit only ends a run that went wrong.
void WaitFor(const std::function<bool()>& condition, const std::string& what) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(90);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > give_up) {
      Fail("the window never showed " + what);
    }
    Sleep(20);
  }
}

std::wstring Text(HWND window) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                      nullptr);
  return text;
}

// A visible top-level window of penmorph.exe of this class (and title, when given).
HWND FindShown(const wchar_t* window_class, const wchar_t* title = nullptr) {
  struct Search {
    const wchar_t* window_class;
    const wchar_t* title;
    HWND found;
  } search{window_class, title, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner == process_id && IsWindowVisible(window) &&
            lstrcmpW(name, search->window_class) == 0 &&
            (search->title == nullptr || Text(window) == search->title)) {
          search->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HANDLE program_process = nullptr;

void ShotOf(const std::string& name, RECT frame) {
  WaitForInputIdle(program_process, 30000);
  std::cout << "shot " << name << ' ' << frame.left << ' ' << frame.top << ' '
            << frame.right - frame.left << ' ' << frame.bottom - frame.top << std::endl;
  std::string answer;
  std::getline(std::cin, answer);
}

void Shot(const std::string& name, HWND window) {
  // Painted through, and the program waiting for input again: the picture shows it all.
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT frame{};
  GetWindowRect(window, &frame);
  ShotOf(name, frame);
}

// A box or dialog over the window it belongs to.
void ShotOver(const std::string& name, HWND window, HWND over) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT below{};
  RECT above{};
  RECT both{};
  GetWindowRect(window, &below);
  GetWindowRect(over, &above);
  UnionRect(&both, &below, &above);
  ShotOf(name, both);
}

// The whole screen as the program painted it, without asking for a redraw: what stays stale or
// blank shows.
void ShotScreen(const std::string& name) {
  Sleep(1000);
  ShotOf(name, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

// Starts penmorph.exe with its arguments and waits for its window.
HWND Start(const std::wstring& command_line, PROCESS_INFORMATION& process) {
  std::wstring command = command_line;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    Fail("cannot start penmorph.exe");
  }
  process_id = process.dwProcessId;
  program_process = process.hProcess;
  HWND main = nullptr;
  WaitFor([&] { return (main = FindShown(L"TForm1")) != nullptr; }, "its window");
  WaitFor([&] { return !Text(GetDlgItem(main, ids::kStatusBar)).empty(); },
          "its first status text");
  return main;
}

void Ended(PROCESS_INFORMATION& process) {
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    Fail("penmorph.exe did not end");
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
}

HTREEITEM TreeItem(HWND tree, int child_index) {
  auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  if (child_index >= 0) {
    item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
  }
  for (int i = 0; i < child_index && item != nullptr; ++i) {
    item = reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
  return item;
}

HWND WaitForBox() {
  HWND box = nullptr;
  WaitFor([&] { return (box = FindShown(L"#32770", L"Penmorph")) != nullptr; }, "a message box");
  return box;
}

void Answer(HWND box, int button) {
  PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
  WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, "the box to close");
}

// Opens a folder picker with `command` until the window shows `folder` in `field`.
void PickFolder(HWND main, int command, const wchar_t* title, const std::wstring& folder,
                HWND field) {
  for (int attempt = 0; attempt < 5 && Text(field) != folder; ++attempt) {
    PostMessageW(main, WM_COMMAND, command, 0);
    HWND picker = nullptr;
    WaitFor([&] { return (picker = FindShown(L"#32770", title)) != nullptr; }, "the folder picker");
    HWND name = GetDlgItem(picker, 1152);  // the picker's name field
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    PostMessageW(GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(picker) || !IsWindowVisible(picker) || Text(field) == folder; },
            "the picker to close");
    if (IsWindow(picker) && IsWindowVisible(picker)) {
      PostMessageW(GetDlgItem(picker, IDCANCEL), BM_CLICK, 0, 0);
      WaitFor([&] { return !IsWindow(picker) || !IsWindowVisible(picker); }, "the picker to go");
    }
    WaitFor([&] { return IsWindowEnabled(main); }, "the window to come back");
  }
  if (Text(field) != folder) {
    Fail("the picker did not take the folder");
  }
}

HWND ShowDialog(HWND main, int button, const wchar_t* window_class) {
  PostMessageW(GetDlgItem(main, button), BM_CLICK, 0, 0);
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = FindShown(window_class)) != nullptr; }, "a settings dialog");
  return dialog;
}

void CloseDialog(HWND main, HWND dialog) {
  PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
  WaitFor([&] { return !IsWindowVisible(dialog) && IsWindowEnabled(main); }, "the dialog to close");
}

// The first start, without an ini file: the whole screen, for the window's size and place.
void FirstStart(const std::wstring& program) {
  PROCESS_INFORMATION process{};
  Start(L"\"" + program + L"\"", process);
  ShotScreen("first-start");
  TerminateProcess(process.hProcess, 0);  // ends it without writing an ini file
  Ended(process);
}

// "25" typed into the first colour and confirmed: the box refusing it, over the dialog.
void Refusal(HWND main) {
  HWND dialog = ShowDialog(main, ids::kJwwSettingsButton, L"TForm3");
  HWND grid = GetDlgItem(dialog, ids::kStringGrid1);
  PostMessageW(grid, WM_KEYDOWN, VK_HOME, 0);
  PostMessageW(grid, WM_CHAR, L'2', 0);
  HWND editor = nullptr;
  WaitFor([&] { return (editor = GetDlgItem(grid, ids::kCellEditor)) != nullptr; },
          "the cell's editor");
  PostMessageW(editor, WM_CHAR, L'5', 0);
  WaitFor([&] { return Text(editor) == L"25"; }, "the typed value");
  PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  HWND box = WaitForBox();
  ShotOver("jww-refusal", dialog, box);
  Answer(box, IDOK);
  CloseDialog(main, dialog);
}

// Waits for the report window over `main`, shoots it as `name` and closes it with OK.
void ShotReportAndClose(HWND main, const char* name, const char* what) {
  HWND report = nullptr;
  WaitFor([&] { return (report = FindShown(L"PenmorphReport")) != nullptr; }, what);
  Sleep(500);
  ShotOver(name, main, report);
  PostMessageW(GetDlgItem(report, IDOK), BM_CLICK, 0, 0);
  WaitFor([&] { return !IsWindow(report) && IsWindowEnabled(main); }, "the report to close");
}

// The whole search folder's tree with "サブフォルダも含める": the question with its count, Yes,
// "中止" soon after, and the report with its counts.
void TreeRun(HWND main, HWND tree, HWND status) {
  HWND subfolders = GetDlgItem(main, ids::kSubfoldersCheckBox);
  PostMessageW(subfolders, BM_CLICK, 0, 0);
  WaitFor([&] { return IsWindowVisible(GetDlgItem(main, ids::kListBanner)) != FALSE; },
          "the banner over the list");
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(TreeItem(tree, -1)));
  WaitFor([&] { return Text(status).rfind(L"0 Files  ", 0) == 0; }, "the search folder listed");
  PostMessageW(GetDlgItem(main, ids::kConvertButton), BM_CLICK, 0, 0);
  HWND question = WaitForBox();
  ShotOver("question", main, question);
  PostMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
  HWND stop = GetDlgItem(main, ids::kStopButton);
  WaitFor([&] { return IsWindowEnabled(stop) != FALSE; }, "the run to start");
  Sleep(400);  // some files converted, most not yet
  PostMessageW(stop, BM_CLICK, 0, 0);
  ShotReportAndClose(main, "report", "the report");
  PostMessageW(subfolders, BM_CLICK, 0, 0);
  WaitFor([&] { return !IsWindowVisible(GetDlgItem(main, ids::kListBanner)); }, "the banner to go");
}

// "集計" from the menu over the listed folder with "サブフォルダも含める": its report over the
// window, then "レイヤ設定" with the names the report's button handed to its list.
void Survey(HWND main) {
  HWND subfolders = GetDlgItem(main, ids::kSubfoldersCheckBox);
  PostMessageW(subfolders, BM_CLICK, 0, 0);
  WaitFor([&] { return IsWindowVisible(GetDlgItem(main, ids::kListBanner)) != FALSE; },
          "the banner over the list");
  PostMessageW(main, WM_COMMAND, ids::MenuId(penmorph::app::Command::kSurvey), 0);
  HWND report = nullptr;
  WaitFor([&] { return (report = FindShown(L"TSurveyForm")) != nullptr; }, "the survey's report");
  Sleep(500);
  ShotOver("survey-report", main, report);
  const penmorph::app::SurveyDialog described;
  PostMessageW(
      GetDlgItem(report, ids::DialogControlId(described.description(), described.names_button())),
      BM_CLICK, 0, 0);
  HWND layers = nullptr;
  WaitFor([&] { return (layers = FindShown(L"TForm4")) != nullptr; }, "the layer dialog");
  Sleep(500);
  Shot("survey-names", layers);
  CloseDialog(main, layers);
  PostMessageW(subfolders, BM_CLICK, 0, 0);
  WaitFor([&] { return !IsWindowVisible(GetDlgItem(main, ids::kListBanner)); }, "the banner to go");
}

// "基準チェック" from the menu over the listed folder with "サブフォルダも含める" (the ini
// file's table sends colours 2 and 3 on): its report, over the window.
void StandardsCheck(HWND main) {
  HWND subfolders = GetDlgItem(main, ids::kSubfoldersCheckBox);
  PostMessageW(subfolders, BM_CLICK, 0, 0);
  WaitFor([&] { return IsWindowVisible(GetDlgItem(main, ids::kListBanner)) != FALSE; },
          "the banner over the list");
  PostMessageW(main, WM_COMMAND, ids::MenuId(penmorph::app::Command::kStandardsCheck), 0);
  ShotReportAndClose(main, "check-report", "the check's report");
  PostMessageW(subfolders, BM_CLICK, 0, 0);
  WaitFor([&] { return !IsWindowVisible(GetDlgItem(main, ids::kListBanner)); }, "the banner to go");
}

void Maximise(HWND main, const std::string& name) {
  PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  WaitFor([&] { return IsZoomed(main) != FALSE; }, "the window maximised");
  ShotScreen(name);
}

// Started on a file, maximised, and closed.
int MaximisedOnly(const std::wstring& program, const std::wstring& file) {
  PROCESS_INFORMATION process{};
  HWND main = Start(L"\"" + program + L"\" \"" + file + L"\"", process);
  HWND status = GetDlgItem(main, ids::kStatusBar);
  WaitFor([&] { return Text(status).find(L" Files  ") != std::wstring::npos; }, "the file list");
  Maximise(main, "maximised-openbox");
  // The close box asks as 終了 does.
  PostMessageW(main, WM_CLOSE, 0, 0);
  Answer(WaitForBox(), IDYES);
  Ended(process);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && std::wstring(argv[1]) == L"--maximised") {
    return MaximisedOnly(argv[2], argv[3]);
  }
  if (argc != 6) {
    std::fprintf(stderr,
                 "usage: penmorph-win-screenshots PENMORPH_EXE SEARCH_FOLDER CHILD_INDEX "
                 "DESTINATION FIRST_START_EXE\n"
                 "       penmorph-win-screenshots --maximised PENMORPH_EXE FILE\n");
    return 2;
  }
  const std::wstring program = argv[1];
  std::wstring search = argv[2];
  const int child_index = _wtoi(argv[3]);
  std::wstring destination = argv[4];
  for (std::wstring* folder : {&search, &destination}) {
    if (folder->back() != L'\\') {
      *folder += L'\\';
    }
  }

  FirstStart(argv[5]);

  PROCESS_INFORMATION process{};
  HWND main = Start(L"\"" + program + L"\"", process);
  HWND status = GetDlgItem(main, ids::kStatusBar);

  // The search folder; the tree is built when the field shows it and the status is cleared.
  PickFolder(main, ids::kMenuSearchFolder, L"検索フォルダの指定", search,
             GetDlgItem(main, ids::kSearchFolderEdit));
  HWND tree = GetDlgItem(main, ids::kFolderTree);
  WaitFor([&] { return IsWindowEnabled(tree) && Text(status).empty(); }, "the folder tree");
  for (auto item = TreeItem(tree, 0); item != nullptr;
       item = reinterpret_cast<HTREEITEM>(
           SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  }
  HTREEITEM child = TreeItem(tree, child_index);
  if (child == nullptr) {
    Fail("the search folder has no such subfolder");
  }
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(child));
  WaitFor([&] { return Text(status).find(L" Files  ") != std::wstring::npos; }, "the file list");

  PickFolder(main, ids::kMenuDestination, L"保存先フォルダの指定", destination,
             GetDlgItem(main, ids::kDestinationEdit));
  Shot("window", main);

  // The preview of a real drawing: the arrow keys go down the list until the panel below
  // shows the sample, once it is read. The ini file's table sends colours 2 and 3 on.
  HWND pane = GetDlgItem(main, ids::kPreviewPane);
  HWND caption = GetDlgItem(pane, ids::kPreviewCaption);
  HWND list = GetDlgItem(main, ids::kFileList);
  const auto preview = [&](const std::wstring& file) {
    const std::wstring wanted = file + L" (JWW";
    const auto shown = [&] { return Text(caption).rfind(wanted, 0) == 0; };
    PostMessageW(list, WM_KEYDOWN, VK_HOME, 0);
    for (int row = 0; row < 64 && !shown(); ++row) {
      PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
      for (int wait = 0; wait < 20 && !shown(); ++wait) {
        Sleep(25);
      }
    }
    for (int wait = 0; wait < 400 && !shown(); ++wait) {
      Sleep(25);
    }
    if (shown()) {
      Sleep(500);  // the canvases paint after the caption
    }
    return shown();
  };
  if (preview(L"Jw_cad-for-Mac__sample.jww")) {
    Shot("preview", main);
  } else {
    std::fprintf(stderr, "penmorph-win-screenshots: no sample drawing to preview\n");
  }
  // The example plan with hidden layers, as jw_cad shows it and with the hidden ones too.
  if (!preview(L"layers.jww")) {
    Fail("the preview never showed layers.jww");
  }
  Shot("preview-layers", main);
  HWND hidden_layers = GetDlgItem(pane, ids::kPreviewHiddenLayers);
  SendMessageW(hidden_layers, BM_CLICK, 0, 0);
  Sleep(500);
  Shot("preview-hidden-layers", main);
  SendMessageW(hidden_layers, BM_CLICK, 0, 0);

  HWND jww = ShowDialog(main, ids::kJwwSettingsButton, L"TForm3");
  Shot("jww-settings", jww);
  CloseDialog(main, jww);
  HWND jwc = ShowDialog(main, ids::kJwcSettingsButton, L"TForm2");
  Shot("jwc-settings", jwc);
  CloseDialog(main, jwc);
  // The layer table comes from the prepared ini file; the names beside it from the drawing the
  // preview shows.
  HWND layers = ShowDialog(main, ids::kLayerSettingsButton, L"TForm4");
  Shot("layer-settings", layers);
  CloseDialog(main, layers);
  Refusal(main);
  StandardsCheck(main);
  Survey(main);
  TreeRun(main, tree, status);

  // Maximised inside Wine's desktop, with the subfolder listed again.
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
               reinterpret_cast<LPARAM>(TreeItem(tree, child_index)));
  WaitFor([&] { return Text(status).find(L" Files  ") != std::wstring::npos; }, "the file list");
  Maximise(main, "maximised");
  PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
  WaitFor([&] { return !IsZoomed(main); }, "the window restored");

  // 終了: the question, Yes, and the program ends.
  PostMessageW(main, WM_COMMAND, ids::kMenuExit, 0);
  Answer(WaitForBox(), IDYES);
  Ended(process);
  return 0;
}
