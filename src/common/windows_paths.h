#pragma once

// Names as the W functions of Windows take them.

#include <filesystem>
#include <string>

namespace penmorph {

// The wide name for a system call: the plain form while it is short enough for every call, else
// the "\\?\" (or "\\?\UNC\") form of the full path, which lifts the 260-character limit.
std::wstring SystemPath(const std::filesystem::path& path);

}  // namespace penmorph
