#pragma once

// What the batch driver needs of one file format. Each format object owns its working storage
// (one file at a time); the driver calls, per file: Probe, Read, Remap, Write,
// DeleteExtractedFiles, Clear - stopping early when one of them fails, but always ending with the
// last two.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/byte_sink.h"
#include "common/result.h"
#include "settings/conv_settings.h"

namespace penmorph {

// What `penmorph-cli info` prints about a file.
struct FileDescription {
  std::string format;   // "JWW"
  std::string version;  // empty when the format has none
  std::string memo;     // as stored in the file (Shift-JIS or, for wide strings, UTF-8)
  bool memo_is_utf8 = false;
  bool has_memo = true;  // false for formats that hold none (JWS symbols)
  std::vector<std::pair<std::string, std::uint64_t>> counts;  // ("lines", 12), ...
  std::vector<std::string> details;                           // further lines, already UTF-8
};

// A drawing memo as the file stores it: Shift-JIS bytes, or UTF-8 for files that store wide
// strings. Shown in the file list's memo column.
struct HeaderMemo {
  std::string text;
  bool utf8 = false;
  bool operator==(const HeaderMemo&) const = default;
};

class FileFormat {
 public:
  virtual ~FileFormat() = default;

  virtual std::string_view Name() const = 0;       // "JWW"
  virtual std::string_view Extension() const = 0;  // ".JWW", upper case

  // True when the file starts with the format's signature; false when it does not or cannot be
  // opened. Never throws.
  virtual bool Probe(const std::filesystem::path& file) = 0;
  // Reads the whole file into the working storage.
  virtual Status Read(const std::filesystem::path& file) = 0;
  // Rewrites pen, colour and line-type numbers in the working storage. Fails, naming the entry,
  // when a mapped number does not fit the field it goes into.
  virtual Status Remap(const ConversionTables& tables) = 0;
  // Writes the working storage as a complete file of the same format and version.
  virtual Status Write(ByteSink& out) = 0;
  // Removes files that Read extracted (embedded images); nothing for most formats.
  virtual void DeleteExtractedFiles() {}
  // Empties the working storage.
  virtual void Clear() = 0;

  // The memo from the file's header alone, without probing; nullopt when the header cannot be
  // read or the format has no memo.
  virtual std::optional<HeaderMemo> ReadMemo(const std::filesystem::path& /*file*/) {
    return std::nullopt;
  }

  // Reads a file for a description; leaves the working storage empty.
  virtual Result<FileDescription> Describe(const std::filesystem::path& file) = 0;
};

}  // namespace penmorph
