#pragma once

// The fixed 452-byte header of a JWS symbol.

#include <array>
#include <cstdint>
#include <string_view>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/jww_header.h"

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

// The 193 bytes after the magic are not kept: they are written as dots.
void ReadJwsHeader(ByteReader& in, JwsHeader& header);
void WriteJwsHeader(ByteWriter& out, const JwsHeader& header);

// The version a JWS file is written in: 230 at the least, and 300 as 351.
std::int32_t NormalizedJwsVersion(std::int32_t version);

}  // namespace penmorph::jw
