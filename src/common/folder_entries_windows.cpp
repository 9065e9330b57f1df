// Folder entries on Windows: the W functions, with the file attributes that decide what is
// listed (hidden and system entries are not) and what the attribute column shows.

#include <windows.h>

#include <chrono>

#include "common/folder_entries.h"
#include "common/windows_paths.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// 100-nanosecond ticks from 1601-01-01 (FILETIME's epoch) to 1970-01-01.
constexpr std::int64_t kUnixEpochTicks = 116444736000000000LL;

fs::file_time_type FileTime(const FILETIME& time) {
  const std::int64_t ticks =
      (static_cast<std::int64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime) - kUnixEpochTicks;
  const auto since_epoch = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>(ticks);
  const std::chrono::system_clock::time_point system(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(since_epoch));
  return std::chrono::file_clock::from_sys(system);
}

struct FolderSearch {
  HANDLE handle = INVALID_HANDLE_VALUE;
  ~FolderSearch() {
    if (handle != INVALID_HANDLE_VALUE) {
      FindClose(handle);
    }
  }
};

}  // namespace

bool ForEachEntry(const fs::path& folder, const std::function<bool(const FolderEntry&)>& visit,
                  bool with_details) {
  std::wstring pattern = SystemPath(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') {
    pattern += L'\\';
  }
  pattern += L'*';
  WIN32_FIND_DATAW data;
  FolderSearch search;
  search.handle = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search.handle == INVALID_HANDLE_VALUE) {
    // A drive root without entries has no "." either.
    return GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    const std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") {
      continue;
    }
    const DWORD attributes = data.dwFileAttributes;
    FolderEntry entry;
    entry.name = fs::path(name);
    entry.is_folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.is_file = !entry.is_folder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    entry.hidden = (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
    entry.is_link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (entry.is_file && with_details) {
      entry.size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
      entry.modified = FileTime(data.ftLastWriteTime);
      entry.read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
      entry.archive = (attributes & FILE_ATTRIBUTE_ARCHIVE) != 0;
    }
    if (!visit(entry)) {
      break;
    }
  } while (FindNextFileW(search.handle, &data));
  return true;
}

}  // namespace penmorph
