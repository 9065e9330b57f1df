#include "formats/dos/dos_remap.h"

#include <string>

#include "formats/dos/dos_kinds.h"

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
Status Rewrite(std::uint8_t& byte, Map map, const JwcConvSettings& table, std::string_view kind,
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
  Status status;
  ForEachDosKind([&](const auto& kind) {
    auto& list = records.*kind.records;
    for (std::size_t i = 0; i < list.size() && status.ok(); ++i) {
      if (std::uint8_t* pen = kind.pen(list[i])) {
        status = Rewrite(*pen, MapPenByte, table, kind.name, i, list.size());
      }
      if (std::uint8_t* type = kind.line_type(list[i]); type != nullptr && status.ok()) {
        status = Rewrite(*type, MapLineTypeByte, table, kind.name, i, list.size());
      }
    }
  });
  return status;
}

}  // namespace penmorph::jw
