#pragma once

// Moving entity bases onto the layers the layer table names. jw_cad draws each layer group at
// the group's own scale, so an entity moved into a group of another scale would change size on
// paper: such a move fails instead, naming both groups and their scales.

#include <array>
#include <string>

#include "common/result.h"
#include "formats/windows/entity_base.h"
#include "formats/windows/jwtype.h"
#include "formats/windows/jww_header.h"
#include "settings/layer_table.h"

namespace penmorph::jw {

using GroupScales = std::array<double, kLayerGroupCount>;

// The scales of item 5 of a JWW header, or of a JWS header's groups.
GroupScales ScalesOf(const std::array<TLayerGroup, kLayerGroupCount>& groups);

// A scale's number as messages and listings spell it ("100" for 1/100).
std::string ScaleText(double scale);

// Where the layers of a drawing go: the table's entries, and its name rules matched against the
// names in the header. A symbol's header keeps no names: only the entries apply.
LayerPlan PlanLayers(const LayerTable& table, const THeader& header);
inline LayerPlan PlanLayers(const LayerTable& table) {
  return table.PlanFor(nullptr);
}

class LayerMover {
 public:
  LayerMover(const LayerPlan& plan, const GroupScales& scales)
      : plan_(plan), scales_(scales), active_(plan.MovesLayers()) {}

  // Moves the base where the table says; true when its layer or group changed. Layers and
  // groups outside 0-15 stay as they are (the write rules reset them).
  bool Move(EntityBase& base);

  // Whether any layer is moved at all: when not, Move never changes anything.
  bool active() const { return active_; }
  const Status& status() const { return status_; }
  const LayerPlan& plan() const { return plan_; }

 private:
  LayerPlan plan_;
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
