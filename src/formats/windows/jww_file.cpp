#include "formats/windows/jww_file.h"

#include <cstdio>
#include <cstring>

#include "common/file_system.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_records.h"
#include "formats/windows/entity_remap.h"

namespace penmorph::jw {

namespace {

bool HasImageSection(int version) {
  return version >= 700;
}

// Replaces one decimal digit (place 1, 10 or 100) of the dimension colours by its mapping.
void RemapDigit(ColorRemapper& remap, std::int32_t& value, std::int64_t place) {
  std::int32_t digit = static_cast<std::int32_t>((value / place) % 10);
  std::int32_t mapped = digit;
  remap.Color(mapped);
  std::int64_t result = value + (std::int64_t{mapped} - digit) * place;
  if (result < INT32_MIN || result > INT32_MAX) {
    remap.Fail(MakeError(ErrorKind::kRange, "JWW table entry " +
                                                EntryKey(JwwConvSettings::ColorEntry(digit)) +
                                                " makes the dimension colour setting too large"));
    return;
  }
  value = static_cast<std::int32_t>(result);
}

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
  ReadJwwHeader(in, workspace.header, true);
  return in.status();
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
  ReadJwwHeader(in, workspace.header);
  const int version = workspace.header.version;
  ArchiveState state;
  RecordReadContext context{version};
  std::int32_t count = ReadArchiveCount(in);
  ReadEntityList(in, context, state, count, workspace.entities);
  ReadBlockDefs(in, context, state, workspace.block_defs);
  if (in.ok() && HasImageSection(version)) {
    ReadImageSection(in, workspace.switches, workspace.image_folder, workspace.images);
  }
  return in.status();
}

Status JwwRead(const std::filesystem::path& file, JwwWorkspace& workspace) {
  auto in = ByteReader::OpenFile(file);
  if (!in.ok()) {
    return in.error();
  }
  return JwwRead(in.value(), workspace);
}

Status JwwRemap(JwwWorkspace& workspace, const JwwConvSettings& table) {
  THeader& header = workspace.header;
  ColorRemapper remap(table);
  if (table.IsOn(JwwConvSettings::kChangeTextSettingColor)) {
    for (TextKind& kind : header.text_kinds) {
      remap.Color(kind.color);
    }
  }
  if (table.IsOn(JwwConvSettings::kChangeDimSettingColor)) {
    for (std::int64_t place : {1, 10, 100}) {
      RemapDigit(remap, header.DimSettingColors, place);
    }
  }
  if (!remap.status().ok()) {
    return remap.status();
  }
  return RemapEntities(table, header.version, workspace.entities, workspace.block_defs);
}

namespace {

Status WriteWorkspace(ByteWriter& out, JwwWorkspace& workspace, bool as_read) {
  const int version = workspace.header.version;
  if (Status known = CheckJwwVersion(version); !known.ok()) {
    return known;
  }
  WriteJwwHeader(out, workspace.header, as_read);
  ArchiveState state;
  RecordWriteContext context{version, nullptr, as_read};
  WriteEntityList(out, context, state, workspace.entities);
  WriteBlockDefs(out, context, state, workspace.block_defs);
  if (HasImageSection(version)) {
    WriteImageSection(out, workspace.switches, workspace.entities, workspace.block_defs,
                      workspace.images, as_read);
  }
  return out.Finish();
}

}  // namespace

Status JwwWrite(ByteWriter& out, JwwWorkspace& workspace, std::int32_t version) {
  workspace.header.version = version;
  return WriteWorkspace(out, workspace, false);
}

Status JwwWriteAsRead(ByteWriter& out, JwwWorkspace& workspace) {
  return WriteWorkspace(out, workspace, true);
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
