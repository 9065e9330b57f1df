#pragma once

// JWS symbol files: a fixed 452-byte header, then the same entity list and block definitions
// as a JWW drawing. The version is written back normalised, and texts that refer to images
// lose the "%temp%" of their reference, since a symbol embeds no images.

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/jwtype.h"
#include "formats/windows/jww_header.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

inline constexpr std::string_view kJwsMagic = "JwsData";
inline constexpr std::size_t kJwsHeaderSize = 452;

struct JwsHeader {
  Bytes<7> magic{};
  std::int32_t version = 0;
  Bytes<16> values_ab{};                       // header values A and B, two f64
  std::array<TLayerGroup, 16> layer_groups{};  // only the f64 scale (bytes 8-15) is held
  Bytes<24> integers{};                        // six i32
  Bytes<80> values{};                          // ten f64
  bool operator==(const JwsHeader&) const = default;
};

struct JwsWorkspace {
  JwsHeader header;
  EntityTables entities;
  std::vector<TEntBlockDef> block_defs;
};

// The version a JWS file is written in: 230 at the least, and 300 as 351.
std::int32_t NormalizedJwsVersion(std::int32_t version);

// True when the file's first 7 bytes are "JwsData".
bool JwsProbe(const std::filesystem::path& file);

Status JwsRead(ByteReader& in, JwsWorkspace& workspace);
Status JwsRead(const std::filesystem::path& file, JwsWorkspace& workspace);

// The entity remaps of the Windows formats; the two header options have nothing to act on.
Status JwsRemap(JwsWorkspace& workspace, const JwwConvSettings& table);

// Writes the workspace as a JWS file of the normalised `version` (the version read).
Status JwsWrite(ByteWriter& out, const JwsWorkspace& workspace, std::int32_t version);
// Every value as read (the version too), for checking that a read kept every byte; the filler
// is not kept and is written as dots.
Status JwsWriteAsRead(ByteWriter& out, const JwsWorkspace& workspace);

void JwsClear(JwsWorkspace& workspace);

// A text's written form in a symbol: "^@BM%temp%name,..." becomes "^@BM" + "name,...".
ArchiveString RewriteJwsImageReference(const ArchiveString& cleaned);

}  // namespace penmorph::jw
