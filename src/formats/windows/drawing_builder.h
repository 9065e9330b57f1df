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

// Block definitions that insert each other many times over could make a small file ask for
// more than any memory holds, so what is placed from them is bounded: at most this many
// primitives, or eight for every record the file holds when that is more (a text counts once
// more for every 32 bytes of its string). Far above what real drawings place.
inline constexpr std::size_t kMinPlacementBudget = 2'000'000;
inline constexpr std::size_t kPlacementsPerRecord = 8;

}  // namespace penmorph::jw
