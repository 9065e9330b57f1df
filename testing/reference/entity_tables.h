#pragma once

// The entities of a workspace: each list (a drawing's main list, a block definition's members)
// held as a table per kind and the order in which they stand in the file, remapped as a whole
// and written back record by record.

#include <cstdint>
#include <utility>
#include <variant>
#include <vector>

#include "common/byte_writer.h"
#include "common/result.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_kinds.h"
#include "formats/windows/entity_records.h"
#include "formats/windows/jwtype.h"
#include "formats/windows/layer_move.h"
#include "reference/chunked_table.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

// One entry of an order list: which table, which record.
struct EntityRef {
  EntityKind kind = EntityKind::kNone;
  std::uint32_t index = 0;
  bool operator==(const EntityRef&) const = default;
};

// The tables grow in chunks, so that growing them never copies what was already read.
struct EntityTables {
  ChunkedTable<TEntSen> lines;
  ChunkedTable<TEntEnko> arcs;
  ChunkedTable<TEntTen> points;
  ChunkedTable<TEntMoji> texts;
  ChunkedTable<TEntSunpo> dimensions;
  ChunkedTable<TEntSolid> solids;
  ChunkedTable<TEntBlock> blocks;
  std::vector<EntityRef> order;

  std::size_t size() const { return order.size(); }
  bool operator==(const EntityTables&) const = default;
};

// A block definition with its members.
struct WorkspaceBlockDef : TEntBlockDef {
  EntityTables members;
  bool operator==(const WorkspaceBlockDef&) const = default;
};

// A workspace's table of T.
template <class T>
ChunkedTable<T>& TableOf(EntityTables& tables) {
  static_assert(std::variant_size_v<EntityRecord> == 7, "one table per kind");
  if constexpr (std::is_same_v<T, TEntSen>) {
    return tables.lines;
  } else if constexpr (std::is_same_v<T, TEntEnko>) {
    return tables.arcs;
  } else if constexpr (std::is_same_v<T, TEntTen>) {
    return tables.points;
  } else if constexpr (std::is_same_v<T, TEntMoji>) {
    return tables.texts;
  } else if constexpr (std::is_same_v<T, TEntSunpo>) {
    return tables.dimensions;
  } else if constexpr (std::is_same_v<T, TEntSolid>) {
    return tables.solids;
  } else {
    return tables.blocks;
  }
}

template <class T>
const ChunkedTable<T>& TableOf(const EntityTables& tables) {
  return TableOf<T>(const_cast<EntityTables&>(tables));
}

// Calls f(table) for each kind's table, in kind order.
template <class Tables, class F>
void ForEachTable(Tables& tables, F f) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (f(TableOf<std::variant_alternative_t<I, EntityRecord>>(tables)), ...);
  }
  (std::make_index_sequence<std::variant_size_v<EntityRecord>>());
}

// The record at `ref` of a workspace's tables; false when the order list points past its table.
bool CopyEntity(const EntityTables& tables, EntityRef ref, EntityRecord& record);

// A workspace's lists, class tags and counts included; with `rules` each record is written as
// its normalised copy, without them exactly as held.
void WriteEntityList(ByteWriter& out, int version, const WriteRules* rules, ArchiveState& state,
                     const EntityTables& tables);
void WriteBlockDefs(ByteWriter& out, int version, const WriteRules* rules, ArchiveState& state,
                    const std::vector<WorkspaceBlockDef>& defs);

// The main list and the block definitions of a workspace.
Status RemapEntities(const JwwConvSettings& table, int version, EntityTables& main,
                     std::vector<WorkspaceBlockDef>& block_defs);

// Every base of the main list and the block definitions (their own and their members') onto
// the layers the table names, by the file's group scales.
Status MoveLayers(const LayerPlan& layers, const GroupScales& scales, int version,
                  EntityTables& main, std::vector<WorkspaceBlockDef>& block_defs);

// Both of the above, in the converter's order: colours and line types, then layers.
Status RemapEntities(const JwwConvSettings& table, const LayerPlan& layers,
                     const GroupScales& scales, int version, EntityTables& main,
                     std::vector<WorkspaceBlockDef>& block_defs);

}  // namespace penmorph::jw
