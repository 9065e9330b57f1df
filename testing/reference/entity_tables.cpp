#include "reference/entity_tables.h"

#include "formats/windows/entity_remap.h"

namespace penmorph::jw {

bool CopyEntity(const EntityTables& tables, EntityRef ref, EntityRecord& record) {
  if (!IsEntityKind(ref.kind)) {
    return false;
  }
  PrepareRecord(record, ref.kind);
  return std::visit(
      [&](auto& r) {
        const auto& table = TableOf<std::remove_reference_t<decltype(r)>>(tables);
        if (ref.index >= table.size()) {
          return false;
        }
        r = table[ref.index];
        return true;
      },
      record);
}

namespace {

void WriteRecords(ByteWriter& out, int version, const WriteRules* rules, ArchiveState& state,
                  const EntityTables& tables) {
  // The write rules alone: under empty remap rules no number is looked up in the table.
  const JwwConvSettings no_table;
  ColorRemapper no_remap(no_table);
  EntityRecord record;
  for (EntityRef ref : tables.order) {
    if (!CopyEntity(tables, ref, record)) {
      out.Fail(MakeError(ErrorKind::kMalformed, "the entity order list names a missing record"));
      return;
    }
    WriteClassTag(out, state, ref.kind, static_cast<std::uint16_t>(version));
    if (rules != nullptr) {
      ConvertRecord(record, no_remap, RemapRules{}, *rules, version);
    }
    WriteEntityRecord(out, version, record);
    state.Advance();
  }
}

}  // namespace

void WriteEntityList(ByteWriter& out, int version, const WriteRules* rules, ArchiveState& state,
                     const EntityTables& tables) {
  WriteArchiveCount(out, static_cast<std::uint32_t>(tables.size()));
  WriteRecords(out, version, rules, state, tables);
}

void WriteBlockDefs(ByteWriter& out, int version, const WriteRules* rules, ArchiveState& state,
                    const std::vector<WorkspaceBlockDef>& defs) {
  WriteArchiveCount(out, static_cast<std::uint32_t>(defs.size()));
  for (const WorkspaceBlockDef& held : defs) {
    WriteClassTag(out, state, EntityKind::kBlockDef, static_cast<std::uint16_t>(version));
    const auto members = static_cast<std::uint32_t>(held.members.size());
    if (rules != nullptr) {
      TEntBlockDef def = held;  // the head alone
      Normalize(def, *rules);
      WriteBlockDefHead(out, version, def, members);
    } else {
      WriteBlockDefHead(out, version, held, members);
    }
    state.Advance();
    WriteRecords(out, version, rules, state, held.members);
  }
}

Status RemapEntities(const JwwConvSettings& table, int version, EntityTables& main,
                     std::vector<WorkspaceBlockDef>& block_defs) {
  ColorRemapper remap(table);
  auto remap_tables = [&](const RemapRules& rules, EntityTables& tables) {
    ForEachTable(tables, [&](auto& table_of_kind) {
      for (auto& record : table_of_kind) {
        Remap(remap, rules, version, record);
      }
    });
  };
  remap_tables(MainListRules(table), main);
  const RemapRules member_rules = BlockMemberRules(table);
  for (WorkspaceBlockDef& def : block_defs) {
    remap_tables(member_rules, def.members);
  }
  return remap.status();
}

Status MoveLayers(const LayerPlan& layers, const GroupScales& scales, int version,
                  EntityTables& main, std::vector<WorkspaceBlockDef>& block_defs) {
  LayerMover mover(layers, scales);
  auto move_tables = [&](EntityTables& tables) {
    ForEachTable(tables, [&](auto& table_of_kind) {
      for (auto& record : table_of_kind) {
        MoveBases(mover, version, record);
      }
    });
  };
  move_tables(main);
  for (WorkspaceBlockDef& def : block_defs) {
    MoveBases(mover, version, static_cast<TEntBlockDef&>(def));
    move_tables(def.members);
  }
  return mover.status();
}

Status RemapEntities(const JwwConvSettings& table, const LayerPlan& layers,
                     const GroupScales& scales, int version, EntityTables& main,
                     std::vector<WorkspaceBlockDef>& block_defs) {
  if (Status remapped = RemapEntities(table, version, main, block_defs); !remapped.ok()) {
    return remapped;
  }
  return MoveLayers(layers, scales, version, main, block_defs);
}

}  // namespace penmorph::jw
