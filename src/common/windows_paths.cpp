#include "common/windows_paths.h"

#include <windows.h>

namespace penmorph {

namespace {
// The longest name a folder may have in the plain form (MAX_PATH less room for an 8.3 file
// name): past it some calls fail, so from there on the long form is used.
constexpr std::size_t kPlainLimit = MAX_PATH - 12;
}  // namespace

std::wstring SystemPath(const std::filesystem::path& path) {
  const std::wstring& native = path.native();
  if (native.starts_with(L"\\\\?\\") || native.starts_with(L"\\\\.\\")) {
    return native;
  }
  const DWORD needed = GetFullPathNameW(native.c_str(), 0, nullptr, nullptr);
  if (needed == 0) {
    return native;
  }
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(native.c_str(), needed, full.data(), nullptr);
  full.resize(length);
  if (full.size() < kPlainLimit || full.starts_with(L"\\\\.\\")) {
    return native;
  }
  if (full.starts_with(L"\\\\")) {
    return L"\\\\?\\UNC\\" + full.substr(2);
  }
  return L"\\\\?\\" + full;
}

}  // namespace penmorph
