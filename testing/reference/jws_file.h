#pragma once

// JWS symbol files: a fixed 452-byte header, then the same entity list and block definitions
// as a JWW drawing. The version is written back normalised, and texts that refer to images
// lose the "%temp%" of their reference, since a symbol embeds no images. Read whole into a
// workspace, like jww_file.h, for checking the streaming conversion against.

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/jws_header.h"
#include "reference/entity_tables.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

struct JwsWorkspace {
  JwsHeader header;
  EntityTables entities;
  std::vector<WorkspaceBlockDef> block_defs;
};

// True when the file's first 7 bytes are "JwsData".
bool JwsProbe(const std::filesystem::path& file);

Status JwsRead(ByteReader& in, JwsWorkspace& workspace);
Status JwsRead(const std::filesystem::path& file, JwsWorkspace& workspace);

// The entity remaps of the Windows formats; the two header options have nothing to act on.
// Entities go onto the layers `layers` names; a symbol keeps no names to rename.
Status JwsRemap(JwsWorkspace& workspace, const JwwConvSettings& table,
                const LayerTable& layers = LayerTable{});

// Writes the workspace as a JWS file of its normalised version, by the write rules.
Status JwsWrite(ByteWriter& out, const JwsWorkspace& workspace);
// Every value as read (the version too), for checking that a read kept every byte; the filler
// is not kept and is written as dots.
Status JwsWriteAsRead(ByteWriter& out, const JwsWorkspace& workspace);

void JwsClear(JwsWorkspace& workspace);

}  // namespace penmorph::jw
