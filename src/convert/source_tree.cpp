#include "convert/source_tree.h"

#include <algorithm>

#include "common/file_system.h"
#include "common/folder_entries.h"
#include "common/path_text.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

void Walk(const fs::path& folder, const fs::path& relative,
          const std::function<bool(std::string_view)>& wanted, const std::function<bool()>& stop,
          TreeWalk& walk) {
  if (stop && stop()) {
    walk.stopped = true;
    return;
  }
  std::vector<fs::path> files;
  std::vector<fs::path> folders;
  const bool listed = ForEachEntry(
      folder,
      [&](const FolderEntry& entry) {
        if (entry.hidden) {
          return true;
        }
        if (entry.is_folder && !entry.is_link) {
          folders.push_back(entry.name);
        } else if (entry.is_file && (!wanted || wanted(PathToUtf8(entry.name)))) {
          files.push_back(entry.name);
        }
        return true;
      },
      false);
  if (!listed) {
    walk.unreadable.push_back(folder);
    return;
  }
  // Name order, the same on every run and every file system.
  std::sort(files.begin(), files.end());
  std::sort(folders.begin(), folders.end());
  for (const fs::path& name : files) {
    walk.files.push_back({folder / name, relative / name});
  }
  for (const fs::path& name : folders) {
    Walk(folder / name, relative / name, wanted, stop, walk);
    if (walk.stopped) {
      return;
    }
  }
}

}  // namespace

TreeWalk ListTree(const fs::path& root, const std::function<bool(std::string_view)>& wanted,
                  const std::function<bool()>& stop) {
  TreeWalk walk;
  Walk(root, fs::path(), wanted, stop, walk);
  return walk;
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
