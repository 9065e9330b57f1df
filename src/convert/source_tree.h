#pragma once

// The files of a folder tree, for converting the whole tree into a destination with the same
// layout. Entries are taken as the window lists them: hidden ones are passed over; links to
// folders are not followed, so that a link back up the tree cannot make the walk endless and no
// file outside the tree is reached.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace penmorph {

struct TreeFile {
  std::filesystem::path source;
  std::filesystem::path
      relative;  // to the tree's root: where the output goes under the destination
};

// Walks a tree one file at a time, folder by folder, each in name order and its files first.
// It holds only the folders on the way down to the current one, so a tree of any size costs
// the same memory: an archive is converted while it is walked.
class TreeCursor {
 public:
  // Every file under `root` whose name `wanted` accepts (all when it is empty).
  explicit TreeCursor(std::filesystem::path root,
                      std::function<bool(std::string_view name)> wanted = {});

  std::optional<TreeFile> Next();
  // Folders met so far that could not be listed: their files are not known.
  const std::vector<std::filesystem::path>& unreadable() const { return unreadable_; }

 private:
  struct Level {
    std::filesystem::path folder;
    std::filesystem::path relative;
    std::vector<std::filesystem::path> files;  // names, in order
    std::vector<std::filesystem::path> folders;
    std::size_t next_file = 0;
    std::size_t next_folder = 0;
  };
  void Enter(std::filesystem::path folder, std::filesystem::path relative);

  std::function<bool(std::string_view)> wanted_;
  std::vector<Level> levels_;
  std::vector<std::filesystem::path> unreadable_;
};

// How many files the tree holds: a walk that keeps none of them, for a progress's total.
std::size_t CountTreeFiles(const std::filesystem::path& root,
                           const std::function<bool(std::string_view name)>& wanted = {});

// True when `inner` is `outer` or lies inside it, by the folders' identities (links and
// spellings do not hide it); false when either cannot be examined.
bool IsInsideTree(const std::filesystem::path& inner, const std::filesystem::path& outer);

}  // namespace penmorph
