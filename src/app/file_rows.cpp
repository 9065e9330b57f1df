#include "app/file_rows.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "app/path_text.h"
#include "app/window_texts.h"
#include "common/path_text.h"
#include "common/text.h"
#include "common/text_decoding.h"
#include "convert/file_memo.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kAllFiles = "*.*";
// Every extension jw_cad gives its files, the copies of them (".JW$") included.
constexpr std::string_view kJwCadNames = "*.jw?";

}  // namespace

std::vector<FileType> FileTypes(const FormatRegistry& formats) {
  std::vector<FileType> types;
  types.push_back({std::string(kAllFiles), std::string(texts::kAllFilesType), {}});
  types.push_back({std::string(kJwCadNames), ToUpperAscii(kJwCadNames), {}});
  for (const auto& format : formats.formats()) {
    types.push_back(
        {"*" + ToLowerAscii(format->Extension()), "*" + std::string(format->Extension()), {}});
  }
  for (std::size_t index = 0; index < types.size(); ++index) {
    const std::string key = " (&" + std::to_string(index) + ")";
    types[index].menu_caption =
        (index == 0 ? types[index].label : "(" + types[index].pattern + ")") + key;
  }
  return types;
}

std::string FilePattern(const FormatRegistry& formats, int file_type) {
  const int valid = ValidFileType(formats, file_type);
  if (valid < 0) {
    return std::string(kAllFiles);
  }
  return FileTypes(formats)[static_cast<std::size_t>(valid)].pattern;
}

int ValidFileType(const FormatRegistry& formats, int file_type) {
  // All files, every jw_cad name, then one type a format: as FileTypes lists them.
  const auto count = static_cast<int>(2 + formats.formats().size());
  return file_type >= 0 && file_type < count ? file_type : -1;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  // Every file, with or without an extension, as where these folders come from.
  if (pattern == "*.*") {
    return true;
  }
  return MatchesWildcard(ToUpperAscii(name), ToUpperAscii(pattern));
}

std::string PaddedSize(std::uint64_t size, int width) {
  std::string digits = std::to_string(size);
  if (width > 0 && digits.size() < static_cast<std::size_t>(width)) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
  }
  return digits;
}

int ListingSizeWidth(int column_pixels) {
  return std::max(3, column_pixels / 8);
}

int RepadSizeWidth(int column_pixels, int digit_pixels) {
  return std::max(3, column_pixels / std::max(3, digit_pixels));
}

int NameColumnWidth(int list_pixels, const std::array<int, kFileColumnCount>& widths, int minimum) {
  int others = 0;
  for (int column = 0; column < kFileColumnCount; ++column) {
    if (column != kNameColumn) {
      others += std::max(0, widths[column]);
    }
  }
  return std::max(minimum, list_pixels - others);
}

std::string ModifiedText(fs::file_time_type time) {
  const auto system = std::chrono::file_clock::to_sys(time);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
  std::tm local{};
#if defined(_WIN32)
  if (localtime_s(&local, &seconds) != 0) {
    return {};
  }
#else
  if (localtime_r(&seconds, &local) == nullptr) {
    return {};
  }
#endif
  char text[32];
  const std::size_t length = std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return std::string(text, length);
}

std::string AttributeText(bool archive, bool read_only) {
  std::string text;
  if (archive) {
    text += "A ";
  }
  if (read_only) {
    text += "R ";
  }
  return text;
}

std::string MemoText(const HeaderMemo& memo) {
  return memo.utf8 ? memo.text : ShiftJisToUtf8(memo.text);
}

FileRow MakeFileRow(const FolderEntry& entry, const fs::path& folder, const FormatRegistry& formats,
                    int size_width) {
  FileRow row;
  row.name = entry.name;
  row.size = entry.size;
  // The name's own text (Windows: UTF-8, not the ANSI code page path::string() would use).
  const std::string native = PathToUtf8(entry.name);
  const std::string extension = ToUpperAscii(FileExtension(native));
  const HeaderMemo memo = FileMemo(formats, folder / entry.name);
  const std::string padded = PaddedSize(entry.size, size_width);
  const std::string modified = entry.modified ? ModifiedText(*entry.modified) : std::string();

  row.cells[kNameColumn] = PathText(entry.name);
  row.keys[kNameColumn] = ToUpperAscii(native);
  row.cells[kSizeColumn] = row.keys[kSizeColumn] = padded;
  row.cells[kTypeColumn] = PathText(PathFromUtf8(extension));
  row.keys[kTypeColumn] = extension;
  row.cells[kMemoColumn] = MemoText(memo);
  // Memos sort by their Shift-JIS bytes, which keeps kanji in reading order.
  row.keys[kMemoColumn] = ToUpperAscii(memo.text);
  row.cells[kTimeColumn] = row.keys[kTimeColumn] = modified;
  row.cells[kAttributeColumn] = AttributeText(entry.archive, entry.read_only);
  return row;
}

}  // namespace penmorph::app
