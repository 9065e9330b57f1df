#pragma once

// Paths as the windows show and take them, on top of common/path_text.h's lossless conversion.
// The layer hands the windows UTF-8 text; the file system keeps its own bytes. On Linux a name is
// shown as it is when it is UTF-8, and as Shift-JIS otherwise (drawings copied from old Windows
// archives carry such names).

#include <filesystem>
#include <string>
#include <string_view>

namespace penmorph::app {

// A path or a file name as UTF-8 text for display.
std::string PathText(const std::filesystem::path& path);

// A path typed, picked or stored as UTF-8 text.
std::filesystem::path PathFromText(std::string_view text);

// The folder with one trailing separator, as folders are always shown and kept.
std::filesystem::path FolderPath(std::filesystem::path folder);

}  // namespace penmorph::app
