#pragma once

// The layers of a JWW drawing as `info` lists them: names and states from the header, scales of
// the groups, and how many records lie on each layer. Of the 256 layers only the named and the
// used are listed - jw_cad's drawings hold 256 layers in any state, and a list of every untouched
// one would hide the few that matter.

#include <array>
#include <cstdint>
#include <vector>

#include "convert/file_format.h"
#include "formats/windows/jww_header.h"
#include "formats/windows/layer_move.h"

namespace penmorph::jw {

class LayerListing {
 public:
  // A record's own base, of the main list or (in_block) a block definition's members.
  void Count(const EntityBase& base, bool in_block);

  // Groups and layers named or in use; a group is listed when it or one of its layers is, and
  // comes before them.
  std::vector<LayerDescription> Describe(const preview::LayerSheet& sheet,
                                         const GroupScales& scales) const;

 private:
  std::array<std::uint64_t, kLayerCount> entities_{};
  std::array<std::uint64_t, kLayerCount> members_{};
};

// "1/100 in every group", or each group's scale when they differ: what a JWS symbol keeps.
std::string GroupScalesText(const GroupScales& scales);

}  // namespace penmorph::jw
