#pragma once

// A profile (ini) file held in memory: "[Section]" lines followed by "key=value" lines. Section
// and key names match without regard to ASCII case; the first section and the first key of a
// name win, as with the classic profile functions. Every line that is not changed stays
// byte for byte as it was (junk, comments, duplicates, line endings), so writing a few keys
// never loses anything else in the file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/result.h"

namespace penmorph {

class IniDocument {
 public:
  IniDocument() = default;
  static IniDocument Parse(std::string_view text);
  // A missing file is an empty document; an unreadable one is an error. The document holds
  // UTF-8: a file that is not valid UTF-8 throughout was written by an older program or a
  // Japanese editor and is read as Shift-JIS (a save then writes it as UTF-8). A file that is
  // not Shift-JIS either is held as its bytes.
  static Result<IniDocument> Load(const std::filesystem::path& path);

  // The value as stored: surrounding blanks removed and one pair of enclosing double quotes
  // taken off. nullopt when the section or the key is absent.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Sets a key, adding the section and the key when they are absent. A value that cannot be
  // stored on one line (it holds a line break or a NUL) is refused and nothing changes; so are
  // section and key names that the format cannot hold.
  bool Set(std::string_view section, std::string_view key, std::string_view value);

  // Removes the key's lines (every spelling of it) from the first section of that name; a
  // missing section or key is no change. Every other line stays.
  void Remove(std::string_view section, std::string_view key);

  // Every key of the first section of that name, in file order, with its value as Get gives it;
  // for sections whose keys are data (names) rather than a fixed set.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
  // Makes `entries` the keys of the section, in that order: its old key lines go, its other
  // lines stay. Entries the format cannot hold are left out; false when any was.
  bool SetEntries(std::string_view section,
                  const std::vector<std::pair<std::string, std::string>>& entries);

  // Whether a key name can stand on a line of its own: not empty, no blanks around it, no line
  // break, NUL or "=", and not starting as a section or a comment does.
  static bool CanHoldKey(std::string_view key);

  std::string Serialize() const;

  // Writes the whole document to a temporary file beside the target and renames it into place,
  // so the target is never left half-written. A link at the target is written through to the
  // file it names. Temporary files that earlier, interrupted saves left in that folder are
  // removed first.
  Status Save(const std::filesystem::path& path) const;

 private:
  enum class LineKind { kOther, kSection, kKey };
  struct Line {
    std::string text;    // without its line ending
    std::string ending;  // "\n", "\r\n"; for a last line "" or a lone "\r" (cut before its LF)
    LineKind kind = LineKind::kOther;
    std::string name;             // section or key name, as written
    std::size_t value_start = 0;  // kKey: where the raw value starts in text
  };

  static Line Classify(std::string text, std::string ending);
  static std::string ValueOf(const Line& line);
  static bool CanHold(std::string_view key, std::string_view value);
  // The section's header line, added at the end when absent.
  std::size_t SectionHeader(std::string_view section, const std::string& ending);
  // Before a line is added after the last one: the last line's end made whole.
  void EndLastLine(const std::string& ending);
  // Index of the section's header line, or npos.
  std::size_t FindSection(std::string_view section) const;
  // Index of the key's line inside the section that starts at `header`, or npos.
  std::size_t FindKey(std::size_t header, std::string_view key) const;
  // Index just past the section's last key line.
  std::size_t SectionKeyEnd(std::size_t header) const;
  std::string NewLineEnding() const;

  std::vector<Line> lines_;
};

}  // namespace penmorph
