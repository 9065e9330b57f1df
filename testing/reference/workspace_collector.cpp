#include "reference/workspace_collector.h"

namespace penmorph::jw {

void WorkspaceCollector::OnEntityCount(std::int32_t count, SourceRange) {
  entities_.order.reserve(static_cast<std::size_t>(count));  // checked against the bytes left
}

void WorkspaceCollector::OnEntity(const ClassTag&, EntityRecord& record, SourceRange) {
  const EntityKind kind = KindOf(record);
  std::visit(
      [&](auto& r) {
        auto& table = TableOf<std::remove_reference_t<decltype(r)>>(*list_);
        list_->order.push_back({kind, static_cast<std::uint32_t>(table.size())});
        table.emplace_back(std::move(r));
      },
      record);
}

void WorkspaceCollector::OnBlockDefCount(std::int32_t count, SourceRange) {
  block_defs_.reserve(static_cast<std::size_t>(count));
}

void WorkspaceCollector::OnBlockDef(const ClassTag&, TEntBlockDef& def, std::int32_t member_count,
                                    SourceRange) {
  WorkspaceBlockDef& kept = block_defs_.emplace_back();
  static_cast<TEntBlockDef&>(kept) = def;
  kept.members.order.reserve(static_cast<std::size_t>(member_count));
  list_ = &kept.members;
}

}  // namespace penmorph::jw
