#include "formats/windows/layer_move.h"

#include <sstream>

namespace penmorph::jw {

std::string ScaleText(double scale) {
  std::ostringstream text;
  text << scale;
  return text.str();
}

GroupScales ScalesOf(const std::array<TLayerGroup, kLayerGroupCount>& groups) {
  GroupScales scales{};
  for (int group = 0; group < kLayerGroupCount; ++group) {
    scales[group] = GroupScale(groups[group]);
  }
  return scales;
}

LayerPlan PlanLayers(const LayerTable& table, const THeader& header) {
  if (table.name_rules().empty()) {
    return table.PlanFor(nullptr);  // no names need decoding
  }
  std::array<std::string, kLayerCount> names;
  for (int index = 0; index < kLayerCount; ++index) {
    names[index] = NameText(header.layers[index].name);
  }
  return table.PlanFor(&names);
}

bool LayerMover::Move(EntityBase& base) {
  if (!active_ || base.Layer >= kLayersPerGroup || base.LayerGroup >= kLayerGroupCount) {
    return false;
  }
  const LayerAddress from{base.LayerGroup, base.Layer};
  const std::int16_t target = plan_.targets[from.Index()];
  const LayerAddress to = target == LayerPlan::kStays ? from : LayerAddress::FromIndex(target);
  if (to == from) {
    return false;
  }
  if (to.group != from.group && scales_[to.group] != scales_[from.group]) {
    if (status_.ok()) {
      const std::string from_scale = ScaleText(scales_[from.group]);
      const std::string to_scale = ScaleText(scales_[to.group]);
      Error error =
          MakeError(ErrorKind::kScaleClash,
                    "the layer table moves layer " + LayerAddressText(from) + " from group " +
                        LayerGroupText(from.group) + " (scale 1/" + from_scale + ") into group " +
                        LayerGroupText(to.group) + " (scale 1/" + to_scale + ")");
      error.detail = ScaleClashDetail{LayerGroupText(from.group), from_scale,
                                      LayerGroupText(to.group), to_scale, LayerAddressText(from)};
      status_ = std::move(error);
    }
    return false;
  }
  base.LayerGroup = static_cast<std::uint16_t>(to.group);
  base.Layer = static_cast<std::uint16_t>(to.layer);
  return true;
}

}  // namespace penmorph::jw
