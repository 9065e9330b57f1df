#pragma once

// The files of a folder tree, for converting the whole tree into a destination with the same
// layout. Entries are taken as the window lists them: hidden ones are passed over; links to
// folders are not followed, so that a link back up the tree cannot make the walk endless and no
// file outside the tree is reached.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace penmorph {

struct TreeFile {
  std::filesystem::path source;
  std::filesystem::path
      relative;  // to the tree's root: where the output goes under the destination
};

struct TreeWalk {
  std::vector<TreeFile> files;  // folder by folder, each in name order, its files first
  std::vector<std::filesystem::path> unreadable;  // folders that could not be listed
  bool stopped = false;
};

// Every file under `root` whose name `wanted` accepts (all when it is empty). `stop`, asked
// before each folder, ends the walk early.
TreeWalk ListTree(const std::filesystem::path& root,
                  const std::function<bool(std::string_view name)>& wanted = {},
                  const std::function<bool()>& stop = {});

// True when `inner` is `outer` or lies inside it, by the folders' identities (links and
// spellings do not hide it); false when either cannot be examined.
bool IsInsideTree(const std::filesystem::path& inner, const std::filesystem::path& outer);

}  // namespace penmorph
