#pragma once

// The rows of the file list: one folder's files of one file type, each with its size text,
// type, drawing memo, date and attributes as the list shows them.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/folder_entries.h"
#include "convert/format_registry.h"

namespace penmorph::app {

enum FileColumn : int {
  kNameColumn = 0,
  kSizeColumn = 1,
  kTypeColumn = 2,
  kMemoColumn = 3,
  kTimeColumn = 4,
  kAttributeColumn = 5,
  kFileColumnCount = 6,
};

struct FileRow {
  std::filesystem::path name;  // the file's own name, as the file system gave it
  std::uint64_t size = 0;
  std::array<std::string, kFileColumnCount> cells;  // what each column shows, UTF-8
  std::array<std::string, kFileColumnCount> keys;   // what each column sorts by, as bytes
};

// One file type of the drop-down list and the menu.
struct FileType {
  std::string pattern;       // "*.jww": the names it lists
  std::string label;         // "*.JWW": as the drop-down list shows it
  std::string menu_caption;  // "(*.jww) (&2)"
};
// The file types in the list's order (an index is what the settings keep): every file, every
// name of jw_cad's, then one per format of the registry, in its order.
std::vector<FileType> FileTypes(const FormatRegistry& formats);
// The wildcard pattern of a file type; "*.*" for an index that names none.
std::string FilePattern(const FormatRegistry& formats, int file_type);
// The file type to select, or -1 (none) for an index that names none.
int ValidFileType(const FormatRegistry& formats, int file_type);
// Wildcards "*" and "?" without regard to ASCII case; "*.*" is every name, with a dot or not.
bool MatchesPattern(std::string_view name, std::string_view pattern);

// The size right-aligned in `width` characters (longer numbers are not cut).
std::string PaddedSize(std::uint64_t size, int width);
// Characters of the size column while listing: its pixel width / 8, at least 3.
int ListingSizeWidth(int column_pixels);
// Characters of the size column when it is repainted: its pixel width / the width of "0", both
// at least 3.
int RepadSizeWidth(int column_pixels, int digit_pixels);
// What the name column is never narrower than, measured in the list's font.
inline constexpr std::string_view kNameColumnMinimumText = "図面の名前.jww";
// The name column's width: the room the other columns leave in the list's `list_pixels`, never
// less than `minimum`. Names are what is cut first, so they take what would be empty space.
int NameColumnWidth(int list_pixels, const std::array<int, kFileColumnCount>& widths, int minimum);
// Local date and time, "yyyy/mm/dd hh:mm:ss".
std::string ModifiedText(std::filesystem::file_time_type time);
// "A " for the archive flag, then "R " for read-only.
std::string AttributeText(bool archive, bool read_only);
// The memo column's text, UTF-8.
std::string MemoText(const HeaderMemo& memo);

// One row; the memo is read from the file's header through its format.
FileRow MakeFileRow(const FolderEntry& entry, const std::filesystem::path& folder,
                    const FormatRegistry& formats, int size_width);

}  // namespace penmorph::app
