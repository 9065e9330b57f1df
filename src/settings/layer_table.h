#pragma once

// The third table: where the entities of each of the 256 layers go, and new names for layers
// and layer groups. A layer is named as jw_cad names it, group and layer in one hex digit each
// ("0-3", "2-F"); the table is a plain value like the two others.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

  // True when the table moves no layer and renames nothing.
  bool Empty() const;
  bool MovesLayers() const;
  void Reset() { *this = LayerTable(); }
  bool operator==(const LayerTable&) const = default;

 private:
  static constexpr std::int16_t kStays = -1;
  std::array<std::int16_t, kLayerCount> targets_ = MakeStays();
  std::array<std::string, kLayerCount> layer_names_{};
  std::array<std::string, kLayerGroupCount> group_names_{};

  static constexpr std::array<std::int16_t, kLayerCount> MakeStays() {
    std::array<std::int16_t, kLayerCount> stays{};
    stays.fill(kStays);
    return stays;
  }
};

}  // namespace penmorph
