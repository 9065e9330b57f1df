#include "dos_test_files.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace penmorph::testing {

namespace {

std::string Byte(std::uint8_t value) {
  return std::string(1, static_cast<char>(value));
}

std::string Padded(std::string_view text, std::size_t size) {
  std::string field(text.substr(0, size));
  field.resize(size, '\0');
  return field;
}

std::string Hex4(unsigned value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04X", value);
  return buffer;
}

// The canonical heap and the text records pointing into it, offsets counted from `first`.
struct LaidOutTexts {
  std::string heap;
  std::vector<unsigned> offsets;
};

LaidOutTexts LayOut(const std::vector<std::string>& texts, unsigned first) {
  LaidOutTexts laid;
  unsigned offset = first;
  for (const std::string& text : texts) {
    laid.offsets.push_back(offset);
    laid.heap += text + '\0';
    offset += static_cast<unsigned>(text.size()) + 1;
  }
  return laid;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string all;
  for (const std::string& part : parts) {
    all += part;
  }
  return all;
}

std::string DefaultNames() {
  std::string names = "ABCDEFGH";          // layer 0: all 8 bytes, no NUL
  names += Padded("L1", 8);                // layer 1
  names += std::string("X\0junk\0\0", 8);  // layer 2: bytes after an inner NUL
  names += std::string(253 * 8, '\0');
  names += Padded("G", 16);     // group 0: one letter and 15 NULs
  names += "0123456789ABCDEF";  // group 1: all 16 bytes
  names += std::string(14 * 16, '\0');
  return names;
}

}  // namespace

std::string Le16(std::uint16_t value) {
  return Byte(value & 0xFF) + Byte(value >> 8);
}

std::string Le32(std::uint32_t value) {
  return Le16(value & 0xFFFF) + Le16(value >> 16);
}

std::string F32(float value) {
  return Le32(std::bit_cast<std::uint32_t>(value));
}

std::string Pattern(std::size_t n, std::uint8_t seed) {
  std::string bytes;
  for (std::size_t i = 0; i < n; ++i) {
    bytes += static_cast<char>(static_cast<std::uint8_t>(seed + i));
  }
  return bytes;
}

std::string HeaderLine(std::string_view text) {
  if (text.size() > 199) {
    throw std::logic_error("test header line too long");
  }
  std::string line(text);
  line.resize(199, ' ');
  return line + '\n';
}

std::string HeaderLine0(std::string_view magic, std::string_view memo_a, std::string_view memo_b,
                        std::string_view tail) {
  std::string line = Padded(magic, 40) + Padded(memo_a, 32) + Padded(memo_b, 32);
  line += tail.empty() ? std::string(95, ' ') : Padded(tail, 95);
  return line + '\n';
}

std::string LineRecordBytes(std::uint8_t line_type, std::uint8_t pen, std::uint8_t seed) {
  return Pattern(16, seed)           // 0: data, carried
         + Byte(line_type)           // 16: line type
         + Byte(pen)                 // 17: pen
         + Pattern(4, seed + 0x80);  // 18: attributes, carried
}

std::string ArcRecordBytes(std::uint16_t scaled, std::int32_t a, std::int32_t b, std::int32_t c,
                           std::uint8_t line_type, std::uint8_t pen, std::uint8_t seed) {
  return Pattern(12, seed)                      // 0: three 4-byte values, carried
         + Le16(scaled)                         // 12: u16, / 10000
         + Le32(static_cast<std::uint32_t>(a))  // 14: 16.16 fixed point
         + Le32(static_cast<std::uint32_t>(b))  // 18
         + Le32(static_cast<std::uint32_t>(c))  // 22
         + Byte(line_type)                      // 26: line type
         + Byte(pen)                            // 27: pen
         + Pattern(4, seed + 0x80);             // 28: attributes, carried
}

std::string PointRecordBytes(std::uint8_t pen, std::uint8_t seed) {
  return Pattern(8, seed)            // 0: data, carried
         + Byte(0xEE)                // 8: attribute byte, carried
         + Byte(pen)                 // 9: pen
         + Pattern(2, seed + 0x80);  // 10: attributes, carried
}

