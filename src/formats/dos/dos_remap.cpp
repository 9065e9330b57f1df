#include "formats/dos/dos_remap.h"

#include <string>

namespace penmorph::jw {

namespace {

Result<std::uint8_t> FitByte(std::int32_t mapped, int entry, const char* what,
                             std::uint8_t source) {
  if (mapped < 0 || mapped > 255) {
    // Only an entry can give such a number: a source outside the known ranges becomes 1.
    return MakeError(ErrorKind::kRange, "table entry " + EntryKey(entry) + " maps " + what + " " +
                                            std::to_string(source) + " to " +
                                            std::to_string(mapped) + ", which does not fit a " +
                                            what + " byte");
  }
  return static_cast<std::uint8_t>(mapped);
}

// Rewrites one byte of record `index` in place.
template <class Map>
Status Rewrite(std::uint8_t& byte, Map map, const JwcConvSettings& table, const char* kind,
               std::size_t index, std::size_t count) {
  Result<std::uint8_t> mapped = map(table, byte);
  if (!mapped.ok()) {
    return WithContext(RecordName(kind, index, count), mapped.error());
  }
  byte = mapped.value();
  return Status::Ok();
}

}  // namespace

Result<std::uint8_t> MapPenByte(const JwcConvSettings& table, std::uint8_t pen) {
  return FitByte(MapJwcPen(table, pen), JwcConvSettings::PenEntry(pen), "pen", pen);
}

Result<std::uint8_t> MapLineTypeByte(const JwcConvSettings& table, std::uint8_t type) {
  return FitByte(MapJwcLineType(table, type), JwcConvSettings::LineTypeEntry(type), "line type",
                 type);
}

Status RemapDosRecords(DosRecords& records, const JwcConvSettings& table) {
  const std::size_t lines = records.lines.size();
  for (std::size_t i = 0; i < lines; ++i) {
    LineRecord& line = records.lines[i];
    if (Status s = Rewrite(line.pen(), MapPenByte, table, "line record", i, lines); !s.ok()) {
      return s;
    }
    if (Status s = Rewrite(line.line_type(), MapLineTypeByte, table, "line record", i, lines);
        !s.ok()) {
      return s;
    }
  }
  const std::size_t arcs = records.arcs.size();
  for (std::size_t i = 0; i < arcs; ++i) {
    ArcRecord& arc = records.arcs[i];
    if (Status s = Rewrite(arc.pen, MapPenByte, table, "circle/arc record", i, arcs); !s.ok()) {
      return s;
    }
    if (Status s = Rewrite(arc.line_type, MapLineTypeByte, table, "circle/arc record", i, arcs);
        !s.ok()) {
      return s;
    }
  }
  const std::size_t points = records.points.size();
  for (std::size_t i = 0; i < points; ++i) {
    if (Status s = Rewrite(records.points[i].pen(), MapPenByte, table, "point record", i, points);
        !s.ok()) {
      return s;
    }
  }
  return Status::Ok();
}

}  // namespace penmorph::jw
