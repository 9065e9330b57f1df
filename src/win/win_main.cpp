// penmorph.exe: the window on Windows.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <vector>

#include "formats/standard_formats.h"
#include "settings/ini_location.h"
#include "win/main_window.h"

namespace {

// The folder of penmorph.exe, for the portable ini file beside it.
std::filesystem::path ProgramFolder() {
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) {
      return {};
    }
    if (length < name.size()) {
      return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
    }
    name.resize(name.size() * 2);  // a long path: the name was cut
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show_command) {
  // The folder picker is a COM object that wants a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  penmorph::win::MainWindowSetup setup;
  setup.program_folder = ProgramFolder();
  setup.ini_path = penmorph::DefaultIniPath(setup.program_folder);
  setup.formats = penmorph::MakeStandardFormats();
  int count = 0;
  if (LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
    if (count > 1) {
      setup.start_path = std::filesystem::path(arguments[1]);
    }
    LocalFree(arguments);
  }
  // One window per user: two would write the same ini file over each other. A second start
  // hands its file or folder to the first and ends.
  HANDLE one_window = CreateMutexW(nullptr, FALSE, L"Local\\Penmorph.MainWindow");
  if (one_window != nullptr && GetLastError() == ERROR_ALREADY_EXISTS &&
      penmorph::win::HandOverToRunningWindow(setup.start_path.value_or(std::filesystem::path()))) {
    CloseHandle(one_window);
    if (SUCCEEDED(com)) {
      CoUninitialize();
    }
    return 0;
  }
  const int exit_code = penmorph::win::RunMainWindow(std::move(setup), show_command);
  if (one_window != nullptr) {
    CloseHandle(one_window);
  }

  if (SUCCEEDED(com)) {
    CoUninitialize();
  }
  return exit_code;
}
