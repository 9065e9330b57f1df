#include "win/desktop.h"

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/window_texts.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace fs = std::filesystem;

namespace {

UINT IconOf(app::MessageKind kind) {
  switch (kind) {
    case app::MessageKind::kError:
      return MB_ICONERROR;
    case app::MessageKind::kInformation:
      return MB_ICONINFORMATION;
    case app::MessageKind::kWarning:
      return MB_ICONWARNING;
    case app::MessageKind::kConfirmation:
      break;
  }
  return MB_ICONQUESTION;
}

template <class T>
struct ComRelease {
  T* pointer = nullptr;
  ~ComRelease() {
    if (pointer != nullptr) {
      pointer->Release();
    }
  }
  T** operator&() { return &pointer; }
  T* operator->() const { return pointer; }
};

// A picker's list of file kinds: pairs of caption and pattern, ended by an empty caption.
std::wstring Filter(std::string_view caption, const wchar_t* pattern) {
  std::wstring filter = Wide(caption);
  filter += L'\0';
  filter += pattern;
  filter += L'\0';
  filter += L'\0';
  return filter;
}

// The common open or save dialog for one kind of file.
std::optional<fs::path> ChooseFile(HWND owner, bool save, std::string_view title,
                                   const fs::path& start, const std::wstring& filter,
                                   const wchar_t* extension) {
  std::vector<wchar_t> name(32768, L'\0');
  std::wstring folder;
  std::error_code ec;
  if (!start.empty() && fs::is_directory(start, ec)) {
    folder = start.native();
  } else if (!start.empty()) {
    folder = start.parent_path().native();
    start.filename().native().copy(name.data(), name.size() - 1);
  }
  const std::wstring caption = Wide(title);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = caption.c_str();
  dialog.lpstrDefExt = extension;
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) {
    return std::nullopt;
  }
  return fs::path(std::wstring(name.data()));
}

}  // namespace

void Desktop::ShowMessage(HWND owner, app::MessageKind kind, std::string_view text) {
  MessageBoxW(owner, Wide(text).c_str(), Wide(kApplicationTitle).c_str(), MB_OK | IconOf(kind));
}

bool Desktop::AskYesNo(HWND owner, std::string_view text) {
  return MessageBoxW(owner, Wide(text).c_str(), Wide(kApplicationTitle).c_str(),
                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Desktop::Beep() {
  MessageBeep(MB_OK);
}

std::optional<fs::path> Desktop::ChooseFolder(HWND owner, std::string_view title,
                                              const fs::path& start) {
  ComRelease<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&dialog)))) {
    return std::nullopt;
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(Wide(title).c_str());
  if (!start.empty()) {
    ComRelease<IShellItem> folder;
    if (SUCCEEDED(SHCreateItemFromParsingName(start.c_str(), nullptr, IID_PPV_ARGS(&folder)))) {
      dialog->SetFolder(folder.pointer);
    }
  }
  if (FAILED(dialog->Show(owner))) {
    return std::nullopt;  // cancelled
  }
  ComRelease<IShellItem> result;
  if (FAILED(dialog->GetResult(&result))) {
    return std::nullopt;
  }
  wchar_t* path = nullptr;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) {
    return std::nullopt;
  }
  fs::path chosen(path);
  CoTaskMemFree(path);
  return chosen;
}

std::optional<fs::path> Desktop::ChooseSettingsFile(HWND owner, bool save, std::string_view title,
                                                    const fs::path& start) {
  return ChooseFile(owner, save, title, start, Filter(app::texts::kSettingsFilter, L"*.set"),
                    L"set");
}

std::optional<fs::path> Desktop::ChooseReportFile(HWND owner, std::string_view title,
                                                  const fs::path& start, std::string_view filter,
                                                  std::string_view extension) {
  if (filter.empty()) {
    return ChooseFile(owner, true, title, start, Filter(app::texts::kReportFilter, L"*.txt"),
                      L"txt");
  }
  const std::wstring wide_extension = Wide(extension);
  return ChooseFile(owner, true, title, start, Filter(filter, (L"*." + wide_extension).c_str()),
                    wide_extension.c_str());
}

bool Desktop::OpenWithAssociatedProgram(HWND owner, const fs::path& file) {
  // Above 32 is success; SE_ERR_NOASSOC and the like are below.
  const auto done = reinterpret_cast<INT_PTR>(
      ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return done > 32;
}

}  // namespace penmorph::win
