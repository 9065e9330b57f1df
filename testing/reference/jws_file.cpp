#include "reference/jws_file.h"

#include <cstdio>
#include <cstring>

#include "common/file_system.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_records.h"
#include "formats/windows/entity_remap.h"
#include "formats/windows/jww_images.h"
#include "formats/windows/record_stream.h"
#include "reference/workspace_collector.h"

namespace penmorph::jw {

namespace {

class JwsCollector : public WorkspaceCollector {
 public:
  explicit JwsCollector(JwsWorkspace& workspace)
      : WorkspaceCollector(workspace.entities, workspace.block_defs), workspace_(workspace) {}
  void OnJwsHeader(JwsHeader& header, SourceRange) override { workspace_.header = header; }

 private:
  JwsWorkspace& workspace_;
};

Status WriteWorkspace(ByteWriter& out, const JwsWorkspace& workspace, bool normalise) {
  JwsHeader header = workspace.header;
  if (normalise) {
    header.version = NormalizedJwsVersion(header.version);
  }
  WriteJwsHeader(out, header);
  const int version = header.version;
  const WriteRules rules{version, &RewriteJwsImageReference};
  const WriteRules* applied = normalise ? &rules : nullptr;
  ArchiveState state;
  WriteEntityList(out, version, applied, state, workspace.entities);
  WriteBlockDefs(out, version, applied, state, workspace.block_defs);
  return out.Finish();
}

}  // namespace

bool JwsProbe(const std::filesystem::path& file) {
  std::FILE* handle = OpenFile(file, "rb");
  if (handle == nullptr) {
    return false;
  }
  char magic[7] = {};
  bool complete = std::fread(magic, 1, sizeof magic, handle) == sizeof magic;
  std::fclose(handle);
  return complete && std::memcmp(magic, kJwsMagic.data(), sizeof magic) == 0;
}

Status JwsRead(ByteReader& in, JwsWorkspace& workspace) {
  JwsClear(workspace);
  JwsCollector collector(workspace);
  return ReadJwsRecords(in, collector);
}

Status JwsRead(const std::filesystem::path& file, JwsWorkspace& workspace) {
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return in.error();
  }
  return JwsRead(in.value(), workspace);
}

Status JwsRemap(JwsWorkspace& workspace, const JwwConvSettings& table, const LayerTable& layers) {
  return RemapEntities(table, PlanLayers(layers), ScalesOf(workspace.header.layer_groups),
                       workspace.header.version, workspace.entities, workspace.block_defs);
}

Status JwsWrite(ByteWriter& out, const JwsWorkspace& workspace) {
  return WriteWorkspace(out, workspace, true);
}

Status JwsWriteAsRead(ByteWriter& out, const JwsWorkspace& workspace) {
  return WriteWorkspace(out, workspace, false);
}

void JwsClear(JwsWorkspace& workspace) {
  workspace.header = JwsHeader{};
  workspace.entities = EntityTables{};
  workspace.block_defs.clear();
  workspace.block_defs.shrink_to_fit();
}

}  // namespace penmorph::jw
