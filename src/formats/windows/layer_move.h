#pragma once

// Moving entity bases onto the layers the layer table names. jw_cad draws each layer group at
// the group's own scale, so an entity moved into a group of another scale would change size on
// paper: such a move fails instead, naming both groups and their scales.

#include <array>

#include "common/result.h"
#include "formats/windows/entity_base.h"
#include "formats/windows/jwtype.h"
#include "formats/windows/jww_header.h"
#include "settings/layer_table.h"

namespace penmorph::jw {

using GroupScales = std::array<double, kLayerGroupCount>;

// The scales of item 5 of a JWW header, or of a JWS header's groups.
GroupScales ScalesOf(const std::array<TLayerGroup, kLayerGroupCount>& groups);

class LayerMover {
 public:
  LayerMover(const LayerTable& table, const GroupScales& scales)
      : table_(table), scales_(scales), active_(table.MovesLayers()) {}

  // Moves the base where the table says; true when its layer or group changed. Layers and
  // groups outside 0-15 stay as they are (the write rules reset them).
  bool Move(EntityBase& base);

  // Whether any layer is moved at all: when not, Move never changes anything.
  bool active() const { return active_; }
  const Status& status() const { return status_; }

 private:
  const LayerTable& table_;
  GroupScales scales_;
  bool active_;
  Status status_;
};

// Every base a record carries in files of `version` moved: its own, a dimension's members', a
// block definition's own. True when any of them moved.
template <class Record>
bool MoveBases(LayerMover& mover, int version, Record& record) {
  bool moved = false;
  ForEachBase(record, version,
              [&](EntityBase& base, const PartInfo&) { moved = mover.Move(base) || moved; });
  return moved;
}

}  // namespace penmorph::jw
