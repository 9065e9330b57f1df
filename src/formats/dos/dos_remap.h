#pragma once

// Rewrites the pen and line-type bytes of JWC and JWK records through the DOS conversion table.
// A table entry too large for the byte it goes into fails the file, naming the entry; it never
// wraps around.

#include <cstdint>

#include "common/result.h"
#include "formats/dos/dos_records.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

// The pen or line type to write for a source byte.
Result<std::uint8_t> MapPenByte(const JwcConvSettings& table, std::uint8_t pen);
Result<std::uint8_t> MapLineTypeByte(const JwcConvSettings& table, std::uint8_t type);

// The pen and line type of every record whose kind carries them (dos_kinds.h): lines and
// circles/arcs both, points a pen; texts keep every field. A failure names the record.
Status RemapDosRecords(DosRecords& records, const JwcConvSettings& table);

}  // namespace penmorph::jw
