#pragma once

// What the converter needs of one file format. A format holds no file between calls: every
// call reads what it needs from the reader it is handed, into storage of its own, so that any
// number of files can be converted, listed and described at once.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_sink.h"
#include "common/conversion_status.h"
#include "common/result.h"
#include "preview/drawing.h"
#include "preview/inventory.h"
#include "settings/conv_settings.h"

namespace penmorph {

// A layer group or a layer of a drawing, as `penmorph-cli info` lists it.
struct LayerDescription {
  std::string address;          // "2" for a group, "2-5" for a layer
  std::string name;             // UTF-8
  std::int32_t state = 0;       // jw_cad's: 0 hidden, 1 shown, 2 editable, 3 being written
  std::optional<double> scale;  // a group's: the denominator of 1/N
  std::uint64_t entities = 0;   // of the main list whose own base is on it (a group: on any layer)
  std::uint64_t block_members = 0;  // the same among the members of block definitions
  bool operator==(const LayerDescription&) const = default;
};

// What `penmorph-cli info` prints about a file.
struct FileDescription {
  std::string format;   // "JWW"
  std::string version;  // empty when the format has none
  std::string memo;     // as stored in the file (Shift-JIS or, for wide strings, UTF-8)
  bool memo_is_utf8 = false;
  std::vector<std::pair<std::string, std::uint64_t>> counts;  // ("lines", 12), ...
  std::vector<std::string> details;                           // further lines, already UTF-8
  // The groups and layers that are named or in use, a group before its layers.
  std::vector<LayerDescription> layers;
};

// A drawing memo as the file stores it: Shift-JIS bytes, or UTF-8 for files that store wide
// strings. Shown in the file list's memo column.
struct HeaderMemo {
  std::string text;
  bool utf8 = false;
  bool operator==(const HeaderMemo&) const = default;
};

// A name jw_cad gives its own copies of a format's files (".JW$", backups). No format converts
// such a file, but the file list shows the memo of the drawing it holds.
struct CopyName {
  std::string_view extension;  // upper case, dot included; "?" is any one character, "*" any run
  // A name that copies of several formats share: only a file with this format's signature is
  // its copy.
  bool needs_signature = false;
};

// What the rest of the program knows of a format besides its contents: how its files are named,
// which tables remap it and whether it holds a memo. Every list of formats - the --type names,
// the file types of the window, the memo column - is read from these.
struct FormatTraits {
  std::string_view name;       // "JWW"
  std::string_view extension;  // ".JWW", upper case
  preview::CodeFamily family = preview::CodeFamily::kWindows;
  bool has_memo = true;              // false for formats that hold none (JWS symbols)
  std::span<const CopyName> copies;  // tried in this order
  // Its converter keeps unchanged stretches through ByteSink::KeepSource and writes only what it
  // changes, so that its output can be a copy of the source patched in place (PatchSink).
  bool patches_in_place = false;
};

// How many bytes of a file's start Recognizes is shown: enough for every signature.
inline constexpr std::size_t kSignatureBytes = 32;

class FileFormat {
 public:
  virtual ~FileFormat() = default;

  virtual const FormatTraits& Traits() const = 0;
  std::string_view Name() const { return Traits().name; }
  std::string_view Extension() const { return Traits().extension; }

  // True when a file starting with `head` (its first kSignatureBytes bytes, or all of a shorter
  // file) carries the format's signature.
  virtual bool Recognizes(std::span<const std::uint8_t> head) const = 0;

  // Reads the file from the reader's position (its start), remaps pens and line types through
  // the tables and writes the converted file, of the same format and version, to `out`. On
  // failure `out` holds a part of a file, which the caller throws away.
  virtual ConversionStatus Convert(ByteReader& in, const ConversionTables& tables,
                                   ByteSink& out) const = 0;

  // The memo from the file's header alone, read with as few bytes as the header needs, without
  // checking the signature; nullopt when the header cannot be read or the format has no memo.
  virtual std::optional<HeaderMemo> ReadMemo(ByteReader& /*in*/) const { return std::nullopt; }

  // Reads the whole file for a description.
  virtual Result<FileDescription> Describe(ByteReader& in) const = 0;

  // Reads the whole file and counts its pens and line types as they are and after the tables,
  // remapping exactly as Convert does, and fails where Convert would fail to remap.
  virtual Result<preview::Inventory> TakeInventory(ByteReader& in,
                                                   const ConversionTables& tables) const;
  // Reads the whole file as preview geometry.
  virtual Result<preview::Drawing> Draw(ByteReader& in) const;
};

}  // namespace penmorph
