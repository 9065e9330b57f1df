#pragma once

// The value rules of the layer dialog: the 256 layers with the layer their entities move to and
// a new name, the 16 groups with a new name, the names the highlighted drawing gives them, the
// range fill of targets and the check when the user confirms.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/format_registry.h"
#include "preview/layer_sheet.h"
#include "settings/layer_table.h"

namespace penmorph::app {

struct LayerSettingsForm {
  std::vector<std::string> targets;      // kLayerCount cells: "" (stays) or "2-5"
  std::vector<std::string> layer_names;  // kLayerCount cells, UTF-8; "" keeps the drawing's
  std::vector<std::string> group_names;  // kLayerGroupCount cells
  // The rules by name, a row each: a name or pattern, and its target as typed.
  std::vector<std::string> patterns;
  std::vector<std::string> pattern_targets;
};

LayerSettingsForm LayerFormFromTable(const LayerTable& table);

// The row captions: "0-0" ... "F-F" and "0" ... "F", as jw_cad names layers and groups.
std::vector<std::string> LayerRowCaptions();
std::vector<std::string> GroupRowCaptions();

// The names the drawing gives its layers and groups, for the column beside the captions; all
// empty when no drawing is highlighted or it keeps no layers (a symbol, a DOS drawing).
std::vector<std::string> DrawingLayerNames(const preview::LayerSheet* sheet);
std::vector<std::string> DrawingGroupNames(const preview::LayerSheet* sheet);

// The range fill of the target column: `typed` is a layer ("2-5", either case) or blank, which
// clears the rows. A text that names no layer changes nothing and nullopt comes back (the
// dialog beeps and puts the focus into the box); otherwise the text as written into rows
// `first` to `last` and back into the box.
std::optional<std::string> FillTargets(std::vector<std::string>& targets, std::size_t first,
                                       std::size_t last, std::string_view typed);
// The error box of a refused fill: "一括設定の移動先 2-x は 0-0〜F-F の形で入力して下さい。"
std::string FillTargetRefusalText(std::string_view typed);

struct RefusedTarget {
  enum class Cell { kTarget, kPattern, kPatternTarget };
  std::size_t row = 0;  // the layer's index, or the rule's row
  std::string message;  // for an error box: the layer, the text typed, the form it takes
  Cell cell = Cell::kTarget;
  bool operator==(const RefusedTarget&) const = default;
};

// The confirmation: the target cells row by row, each one that passes rewritten as jw_cad
// writes a layer; then the rules by name, whose blank rows are dropped. At the first cell that
// names no layer, or a rule without a name or a target, it stops, leaving the table as it was,
// and says which and why. When every cell passes the table is replaced by the form's and
// nullopt comes back.
std::optional<RefusedTarget> ConfirmLayerForm(LayerSettingsForm& form, LayerTable& table);

// Asked at OK when the highlighted drawing could not be converted with the proposed layer
// table - a layer moved into a group drawn at another scale - so that the user hears of it
// now, not at the end of a run of many files. Empty when it can, or nothing is highlighted.
// For each rule, the layers of a drawing named `names` it takes, the typed targets and rules
// taken as they stand ("0-3 外壁, 0-5 外壁位置"); kNoLayerTaken where it takes none, and all
// empty without a drawing.
std::vector<std::string> TakenLayersText(const std::vector<std::string>& names,
                                         const std::vector<std::string>& targets,
                                         const std::vector<std::string>& patterns);

std::string LayerMoveQuestion(const FormatRegistry& formats,
                              const std::optional<std::filesystem::path>& file,
                              ConversionTables tables, const LayerTable& proposed);

}  // namespace penmorph::app
