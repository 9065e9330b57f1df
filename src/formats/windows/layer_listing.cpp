#include "formats/windows/layer_listing.h"

#include <algorithm>
#include <sstream>

namespace penmorph::jw {

void LayerListing::Count(const EntityBase& base, bool in_block) {
  if (base.Layer >= kLayersPerGroup || base.LayerGroup >= kLayerGroupCount) {
    return;  // the write rules reset such a base; it lies on no layer the header names
  }
  const int index = LayerAddress{base.LayerGroup, base.Layer}.Index();
  ++(in_block ? members_ : entities_)[index];
}

std::vector<LayerDescription> LayerListing::Describe(const preview::LayerSheet& sheet,
                                                     const GroupScales& scales) const {
  std::vector<LayerDescription> listed;
  for (int group = 0; group < kLayerGroupCount; ++group) {
    LayerDescription group_line{.address = LayerGroupText(group),
                                .name = sheet.group_names[group],
                                .state = sheet.group_states[group],
                                .scale = scales[group]};
    std::vector<LayerDescription> layers;
    for (int layer = 0; layer < kLayersPerGroup; ++layer) {
      const LayerAddress address{group, layer};
      const int index = address.Index();
      group_line.entities += entities_[index];
      group_line.block_members += members_[index];
      const bool worth_a_line =
          !sheet.names[index].empty() || entities_[index] > 0 || members_[index] > 0;
      if (worth_a_line) {
        layers.push_back({.address = LayerAddressText(address),
                          .name = sheet.names[index],
                          .state = sheet.states[index],
                          .scale = std::nullopt,
                          .entities = entities_[index],
                          .block_members = members_[index]});
      }
    }
    if (layers.empty() && group_line.name.empty()) {
      continue;
    }
    listed.push_back(std::move(group_line));
    listed.insert(listed.end(), layers.begin(), layers.end());
  }
  return listed;
}

std::string GroupScalesText(const GroupScales& scales) {
  if (std::all_of(scales.begin(), scales.end(), [&](double s) { return s == scales[0]; })) {
    return "1/" + ScaleText(scales[0]) + " in every group";
  }
  std::string text;
  for (int group = 0; group < kLayerGroupCount; ++group) {
    text += (group == 0 ? "" : ", ") + LayerGroupText(group) + ": 1/" + ScaleText(scales[group]);
  }
  return text;
}

}  // namespace penmorph::jw
