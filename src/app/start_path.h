#pragma once

// The window started with a path (a file manager's "open with", or `penmorph FILE`): which
// folder to search and list, and which file to select in it.

#include <filesystem>
#include <optional>

namespace penmorph::app {

struct StartPath {
  std::filesystem::path folder;               // absolute, to be the search folder
  std::optional<std::filesystem::path> file;  // a file's own name, to select
};

// A folder stands for itself, a file for its folder and its name; nothing for a path that does
// not exist, so the window starts as it would without one.
std::optional<StartPath> StartPathOf(const std::filesystem::path& argument);

}  // namespace penmorph::app
