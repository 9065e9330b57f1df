#pragma once

// Paths as text and back. Names travel through the program as UTF-8 strings (arguments, file
// lists, messages); on Linux they are the file system's own bytes, unchanged, and on Windows the
// UTF-16 names of the system converted without loss. std::filesystem's own narrow forms are
// not used for this: on Windows they read a narrow string in the ANSI code page.

#include <filesystem>
#include <string>
#include <string_view>

namespace penmorph {

std::string PathToUtf8(const std::filesystem::path& path);
std::filesystem::path PathFromUtf8(std::string_view text);

// A name's bytes (as PathToUtf8 gives them) as text to show: UTF-8 as it is; a part between
// slashes that is not UTF-8 is read as Shift-JIS, as the names of archives from Windows are, so
// that a UTF-8 folder keeps its name whatever its files are called; bytes neither reads become
// U+FFFD. False when some did.
bool ReadNameText(std::string_view bytes, std::string& text);

}  // namespace penmorph
