#pragma once

// The visitor that builds a workspace: every record of the stream goes into the tables of its
// list, in its order. JWW and JWS workspaces are filled by it (jww_file, jws_file).

#include <vector>

#include "formats/windows/record_stream.h"
#include "reference/entity_tables.h"

namespace penmorph::jw {

class WorkspaceCollector : public RecordVisitor {
 public:
  WorkspaceCollector(EntityTables& entities, std::vector<WorkspaceBlockDef>& block_defs)
      : entities_(entities), block_defs_(block_defs), list_(&entities) {}

  void OnEntityCount(std::int32_t count, SourceRange range) override;
  void OnEntity(const ClassTag& tag, EntityRecord& record, SourceRange range) override;
  void OnBlockDefCount(std::int32_t count, SourceRange range) override;
  void OnBlockDef(const ClassTag& tag, TEntBlockDef& def, std::int32_t member_count,
                  SourceRange range) override;
  void OnBlockDefEnd() override { list_ = &entities_; }

 private:
  EntityTables& entities_;
  std::vector<WorkspaceBlockDef>& block_defs_;
  EntityTables* list_;  // the list records go to now
};

}  // namespace penmorph::jw
