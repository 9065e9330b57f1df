#pragma once

// JWW drawings as a whole: header, entity list, block definitions and embedded images, read
// into one workspace, remapped there and written back in the version they came in. The
// conversion does the same while it streams; its output is checked against this one's.

#include <filesystem>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/jww_header.h"
#include "reference/entity_tables.h"
#include "reference/jww_image_files.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

// One drawing at a time. The image list and the image folder outlive JwwClear: the extracted
// copies are removed by JwwDeleteExtractedImages, the folder when the workspace goes.
struct JwwWorkspace {
  THeader header;
  EntityTables entities;
  std::vector<WorkspaceBlockDef> block_defs;
  std::vector<WorkspaceImage> images;
  ImageSwitches switches;
  ImageFolder image_folder;
};

// True exactly when the file's first 8 bytes are "JwwData.".
bool JwwProbe(const std::filesystem::path& file);

// The header up to its settings block, as far as the memo reads; the workspace is emptied first.
Status JwwReadHeaderInfo(ByteReader& in, JwwWorkspace& workspace);
Status JwwReadHeaderInfo(const std::filesystem::path& file, JwwWorkspace& workspace);

Status JwwRead(ByteReader& in, JwwWorkspace& workspace);
Status JwwRead(const std::filesystem::path& file, JwwWorkspace& workspace);

// Colours and line types through the table, entities and header alike; entities onto the
// layers `layers` names, and its new names into the header.
Status JwwRemap(JwwWorkspace& workspace, const JwwConvSettings& table,
                const LayerTable& layers = LayerTable{});

// Writes the workspace as a JWW file of its version, by the write rules.
Status JwwWrite(ByteWriter& out, const JwwWorkspace& workspace);

// Writes every value as it was read, no rule applied: a check that a read kept every byte.
Status JwwWriteAsRead(ByteWriter& out, const JwwWorkspace& workspace);

// Empties everything but the image list.
void JwwClear(JwwWorkspace& workspace);
void JwwDeleteExtractedImages(JwwWorkspace& workspace);

}  // namespace penmorph::jw
