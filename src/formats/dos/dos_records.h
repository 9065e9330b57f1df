#pragma once

// The four fixed-size record kinds of JWC drawings and JWK symbols, read and written side by
// side. Lines and points are held as their file bytes; circles/arcs hold four numbers in their
// working form (f32); texts hold their string, resolved out of the text heap.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/result.h"

namespace penmorph::jw {

struct LineRecord {
  static constexpr std::size_t kSize = 22;
  static constexpr std::size_t kLineTypeOffset = 16;
  static constexpr std::size_t kPenOffset = 17;
  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t& line_type() { return bytes[kLineTypeOffset]; }
  std::uint8_t& pen() { return bytes[kPenOffset]; }
  bool operator==(const LineRecord&) const = default;
};

struct PointRecord {
  static constexpr std::size_t kSize = 12;
  static constexpr std::size_t kPenOffset = 9;  // byte 8 is carried, not a line type
  std::array<std::uint8_t, kSize> bytes{};

  std::uint8_t& pen() { return bytes[kPenOffset]; }
  bool operator==(const PointRecord&) const = default;
};

// Circles and arcs. In the file, offset 12 is a u16 scaled by 10000 and offsets 14, 18 and 22
// are 16.16 fixed-point i32 values; all four are held as f32. An f32 keeps only 24 significant
// bits, so a fixed-point value above 2^24 (an angle past 256 degrees, say) would lose its low
// bits: the record also keeps the i32 it was read from, and the writer puts that back while the
// f32 still says the same.
struct ArcRecord {
  static constexpr std::size_t kSize = 32;
  std::array<std::uint8_t, 12> head{};
  float scaled = 0.0f;                       // offset 12
  std::array<float, 3> fixed{};              // offsets 14, 18, 22
  std::array<std::int32_t, 3> fixed_read{};  // the i32 values the f32 ones came from
  std::uint8_t line_type = 0;                // offset 26
  std::uint8_t pen = 0;                      // offset 27
  std::array<std::uint8_t, 4> tail{};        // offset 28

  // Sets a fixed-point value as the reader does.
  void SetFixedFromFile(std::size_t i, std::int32_t value);
  bool operator==(const ArcRecord&) const = default;
};

// A text record (24 bytes in the file) with its string. The file's address words at 16 and 18
// are folded into `heap_address` by the format: segment:offset in JWC, a plain offset in JWK.
struct TMoji2 {
  static constexpr std::size_t kSize = 24;
  std::array<std::uint8_t, 16> data{};
  std::int32_t heap_address = 0;
  std::array<std::uint8_t, 4> attributes{};
  std::string text;
  bool operator==(const TMoji2&) const = default;
};

struct AddressWords {
  std::uint16_t low = 0;   // bytes 16-17
  std::uint16_t high = 0;  // bytes 18-19
};

// The records of one drawing or symbol, each kind in file order.
struct DosRecords {
  std::vector<LineRecord> lines;
  std::vector<ArcRecord> arcs;
  std::vector<TMoji2> texts;
  std::vector<PointRecord> points;
  bool operator==(const DosRecords&) const = default;
};

// The arc conversions: file form to working form and back (halves to even). Going back fails,
// naming the record offset, when the value does not fit the file field.
float ScaledFromFile(std::uint16_t value);
float FixedFromFile(std::int32_t value);
Result<std::uint16_t> ScaledToFile(float value);
Result<std::int32_t> FixedToFile(float value, std::size_t offset);

// Nearest integer, halves to even, whatever the floating-point environment says.
double RoundHalfEven(double value);

void ReadLineRecord(ByteReader& in, LineRecord& record);
void WriteLineRecord(ByteWriter& out, const LineRecord& record);
void ReadPointRecord(ByteReader& in, PointRecord& record);
void WritePointRecord(ByteWriter& out, const PointRecord& record);
void ReadArcRecord(ByteReader& in, ArcRecord& record);
// Fails, naming the field, when a value does not fit its file field.
Status WriteArcRecord(ByteWriter& out, const ArcRecord& record);
// Reads the text record; the address words are returned for the format to fold.
AddressWords ReadTextRecord(ByteReader& in, TMoji2& record);
void WriteTextRecord(ByteWriter& out, const TMoji2& record, AddressWords address);

// "line record 3 of 22"
std::string RecordName(std::string_view kind, std::size_t index, std::size_t count);

// The error with `what` ("line record 3 of 22") put before its message.
Error WithContext(std::string_view what, const Error& error);

// Reads `count` records of one kind, after checking that they fit in what is left of the data
// (a negative or oversized count fails before anything is allocated). `kind` names them in
// failure reasons ("line record"); `count_name` names the header field that gave the count.
template <class Record, class ReadOne>
Status ReadRecords(ByteReader& in, std::int32_t count, std::string_view kind,
                   std::string_view count_name, std::vector<Record>& records, ReadOne read_one) {
  if (count < 0) {
    return MakeError(ErrorKind::kMalformed, "the header gives a negative " +
                                                std::string(count_name) + " (" +
                                                std::to_string(count) + ")");
  }
  if (!in.Expect(static_cast<std::uint64_t>(count), Record::kSize, std::string(kind) + "s")) {
    return in.status();
  }
  records.resize(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < records.size(); ++i) {
    read_one(in, records[i]);
    if (!in.ok()) {
      return WithContext(RecordName(kind, i, records.size()), in.error());
    }
  }
  return Status::Ok();
}

// Each record kind's section, read after checking its count and written as held; failures
// name the record.
Status ReadLineRecords(ByteReader& in, std::int32_t count, std::vector<LineRecord>& lines);
Status ReadArcRecords(ByteReader& in, std::int32_t count, std::vector<ArcRecord>& arcs);
Status ReadPointRecords(ByteReader& in, std::int32_t count, std::vector<PointRecord>& points);
// `fold` turns a record's address words into its heap_address.
Status ReadTextRecords(ByteReader& in, std::int32_t count, std::vector<TMoji2>& texts,
                       std::int32_t (*fold)(AddressWords));
void WriteLineRecords(ByteWriter& out, const std::vector<LineRecord>& lines);
Status WriteArcRecords(ByteWriter& out, const std::vector<ArcRecord>& arcs);
void WritePointRecords(ByteWriter& out, const std::vector<PointRecord>& points);

}  // namespace penmorph::jw
