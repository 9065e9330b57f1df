#pragma once

// What a file holds, counted by pen colour and by line type for each kind of entity, as the file
// is and as the tables would write it, with how many entities the tables change.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "preview/drawing.h"

namespace penmorph::preview {

enum class InventoryColumn : std::uint8_t {
  kLines,
  kArcs,
  kPoints,
  kTexts,
  kDimensionLines,
  kDimensionTexts,
  kDimensionPoints,
  kSolids,
  kBlockInsertions,
  kBlockMembers,  // entities inside block definitions, of any kind
};
inline constexpr std::size_t kInventoryColumnCount = 10;
inline constexpr std::array<std::string_view, kInventoryColumnCount> kInventoryColumnNames = {
    "lines",
    "arcs",
    "points",
    "texts",
    "dimension lines",
    "dimension texts",
    "dimension points",
    "solids",
    "block insertions",
    "block members"};

using ColumnCounts = std::array<std::uint64_t, kInventoryColumnCount>;

// Counts by code (colour or line type), each by column.
class CodeCounts {
 public:
  void Add(int code, InventoryColumn column, std::uint64_t count = 1) {
    rows_[code][static_cast<std::size_t>(column)] += count;
  }
  void Merge(const CodeCounts& other);
  const std::map<int, ColumnCounts>& rows() const { return rows_; }
  std::uint64_t Total(int code) const;
  std::uint64_t Count(int code, InventoryColumn column) const;
  bool operator==(const CodeCounts&) const = default;

 private:
  std::map<int, ColumnCounts> rows_;
};

struct InventorySide {
  CodeCounts colors;
  CodeCounts line_types;  // of lines, arcs and dimension lines only
  bool operator==(const InventorySide&) const = default;
};

// A drawing-wide setting that holds a colour: a text kind's colour, a digit of the dimension
// colours, a JWC text setting's pen.
struct SettingColor {
  std::string name;  // "text kind 3", "dimension colour (tens)"
  std::int32_t before = 0;
  std::int32_t after = 0;
  bool operator==(const SettingColor&) const = default;
};

struct Inventory {
  std::string format;   // "JWW"
  std::string version;  // empty when the format has none
  CodeFamily family = CodeFamily::kWindows;
  std::uint64_t entities = 0;  // of the main list and of block definitions
  std::uint64_t block_definitions = 0;
  std::uint64_t changed = 0;  // entities whose colour or line type the tables change
  InventorySide before;
  InventorySide after;
  std::vector<SettingColor> settings;

  std::uint64_t ChangedSettings() const;
  // Adds another file's counts, for a total; settings are not added.
  void Merge(const Inventory& other);
  bool operator==(const Inventory&) const = default;
};

// How a code is written: "2"; "SXF 5" for colour 105; "own RGB" for a solid's colour 10;
// "SXF 17" for line type 47; DOS pens and line types as numbers.
std::string ColorLabel(CodeFamily family, int code);
std::string LineTypeLabel(CodeFamily family, int code);

}  // namespace penmorph::preview
