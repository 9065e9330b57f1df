#pragma once

// A JWW drawing or JWS symbol as preview geometry, built by a visitor of the one reader while it
// reads: every entity of the main list, and the members of each block definition placed, scaled
// and rotated wherever an insertion (of the main list, or nested in another definition) puts
// them.

#include "common/byte_reader.h"
#include "common/result.h"
#include "preview/drawing.h"

namespace penmorph::jw {

Result<preview::Drawing> DrawJwwRecords(ByteReader& in);
Result<preview::Drawing> DrawJwsRecords(ByteReader& in);

// At most this many primitives are placed from block definitions: definitions that insert each
// other many times over could otherwise ask for more than any memory holds.
inline constexpr std::size_t kMaxPlacedPrimitives = 20'000'000;

}  // namespace penmorph::jw
