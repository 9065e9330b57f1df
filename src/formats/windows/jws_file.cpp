#include "formats/windows/jws_file.h"

#include <cstdio>
#include <cstring>

#include "common/file_system.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_records.h"
#include "formats/windows/entity_remap.h"
#include "formats/windows/jww_images.h"

namespace penmorph::jw {

namespace {

constexpr std::size_t kFillerSize = 193;
constexpr std::size_t kScaleOffset = 8;  // of the scale inside a layer group's values

void ReadHeader(ByteReader& in, JwsHeader& h) {
  in.read_bytes(h.magic);
  in.skip(kFillerSize);  // what stood there is not written back
  h.version = in.read_i32le();
  in.read_bytes(h.values_ab);
  for (TLayerGroup& group : h.layer_groups) {
    in.read_bytes(std::span(group.values).subspan(kScaleOffset, 8));
  }
  in.read_bytes(h.integers);
  in.read_bytes(h.values);
}

void WriteHeader(ByteWriter& out, const JwsHeader& h, std::int32_t version) {
  out.write_bytes(h.magic);
  out.write_bytes(std::string(kFillerSize, '.'));
  out.write_i32le(version);
  out.write_bytes(h.values_ab);
  for (const TLayerGroup& group : h.layer_groups) {
    out.write_bytes(std::span(group.values).subspan(kScaleOffset, 8));
  }
  out.write_bytes(h.integers);
  out.write_bytes(h.values);
}

Status WriteWorkspace(ByteWriter& out, const JwsWorkspace& workspace, std::int32_t version,
                      bool as_read) {
  WriteHeader(out, workspace.header, version);
  ArchiveState state;
  RecordWriteContext context{version, as_read ? nullptr : &RewriteJwsImageReference, as_read};
  WriteEntityList(out, context, state, workspace.entities);
  WriteBlockDefs(out, context, state, workspace.block_defs);
  return out.Finish();
}

}  // namespace

std::int32_t NormalizedJwsVersion(std::int32_t version) {
  if (version <= 230) {
    return 230;
  }
  return version == 300 ? 351 : version;
}

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
  ReadHeader(in, workspace.header);
  // Any version is read; the records follow the file's own version.
  RecordReadContext context{workspace.header.version};
  ArchiveState state;
  std::int32_t count = ReadArchiveCount(in);
  ReadEntityList(in, context, state, count, workspace.entities);
  ReadBlockDefs(in, context, state, workspace.block_defs);
  return in.status();
}

Status JwsRead(const std::filesystem::path& file, JwsWorkspace& workspace) {
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return in.error();
  }
  return JwsRead(in.value(), workspace);
}

Status JwsRemap(JwsWorkspace& workspace, const JwwConvSettings& table) {
  return RemapEntities(table, workspace.header.version, workspace.entities, workspace.block_defs);
}

Status JwsWrite(ByteWriter& out, const JwsWorkspace& workspace, std::int32_t version) {
  return WriteWorkspace(out, workspace, NormalizedJwsVersion(version), false);
}

Status JwsWriteAsRead(ByteWriter& out, const JwsWorkspace& workspace) {
  return WriteWorkspace(out, workspace, workspace.header.version, true);
}

void JwsClear(JwsWorkspace& workspace) {
  workspace.header = JwsHeader{};
  workspace.entities = EntityTables{};
  workspace.block_defs.clear();
  workspace.block_defs.shrink_to_fit();
}

ArchiveString RewriteJwsImageReference(const ArchiveString& cleaned) {
  constexpr std::size_t kKept = 4;  // "^@BM"
  if (!StartsWithAscii(cleaned, kImageRefPrefix)) {
    return cleaned;
  }
  ArchiveString rewritten = Substring(cleaned, 0, kKept);
  rewritten.bytes += Substring(cleaned, kImageRefPrefix.size(), std::string::npos).bytes;
  return rewritten;
}

}  // namespace penmorph::jw
