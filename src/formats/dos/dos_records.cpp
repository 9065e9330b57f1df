#include "formats/dos/dos_records.h"

#include <bit>
#include <cmath>

#include "formats/dos/dos_kinds.h"
#include "formats/dos/dos_numbers.h"

namespace penmorph::jw {

namespace {

template <std::size_t N>
void ReadArray(ByteReader& in, std::array<std::uint8_t, N>& bytes) {
  in.read_bytes(bytes);
}

Error DoesNotFit(std::size_t offset, float value, std::string_view what) {
  return MakeError(ErrorKind::kRange,
                   "the value at offset " + std::to_string(offset) + " (" +
                       (std::isfinite(value) ? FormatFloat(value) : std::string("not a number")) +
                       ") does not fit " + std::string(what));
}

}  // namespace

double RoundHalfEven(double value) {
  double floor = std::floor(value);
  double fraction = value - floor;  // exact for every value with a fraction
  if (fraction > 0.5) {
    return floor + 1;
  }
  if (fraction < 0.5) {
    return floor;
  }
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1;
}

float ScaledFromFile(std::uint16_t value) {
  return static_cast<float>(value) / 10000.0f;
}

float FixedFromFile(std::int32_t value) {
  return static_cast<float>(value) / 65536.0f;
}

Result<std::uint16_t> ScaledToFile(float value) {
  float product = value * 10000.0f;
  double rounded = std::isfinite(product) ? RoundHalfEven(product) : -1.0;
  if (!(rounded >= 0.0 && rounded <= 65535.0)) {
    return DoesNotFit(12, value, "its 16-bit field");
  }
  return static_cast<std::uint16_t>(rounded);
}

Result<std::int32_t> FixedToFile(float value, std::size_t offset) {
  float product = value * 65536.0f;
  double rounded = std::isfinite(product) ? RoundHalfEven(product) : 4294967296.0;
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
    return DoesNotFit(offset, value, "a 32-bit fixed-point field");
  }
  return static_cast<std::int32_t>(rounded);
}

void ReadLineRecord(ByteReader& in, LineRecord& record) {
  ReadArray(in, record.bytes);
}

void WriteLineRecord(ByteWriter& out, const LineRecord& record) {
  out.write_bytes(record.bytes);
}

void ReadPointRecord(ByteReader& in, PointRecord& record) {
  ReadArray(in, record.bytes);
}

void WritePointRecord(ByteWriter& out, const PointRecord& record) {
  out.write_bytes(record.bytes);
}

void ArcRecord::SetFixedFromFile(std::size_t i, std::int32_t value) {
  fixed_read[i] = value;
  fixed[i] = FixedFromFile(value);
}

void ReadArcRecord(ByteReader& in, ArcRecord& record) {
  ReadArray(in, record.head);
  record.scaled = ScaledFromFile(in.read_u16le());
  for (std::size_t i = 0; i < record.fixed.size(); ++i) {
    record.SetFixedFromFile(i, in.read_i32le());
  }
  record.line_type = in.read_u8();
  record.pen = in.read_u8();
  ReadArray(in, record.tail);
}

Status WriteArcRecord(ByteWriter& out, const ArcRecord& record) {
  Result<std::uint16_t> scaled = ScaledToFile(record.scaled);
  if (!scaled.ok()) {
    return scaled.error();
  }
  std::array<std::int32_t, 3> fixed{};
  for (std::size_t i = 0; i < fixed.size(); ++i) {
    if (std::bit_cast<std::uint32_t>(record.fixed[i]) ==
        std::bit_cast<std::uint32_t>(FixedFromFile(record.fixed_read[i]))) {
      fixed[i] = record.fixed_read[i];
      continue;
    }
    Result<std::int32_t> value = FixedToFile(record.fixed[i], 14 + 4 * i);
    if (!value.ok()) {
      return value.error();
    }
    fixed[i] = value.value();
  }
  out.write_bytes(record.head);
  out.write_u16le(scaled.value());
  for (std::int32_t value : fixed) {
    out.write_i32le(value);
  }
  out.write_u8(record.line_type);
  out.write_u8(record.pen);
  out.write_bytes(record.tail);
  return Status::Ok();
}

AddressWords ReadTextRecord(ByteReader& in, TMoji2& record) {
  ReadArray(in, record.data);
  AddressWords address;
  address.low = in.read_u16le();
  address.high = in.read_u16le();
  ReadArray(in, record.attributes);
  return address;
}

void WriteTextRecord(ByteWriter& out, const TMoji2& record, AddressWords address) {
  out.write_bytes(record.data);
  out.write_u16le(address.low);
  out.write_u16le(address.high);
  out.write_bytes(record.attributes);
}

std::string RecordName(std::string_view kind, std::size_t index, std::size_t count) {
  return std::string(kind) + " " + std::to_string(index + 1) + " of " + std::to_string(count);
}

Error WithContext(std::string_view what, const Error& error) {
  return MakeError(error.kind, std::string(what) + ": " + error.message, error.offset);
}

Status ReadLineRecords(ByteReader& in, std::int32_t count, std::vector<LineRecord>& lines) {
  return ReadRecords(in, count, kDosLines.name, kDosLines.count_name, lines, ReadLineRecord);
}

Status ReadArcRecords(ByteReader& in, std::int32_t count, std::vector<ArcRecord>& arcs) {
  return ReadRecords(in, count, kDosArcs.name, kDosArcs.count_name, arcs, ReadArcRecord);
}

Status ReadPointRecords(ByteReader& in, std::int32_t count, std::vector<PointRecord>& points) {
  return ReadRecords(in, count, kDosPoints.name, kDosPoints.count_name, points, ReadPointRecord);
}

Status ReadTextRecords(ByteReader& in, std::int32_t count, std::vector<TMoji2>& texts,
                       std::int32_t (*fold)(AddressWords)) {
  return ReadRecords(in, count, kDosTexts.name, kDosTexts.count_name, texts,
                     [fold](ByteReader& from, TMoji2& text) {
                       text.heap_address = fold(ReadTextRecord(from, text));
                     });
}

void WriteLineRecords(ByteWriter& out, const std::vector<LineRecord>& lines) {
  for (const LineRecord& line : lines) {
    WriteLineRecord(out, line);
  }
}

Status WriteArcRecords(ByteWriter& out, const std::vector<ArcRecord>& arcs) {
  for (std::size_t i = 0; i < arcs.size(); ++i) {
    if (Status s = WriteArcRecord(out, arcs[i]); !s.ok()) {
      return WithContext(RecordName(kDosArcs.name, i, arcs.size()), s.error());
    }
  }
  return Status::Ok();
}

void WritePointRecords(ByteWriter& out, const std::vector<PointRecord>& points) {
  for (const PointRecord& point : points) {
    WritePointRecord(out, point);
  }
}

}  // namespace penmorph::jw
