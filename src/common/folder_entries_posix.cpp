#include <unistd.h>

#include "common/folder_entries.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// A file the user may not write, or one nobody may write (which root could write all the same,
// but the owner meant it read-only).
bool ReadOnly(const fs::directory_entry& entry) {
  std::error_code ec;
  const fs::perms perms = entry.status(ec).permissions();
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  const bool nobody_writes = !ec && (perms & kWrite) == fs::perms::none;
  return nobody_writes || ::access(entry.path().c_str(), W_OK) != 0;
}

}  // namespace

bool ForEachEntry(const fs::path& folder, const std::function<bool(const FolderEntry&)>& visit,
                  bool with_details) {
  std::error_code ec;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  if (ec) {
    return false;
  }
  for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
    FolderEntry entry;
    entry.name = it->path().filename();
    const std::string& name = entry.name.native();
    entry.hidden = name.empty() || name.front() == '.';
    std::error_code type_ec;
    entry.is_link = it->is_symlink(type_ec);
    entry.is_folder = it->is_directory(type_ec);
    entry.is_file = !entry.is_folder && it->is_regular_file(type_ec);
    if (entry.is_file && with_details) {
      std::error_code size_ec;
      const auto size = it->file_size(size_ec);
      entry.size = size_ec ? 0 : size;
      std::error_code time_ec;
      const auto written = it->last_write_time(time_ec);
      if (!time_ec) {
        entry.modified = written;
      }
      entry.read_only = ReadOnly(*it);
    }
    if (!visit(entry)) {
      break;
    }
  }
  return true;
}

}  // namespace penmorph
