#pragma once

// The layers of a drawing as the file names them and as jw_cad shows them. jw_cad gives every
// layer and every layer group a state: 0 hidden, 1 shown only, 2 editable, 3 the one being
// written to. An entity is seen when neither its layer nor its group is hidden.

#include <array>
#include <cstdint>
#include <string>

#include "settings/layer_table.h"

namespace penmorph::preview {

inline constexpr std::int32_t kHiddenState = 0;

struct LayerSheet {
  // False for files that keep no layer states (symbols, the DOS formats): everything is shown.
  bool known = false;
  std::array<std::string, kLayerCount> names{};  // UTF-8, by group * 16 + layer
  std::array<std::int32_t, kLayerCount> states{};
  std::array<std::string, kLayerGroupCount> group_names{};
  std::array<std::int32_t, kLayerGroupCount> group_states{};

  bool Hidden(int layer_index) const {
    if (!known || layer_index < 0 || layer_index >= kLayerCount) {
      return false;
    }
    return states[layer_index] == kHiddenState ||
           group_states[layer_index / kLayersPerGroup] == kHiddenState;
  }
  bool operator==(const LayerSheet&) const = default;
};

}  // namespace penmorph::preview