std::string TextRecordBytes(std::uint16_t low, std::uint16_t high, std::uint8_t seed) {
  return Pattern(16, seed)           // 0: data, carried
         + Le16(low)                 // 16: offset (JWC) / heap offset (JWK)
         + Le16(high)                // 18: segment (JWC) / high half or anything (JWK)
         + Pattern(4, seed + 0x80);  // 20: attributes, carried
}

std::string JwcFile::Bytes() const {
  auto hex = [this](std::size_t from) {
    return static_cast<unsigned>(std::strtoul(heap_start.substr(from, 4).c_str(), nullptr, 16));
  };
  const unsigned start = hex(0) * 16 + hex(5);
  LaidOutTexts laid = LayOut(texts, start % 16);
  const std::string line1_counts =
      !counts.empty()
          ? counts
          : std::to_string(lines.size()) + "," + std::to_string(arcs.size()) + "," +
                std::to_string(texts.size()) + "," + std::to_string(points.size()) + ",";
  const std::string end =
      heap_end.empty()
          ? heap_start.substr(0, 5) + Hex4(start % 16 + static_cast<unsigned>(laid.heap.size()))
          : heap_end;
  std::string file = HeaderLine0(magic, memo_a, memo_b, line0_tail);
  file += HeaderLine(line1_counts + line1_rest + '\0');
  file += HeaderLine(line2 + '\0');
  file += HeaderLine(heap_start + "," + end + "," + line3_rest + '\0');

  file += Pattern(101 * 4, 0x01);  // Table101 column A
  file += Pattern(101 * 4, 0x41);  // column B
  file += Pattern(101, 0x81);      // column C
  for (std::int16_t pen : pen_nos) {
    file += Le16(static_cast<std::uint16_t>(pen));  // TextSettings PenNo
  }
  file += Pattern(3 * 11 * 2, 0x21);  // TextSettings columns 2-4
  if (!group_values.empty()) {
    file += Joined(group_values);
  } else if (FloatGroups()) {
    file += F32(1.5f) + F32(-2.0f) + Le32(0x7FC00001) /* quiet NaN */ +
            Le32(0x7F800001) /* signalling NaN */ + std::string(12 * 4, '\0');
  } else {
    file += Le16(0) + Le16(1) + Le16(65535) + Le16(32768) + std::string(12 * 2, '\0');
  }
  file += Pattern(16 + 256 + 16 + 256 + 16, 0x61);  // group and layer bytes

  file += Joined(lines) + Joined(arcs);
  for (std::size_t i = 0; i < texts.size() && text_records.empty(); ++i) {
    file += TextRecordBytes(static_cast<std::uint16_t>(laid.offsets[i]),
                            static_cast<std::uint16_t>(start / 16),
                            static_cast<std::uint8_t>(0x70 + i));
  }
  file += Joined(text_records);
  file += heap.value_or(laid.heap);
  file += Joined(points);
  file += names.empty() ? DefaultNames() : names;
  return file + trailing;
}

std::string JwkFile::Bytes() const {
  LaidOutTexts laid = LayOut(texts, 0);
  const std::string size = heap_size.empty() ? std::to_string(laid.heap.size()) : heap_size;
  std::string file = HeaderLine0(magic, memo_a, memo_b, line0_tail);
  const std::string line1_counts =
      !counts.empty()
          ? counts
          : std::to_string(lines.size()) + "," + std::to_string(arcs.size()) + "," +
                std::to_string(points.size()) + "," + std::to_string(texts.size()) + ",";
  file += HeaderLine(line1_counts + floats_4_to_6 + "," + size + "," + float_8 + '\0');
  file += Joined(lines) + Joined(arcs) + Joined(points);
  for (std::size_t i = 0; i < texts.size() && text_records.empty(); ++i) {
    file += TextRecordBytes(static_cast<std::uint16_t>(laid.offsets[i]), 0,
                            static_cast<std::uint8_t>(0x70 + i));
  }
  file += Joined(text_records);
  file += heap.value_or(laid.heap);
  return file + trailing;
}

std::vector<std::string> LinesOfEveryPenAndLineType() {
  std::vector<std::string> records;
  for (int type = 0; type < 20; ++type) {
    for (int pen = 0; pen < 8; ++pen) {
      records.push_back(
          LineRecordBytes(static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(pen)));
    }
  }
  return records;
}

std::vector<std::uint8_t> AsVector(const std::string& bytes) {
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace penmorph::testing
