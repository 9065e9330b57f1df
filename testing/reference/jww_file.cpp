#include "reference/jww_file.h"

#include <cstdio>
#include <cstring>

#include "common/file_system.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_records.h"
#include "formats/windows/entity_remap.h"
#include "formats/windows/layer_names.h"
#include "formats/windows/record_stream.h"
#include "reference/workspace_collector.h"

namespace penmorph::jw {

namespace {

// The workspace's visitor: the lists as any Windows-format file has them, and the header and
// images of a drawing.
class JwwCollector : public WorkspaceCollector {
 public:
  explicit JwwCollector(JwwWorkspace& workspace)
      : WorkspaceCollector(workspace.entities, workspace.block_defs), workspace_(workspace) {}

  void OnJwwHeader(THeader& header, SourceRange) override { workspace_.header = header; }

  bool OnImagesBegin() override {
    DeleteExtractedImages(workspace_.images);
    workspace_.images.clear();
    return workspace_.switches.read_images || workspace_.switches.extract_images;
  }
  void OnImageCount(std::int32_t count, SourceRange) override {
    workspace_.images.reserve(static_cast<std::size_t>(count));  // checked against the bytes
  }
  void OnImage(const TBindImageType& image, SourceRange, ByteReader& in) override {
    WorkspaceImage& kept = workspace_.images.emplace_back();
    kept.name = image.name;
    kept.size = image.size;
    if (workspace_.switches.extract_images && !image.name.empty() && image.size > 0) {
      ExtractImage(in, workspace_.image_folder, kept, workspace_.images.size() - 1);
    }
  }

 private:
  JwwWorkspace& workspace_;
};

}  // namespace

bool JwwProbe(const std::filesystem::path& file) {
  std::FILE* handle = OpenFile(file, "rb");
  if (handle == nullptr) {
    return false;
  }
  char magic[8] = {};
  bool complete = std::fread(magic, 1, sizeof magic, handle) == sizeof magic;
  std::fclose(handle);
  return complete && std::memcmp(magic, kJwwMagic.data(), sizeof magic) == 0;
}

Status JwwReadHeaderInfo(ByteReader& in, JwwWorkspace& workspace) {
  JwwClear(workspace);
  JwwCollector collector(workspace);
  return ReadJwwRecords(in, collector, JwwReadScope::kHeaderThroughSettings);
}

Status JwwReadHeaderInfo(const std::filesystem::path& file, JwwWorkspace& workspace) {
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return in.error();
  }
  return JwwReadHeaderInfo(in.value(), workspace);
}

Status JwwRead(ByteReader& in, JwwWorkspace& workspace) {
  JwwClear(workspace);
  JwwCollector collector(workspace);
  return ReadJwwRecords(in, collector);
}

Status JwwRead(const std::filesystem::path& file, JwwWorkspace& workspace) {
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return in.error();
  }
  return JwwRead(in.value(), workspace);
}

Status JwwRemap(JwwWorkspace& workspace, const JwwConvSettings& table, const LayerTable& layers) {
  if (Status header = RemapJwwHeader(workspace.header, table); !header.ok()) {
    return header;
  }
  const LayerPlan plan = PlanLayers(layers, workspace.header);  // by the names as read
  if (Status renamed = RenameLayers(workspace.header, layers); !renamed.ok()) {
    return renamed;
  }
  return RemapEntities(table, plan, ScalesOf(workspace.header.layer_groups),
                       workspace.header.version, workspace.entities, workspace.block_defs);
}

namespace {

Status WriteWorkspace(ByteWriter& out, const JwwWorkspace& workspace, bool normalise) {
  const int version = workspace.header.version;
  if (Status known = CheckJwwVersion(version); !known.ok()) {
    return known;
  }
  if (normalise) {
    THeader header = workspace.header;
    NormalizeJwwHeader(header);
    WriteJwwHeader(out, header);
  } else {
    WriteJwwHeader(out, workspace.header);
  }
  const WriteRules rules{version, nullptr};
  const WriteRules* applied = normalise ? &rules : nullptr;
  ArchiveState state;
  WriteEntityList(out, version, applied, state, workspace.entities);
  WriteBlockDefs(out, version, applied, state, workspace.block_defs);
  if (HasImageSection(version)) {
    WriteImageSection(out, workspace.entities, workspace.block_defs, workspace.images, normalise);
  }
  return out.Finish();
}

}  // namespace

Status JwwWrite(ByteWriter& out, const JwwWorkspace& workspace) {
  return WriteWorkspace(out, workspace, true);
}

Status JwwWriteAsRead(ByteWriter& out, const JwwWorkspace& workspace) {
  return WriteWorkspace(out, workspace, false);
}

void JwwClear(JwwWorkspace& workspace) {
  workspace.header = THeader{};
  workspace.entities = EntityTables{};
  workspace.block_defs.clear();
  workspace.block_defs.shrink_to_fit();
}

void JwwDeleteExtractedImages(JwwWorkspace& workspace) {
  DeleteExtractedImages(workspace.images);
}

}  // namespace penmorph::jw
