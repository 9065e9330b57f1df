#pragma once

// One folder's entries as the file browser and the walk of a folder tree need them. Hidden entries
// are marked, not dropped, so that each caller decides; a folder that cannot be read has no
// entries. One implementation per platform (folder_entries_posix.cpp, folder_entries_windows.cpp).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace penmorph {

struct FolderEntry {
  std::filesystem::path name;  // the entry's own name
  bool is_folder = false;
  bool is_file = false;  // a plain file (not a folder, device or socket)
  // Linux: a name starting with "."; Windows: the hidden or the system attribute.
  bool hidden = false;
  bool is_link = false;  // a symbolic link (Windows: any reparse point, junctions too)
  bool read_only = false;
  bool archive = false;  // Windows' archive attribute; Linux has none, so never set there
  std::uint64_t size = 0;
  std::optional<std::filesystem::file_time_type> modified;
};

// Calls `visit` for each entry in the order the file system gives them, until it returns false.
// Size, time and attributes are looked up only `with_details` (a folder walk needs none).
// Returns false when the folder could not be read at all.
bool ForEachEntry(const std::filesystem::path& folder,
                  const std::function<bool(const FolderEntry&)>& visit, bool with_details = true);

}  // namespace penmorph
