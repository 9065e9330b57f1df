#include "convert/source_tree.h"

#include <algorithm>

#include "common/file_system.h"
#include "common/folder_entries.h"
#include "common/path_text.h"

namespace penmorph {

namespace fs = std::filesystem;

TreeCursor::TreeCursor(fs::path root, std::function<bool(std::string_view)> wanted)
    : wanted_(std::move(wanted)) {
  Enter(std::move(root), fs::path());
}

void TreeCursor::Enter(fs::path folder, fs::path relative) {
  Level level{std::move(folder), std::move(relative), {}, {}, 0, 0};
  const bool listed = ForEachEntry(
      level.folder,
      [&](const FolderEntry& entry) {
        if (entry.hidden) {
          return true;
        }
        if (entry.is_folder && !entry.is_link) {
          level.folders.push_back(entry.name);
        } else if (entry.is_file && (!wanted_ || wanted_(PathToUtf8(entry.name)))) {
          level.files.push_back(entry.name);
        }
        return true;
      },
      false);
  if (!listed) {
    unreadable_.push_back(std::move(level.folder));
    return;
  }
  // Name order, the same on every run and every file system.
  std::sort(level.files.begin(), level.files.end());
  std::sort(level.folders.begin(), level.folders.end());
  levels_.push_back(std::move(level));
}

std::optional<TreeFile> TreeCursor::Next() {
  while (!levels_.empty()) {
    Level& level = levels_.back();
    if (level.next_file < level.files.size()) {
      const fs::path& name = level.files[level.next_file++];
      return TreeFile{level.folder / name, level.relative / name};
    }
    if (level.next_folder < level.folders.size()) {
      const fs::path& name = level.folders[level.next_folder++];
      Enter(level.folder / name, level.relative / name);  // `level` may move: not used after
      continue;
    }
    levels_.pop_back();
  }
  return std::nullopt;
}

std::size_t CountTreeFiles(const fs::path& root,
                           const std::function<bool(std::string_view)>& wanted) {
  std::size_t count = 0;
  for (TreeCursor cursor(root, wanted); cursor.Next();) {
    ++count;
  }
  return count;
}

bool IsInsideTree(const fs::path& inner, const fs::path& outer) {
  std::error_code ec;
  fs::path folder = fs::absolute(inner, ec).lexically_normal();
  if (ec) {
    return false;
  }
  if (!folder.has_filename()) {
    folder = folder.parent_path();  // "a/b/" is the folder "a/b"
  }
  // Up from `inner` to the root, comparing identities on the way; folders that do not exist yet
  // are passed over.
  while (true) {
    if (SameFileOrFolder(folder, outer).value_or(false)) {
      return true;
    }
    if (!folder.has_relative_path()) {
      return false;
    }
    folder = folder.parent_path();
  }
}

}  // namespace penmorph
