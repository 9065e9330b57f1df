#pragma once

// What a file holds, counted by pen colour, by line type and by layer for each kind of entity, as
// the file is and as the tables would write it, with how many entities the tables change.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "preview/drawing.h"
#include "preview/layer_sheet.h"

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
    Row(code)[static_cast<std::size_t>(column)] += count;
  }
  // The code's row, made when missing; it stays where it is while rows are added.
  ColumnCounts& Row(int code) { return rows_[code]; }
  void Merge(const CodeCounts& other);
  const std::map<int, ColumnCounts>& rows() const { return rows_; }
  std::uint64_t Total(int code) const;
  std::uint64_t Count(int code, InventoryColumn column) const;
  bool operator==(const CodeCounts&) const = default;

 private:
  std::map<int, ColumnCounts> rows_;
};

// How many attribute blocks the tables take from one code to another, by (from, to): what a
// standards check reports, since counts by code alone hide two codes swapped.
class CodeMoves {
 public:
  void Add(int from, int to, std::uint64_t count = 1) {
    if (from != to) {
      moves_[{from, to}] += count;
    }
  }
  void Merge(const CodeMoves& other);
  const std::map<std::pair<int, int>, std::uint64_t>& moves() const { return moves_; }
  bool operator==(const CodeMoves&) const = default;

 private:
  std::map<std::pair<int, int>, std::uint64_t> moves_;
};

struct InventoryMoves {
  CodeMoves colors;
  CodeMoves line_types;
  CodeMoves layers;  // by layer index
  bool operator==(const InventoryMoves&) const = default;
};

struct InventorySide {
  CodeCounts colors;
  CodeCounts line_types;  // of lines, arcs and dimension lines only
  CodeCounts layers;      // by layer index (group * 16 + layer); JWW and JWS only
  // The names and states of the layers as the file has them, or as the tables would name them.
  // A total's sheet is not known: its files name their layers each their own way.
  LayerSheet sheet;
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

// What one rule of the layer table's rules by name took in a drawing.
struct NameRuleMoves {
  std::string pattern;      // as the table has it
  int target = 0;           // layer index
  std::vector<int> layers;  // the layers whose names it took, by index, ascending
  std::uint64_t parts = 0;  // attribute blocks it moved off those layers
  bool operator==(const NameRuleMoves&) const = default;
};

struct Inventory {
  std::string format;   // "JWW"
  std::string version;  // empty when the format has none
  CodeFamily family = CodeFamily::kWindows;
  std::uint64_t entities = 0;  // of the main list and of block definitions
  std::uint64_t block_definitions = 0;
  std::uint64_t changed = 0;  // entities whose colour, line type or layer the tables change
  std::uint64_t moved = 0;    // of those, the entities whose layer the tables change
  // Entities of the main list the tables move onto a hidden layer (or into a hidden group) from
  // a shown one: jw_cad stops drawing them. A block member is drawn by its insertion's layer.
  std::uint64_t moved_to_hidden = 0;
  std::uint64_t moved_block_definitions = 0;  // block definitions whose own layer moves
  std::uint64_t renamed = 0;                  // layer and group names the tables would change
  InventorySide before;
  InventorySide after;
  InventoryMoves moves;
  // The rules by name that took some layer, in the table's order. A symbol keeps no layer
  // names, so none ever takes one of its layers (see `names_known`).
  std::vector<NameRuleMoves> name_rules;
  bool names_known = false;  // the file names its layers (JWW)
  // The table has rules by name, but the file names no layers: they move nothing in it.
  bool names_unused = false;
  std::vector<SettingColor> settings;

  std::uint64_t ChangedSettings() const;
  // True when the tables would write the file as it is: no entity, setting, block definition or
  // name changes.
  bool Unchanged() const;
  // Adds another file's counts, for a total; settings and layer sheets are not added.
  void Merge(const Inventory& other);
  bool operator==(const Inventory&) const = default;
};

// Whether colour `code` is a solid's own RGB colour rather than a pen (10 in the Windows formats).
bool IsOwnColorCode(CodeFamily family, int code);
// How a code is written: "2"; "SXF 5" for colour 105; "own RGB" for a solid's colour 10 (the
// machine-read outputs' word; the window and the Japanese command line say it in Japanese);
// "SXF 17" for line type 47; DOS pens and line types as numbers.
std::string ColorLabel(CodeFamily family, int code);
std::string LineTypeLabel(CodeFamily family, int code);
// A layer index as jw_cad names the layer ("2-5"); "?" for a layer outside 0-15.
std::string LayerLabel(int index);
// The same in the form code listings take a label in (the family does not matter for layers).
std::string LayerCodeLabel(CodeFamily family, int index);
// "0-3, 0-5": the layers a rule by name took.
std::string LayerLabels(const std::vector<int>& indices);

}  // namespace penmorph::preview
