#pragma once

// JWK symbols (jw_cad, DOS format): a reduced JWC drawing with the same header-line
// conventions and record layouts. What differs from JWC, and only that, is spelled out here:
// - two header lines; line 1 has nine fields, the point count (field 2) before the text count;
// - no tables, layer data or names;
// - the records in the order lines, circles/arcs, points, texts, then the heap;
// - heap positions are plain offsets with the heap's size in the header, not segment addresses.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/result.h"
#include "formats/dos/dos_header.h"
#include "formats/dos/dos_records.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

inline constexpr std::string_view kJwkMagic = "jw_cad(c)sym........";
inline constexpr std::string_view kJwkLine1Types = "iiiifffif";

// The parsed header lines (the JWK THeader); no byte of the signature field is interpreted.
struct JwkHeader {
  static constexpr std::size_t kLineCount = 0;
  static constexpr std::size_t kArcCount = 1;
  static constexpr std::size_t kPointCount = 2;
  static constexpr std::size_t kTextCount = 3;
  static constexpr std::size_t kHeapSize = 7;

  HeaderLine0 line0;
  HeaderValues line1 = ZeroHeaderValues(kJwkLine1Types);

  std::int32_t Line1(std::size_t field) const { return std::get<std::int32_t>(line1[field]); }
  bool operator==(const JwkHeader&) const = default;
};

struct JwkWorkspace {
  JwkHeader header;
  std::array<std::string, 2> header_lines;  // as read, or as last built
  DosRecords records;
  bool operator==(const JwkWorkspace&) const = default;
};

// Empties the workspace, then reads and parses the two header lines.
Status JwkReadHeaderInfo(ByteReader& in, JwkWorkspace& workspace);

// Empties the workspace, then reads the whole symbol. A text's heap offset is the u16 at
// record offset 16; only in heaps larger than 64 KB, which need more, do bytes 18-19 count as
// its high half (jw_cad's own small symbols hold other values there).
Status JwkRead(ByteReader& in, JwkWorkspace& workspace);

// Pens and line types of the records; JWK has no text settings, so ChangeTextPen does nothing.
Status JwkRemap(JwkWorkspace& workspace, const JwcConvSettings& table);

// Rebuilds both header lines; the counts come from the record arrays.
Status JwkBuildHeaderLines(JwkWorkspace& workspace);

// Writes the whole symbol; the heap is rebuilt from the strings in record order and HeapSize
// with it. Bytes 16-19 of each text record are its heap offset as a 32-bit value.
Status JwkWrite(ByteWriter& out, JwkWorkspace& workspace);

void JwkClear(JwkWorkspace& workspace);

}  // namespace penmorph::jw
