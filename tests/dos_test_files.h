#pragma once

// Builds JWC and JWK files byte by byte for the tests, without the code under test: every
// header number is literal text. The default files are "canonical": their numbers are written
// the way the writer writes them and their heap holds each text's string once, in record
// order, so reading and writing one back must give the same bytes.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace penmorph::testing {

std::string Le16(std::uint16_t value);
std::string Le32(std::uint32_t value);
std::string F32(float value);
// n bytes counting up from `seed`: carried bytes that differ from their neighbours.
std::string Pattern(std::size_t n, std::uint8_t seed);

// A header line: its text, spaces up to 199 bytes, a line feed.
std::string HeaderLine(std::string_view text);
// Line 0: the signature field and the memo halves, each NUL-padded, then `tail` (bytes
// 104-198, spaces when empty) and a line feed.
std::string HeaderLine0(std::string_view magic, std::string_view memo_a, std::string_view memo_b,
                        std::string_view tail = {});

std::string LineRecordBytes(std::uint8_t line_type, std::uint8_t pen, std::uint8_t seed = 0x10);
std::string ArcRecordBytes(std::uint16_t scaled, std::int32_t a, std::int32_t b, std::int32_t c,
                           std::uint8_t line_type, std::uint8_t pen, std::uint8_t seed = 0x30);
std::string PointRecordBytes(std::uint8_t pen, std::uint8_t seed = 0x50);
std::string TextRecordBytes(std::uint16_t low, std::uint16_t high, std::uint8_t seed = 0x70);

struct JwcFile {
  std::string magic = "jw_cad(c)data.......";  // bytes 0-39 of line 0 (NUL-padded)
  std::string memo_a = "memo A";
  std::string memo_b = "memo B";
  std::string line0_tail;  // bytes 104-198 of line 0
  std::string counts;      // line 1 fields 0-3 with their commas; empty: from the records
  // Line 1 after the four counts (fields 4-31), without the NUL the builder adds.
  std::string line1_rest =
      "5,6,7,8,9,1.5,-10,3,0,0,0.25,-0.5,100,999999986991104,11,12,13,14,15,16,17,"
      "0.100000001490116,2,3,4,5,518,-2147483648";
  std::string line2 =
      "1,2.5,-3.75,0.125,1,2,3,4,5,6,7.5,8,9,10,11,12,13,14,15,0.5,0,0,0,0,0,0,0,"
      "1.15292150460685E18,";
  std::string heap_start = "6000:0000";
  std::string heap_end;  // empty: computed from the texts, in heap_start's segment
  std::string line3_rest = "9.99999974737875E-6,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,2,20,21,";
  std::array<std::int16_t, 11> pen_nos = {1, 2, 3, 4, 5, 6, 0, 7, 255, -1, 300};
  std::vector<std::string> group_values;  // empty: a default per `magic` byte 22
  std::vector<std::string> lines, arcs, points;
  std::vector<std::string> texts;         // strings; records and heap are laid out canonically
  std::optional<std::string> heap;        // instead of the canonical heap ("" for none)
  std::vector<std::string> text_records;  // used instead of the canonical records when set
  std::string names;                      // empty: a default with an 8-byte and a 1-byte name
  std::string trailing;                   // bytes after the last section

  bool FloatGroups() const { return magic.size() > 22 && magic[22] == 'f'; }
  std::string Bytes() const;
};

struct JwkFile {
  std::string magic = "jw_cad(c)sym........";
  std::string memo_a = "sym A";
  std::string memo_b = "sym B";
  std::string line0_tail;
  std::string counts;  // line 1 fields 0-3 with their commas; empty: from the records
  std::string floats_4_to_6 = "4,0.5,0.0488889999687672";
  std::string heap_size;  // empty: the canonical heap's size
  std::string float_8 = "100";
  std::vector<std::string> lines, arcs, points;
  std::vector<std::string> texts;
  std::optional<std::string> heap;
  std::vector<std::string> text_records;
  std::string trailing;

  std::string Bytes() const;
};

// Line records of every pen 0-7 with every line type 0-19, for remapping tests.
std::vector<std::string> LinesOfEveryPenAndLineType();

std::vector<std::uint8_t> AsVector(const std::string& bytes);

}  // namespace penmorph::testing
