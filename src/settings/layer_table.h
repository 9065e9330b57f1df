#pragma once

// The third table: where the entities of each of the 256 layers go, by address or by the
// layer's name, and new names for layers and layer groups. A layer is named as jw_cad names it,
// group and layer in one hex digit each
// ("0-3", "2-F"); the table is a plain value like the two others.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace penmorph {

inline constexpr int kLayerGroupCount = 16;
inline constexpr int kLayersPerGroup = 16;
inline constexpr int kLayerCount = kLayerGroupCount * kLayersPerGroup;

struct LayerAddress {
  int group = 0;  // 0-15
  int layer = 0;  // 0-15 within the group

  // group * 16 + layer, the order in which the drawing lists its layers.
  int Index() const { return group * kLayersPerGroup + layer; }
  static LayerAddress FromIndex(int index) {
    return {index / kLayersPerGroup, index % kLayersPerGroup};
  }
  bool operator==(const LayerAddress&) const = default;
};

// "2-5", "a-F": one hex digit (either case), a hyphen, one hex digit; blanks around are allowed.
// nullopt for anything else.
std::optional<LayerAddress> ParseLayerAddress(std::string_view text);
// "2-5", "A-F": upper-case hex, as jw_cad shows layers.
std::string LayerAddressText(LayerAddress address);
std::string LayerGroupText(int group);

// A rule that moves layers by their names: `pattern` is a layer name or a pattern with "*" and
// "?", UTF-8 as the user wrote it.
struct LayerNameRule {
  std::string pattern;
  LayerAddress target;
  bool operator==(const LayerNameRule&) const = default;
};

// A layer name as the rules compare it: blanks (half- and full-width) trimmed at both ends,
// full-width letters and digits as half-width ones, ASCII letters in lower case. Partners type
// the same name with and without a leading space, in either width.
std::u32string FoldLayerName(std::string_view utf8);
// The name with its blanks (half- and full-width) trimmed at both ends, as a list shows it.
std::string TrimLayerName(std::string_view utf8);
// True when the pattern (folded the same way; "*" any run, "?" any one character) takes the name.
bool LayerNameMatches(std::string_view pattern, std::string_view name);

// Where each layer of one drawing goes, the layer table and the drawing's names taken together.
struct LayerPlan {
  static constexpr std::int16_t kStays = -1;
  std::array<std::int16_t, kLayerCount> targets{};  // a layer index, or kStays
  // The name rule that gave the target, by position in the table's list; kStays when the
  // layer's own entry gave it or it stays.
  std::array<std::int16_t, kLayerCount> rules{};
  // True when some layer goes elsewhere.
  bool MovesLayers() const;
};

class LayerTable {
 public:
  // Where entities on the layer go; nullopt: they stay. Indices outside 0-255 have none.
  std::optional<LayerAddress> Target(int index) const;
  void SetTarget(int index, std::optional<LayerAddress> target);
  // The layer an entity on `from` ends on.
  LayerAddress Map(LayerAddress from) const { return Target(from.Index()).value_or(from); }

  // New names, UTF-8; empty: the drawing's name stays.
  const std::string& LayerName(int index) const;
  void SetLayerName(int index, std::string name);
  const std::string& GroupName(int group) const;
  void SetGroupName(int group, std::string name);

  // Rules by name, in the order they are tried: the first that takes a layer's name wins, and a
  // layer's own entry wins over all of them.
  const std::vector<LayerNameRule>& name_rules() const { return name_rules_; }
  void SetNameRules(std::vector<LayerNameRule> rules) { name_rules_ = std::move(rules); }
  // Where the layers of a drawing go whose layers bear `names` (UTF-8, by index); without
  // names (a symbol keeps none) the name rules take no layer.
  LayerPlan PlanFor(const std::array<std::string, kLayerCount>* names) const;

  // True when the table moves no layer and renames nothing.
  bool Empty() const;
  // True when some layer is moved by its entry, or may be by its name.
  bool MovesLayers() const;
  void Reset() { *this = LayerTable(); }
  bool operator==(const LayerTable&) const = default;

 private:
  static constexpr std::int16_t kStays = -1;
  std::array<std::int16_t, kLayerCount> targets_ = MakeStays();
  std::array<std::string, kLayerCount> layer_names_{};
  std::array<std::string, kLayerGroupCount> group_names_{};
  std::vector<LayerNameRule> name_rules_;

  static constexpr std::array<std::int16_t, kLayerCount> MakeStays() {
    std::array<std::int16_t, kLayerCount> stays{};
    stays.fill(kStays);
    return stays;
  }
};

}  // namespace penmorph
