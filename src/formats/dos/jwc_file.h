#pragma once

// JWC drawings (jw_cad, DOS format): the working storage for one drawing and the operations
// over it. A JWC file is four 200-byte text header lines, fixed tables of settings, layer and
// group bytes, the line, circle/arc and text records, the text heap, the point records and the
// layer and group names. The program rewrites pens and line types only; every other byte is
// carried through the working storage and written back.

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

inline constexpr std::string_view kJwcMagic = "jw_cad(c)data.......";

// Field types of header lines 1 to 3 ('i' integer, 'f' float, 'a' segment address).
inline constexpr std::string_view kJwcLine1Types = "iiiiiiiiifiiiiffffiiiiiiifffffii";
inline constexpr std::string_view kJwcLine2Types = "ffffiiiiiiffffffiiifffffffff";
inline constexpr std::string_view kJwcLine3Types = "aaffffffffffffffffffii";

// The parsed header lines (THeader).
struct JwcHeader {
  // Fields of line 1 and line 3 that the program interprets.
  static constexpr std::size_t kLineCount = 0;
  static constexpr std::size_t kArcCount = 1;
  static constexpr std::size_t kTextCount = 2;
  static constexpr std::size_t kPointCount = 3;
  static constexpr std::size_t kPaperSize = 11;
  static constexpr std::size_t kField30 = 30;  // 0 is read (and written) as 518
  static constexpr std::int32_t kField30Default = 518;
  static constexpr std::size_t kHeapStart = 0;
  static constexpr std::size_t kHeapEnd = 1;

  HeaderLine0 line0;
  HeaderValues line1 = ZeroHeaderValues(kJwcLine1Types);
  HeaderValues line2 = ZeroHeaderValues(kJwcLine2Types);
  HeaderValues line3 = ZeroHeaderValues(kJwcLine3Types);

  // Byte 22 of the signature field "f": the layer-group values are f32, otherwise u16.
  bool FloatGroupValues() const { return line0.magic.size() > 22 && line0.magic[22] == 'f'; }
  std::int32_t Line1(std::size_t field) const { return std::get<std::int32_t>(line1[field]); }
  std::int32_t HeapStart() const { return std::get<std::int32_t>(line3[kHeapStart]); }
  std::int32_t HeapEnd() const { return std::get<std::int32_t>(line3[kHeapEnd]); }
  bool operator==(const JwcHeader&) const = default;
};

struct Table101Entry {
  std::int32_t a = 0;
  std::int32_t b = 0;
  std::uint8_t c = 0;
  bool operator==(const Table101Entry&) const = default;
};

struct TextSetting {
  std::int16_t pen_no = 0;                // `PenNo`, rewritten when ChangeTextPen is on
  std::array<std::int16_t, 3> columns{};  // carried
  bool operator==(const TextSetting&) const = default;
};

// Names are held without their trailing NULs (the writer pads them again), so bytes after an
// inner NUL come back as they were.
struct LayerGroup {
  float group_value = 0.0f;  // f32, or a u16 held exactly
  std::uint8_t byte1 = 0;
  std::uint8_t byte2 = 0;
  std::uint8_t byte3 = 0;
  std::string name;  // up to 16 bytes
  // Values compare by their bits: a NaN read from a file must still equal itself.
  bool operator==(const LayerGroup& other) const;
};

struct Layer {
  std::uint8_t byte1 = 0;
  std::uint8_t byte2 = 0;
  std::string name;  // up to 8 bytes
  bool operator==(const Layer&) const = default;
};

struct JwcWorkspace {
  static constexpr std::size_t kTable101Size = 101;
  static constexpr std::size_t kTextSettingCount = 11;
  static constexpr std::size_t kGroupCount = 16;
  static constexpr std::size_t kLayerCount = 256;
  static constexpr std::size_t kGroupNameSize = 16;
  static constexpr std::size_t kLayerNameSize = 8;

  JwcHeader header;
  std::array<std::string, 4> header_lines;  // as read, or as last built
  std::array<Table101Entry, kTable101Size> table101{};
  std::array<TextSetting, kTextSettingCount> text_settings{};
  std::array<LayerGroup, kGroupCount> groups{};
  std::array<Layer, kLayerCount> layers{};
  DosRecords records;
  bool operator==(const JwcWorkspace&) const = default;
};

// Empties the workspace, then reads and parses the four header lines. The signature is not
// compared.
Status JwcReadHeaderInfo(ByteReader& in, JwcWorkspace& workspace);

// Empties the workspace, then reads the whole drawing. The signature is not compared.
Status JwcRead(ByteReader& in, JwcWorkspace& workspace);

// Parses `header_lines` into `header`.
void JwcParseHeaderLines(JwcWorkspace& workspace);

// Rewrites the pens and line types of the records and, when ChangeTextPen is on, the PenNo of
// the 11 text settings.
Status JwcRemap(JwcWorkspace& workspace, const JwcConvSettings& table);

// Rebuilds the four header lines from the header; the record counts are taken from the
// record arrays.
Status JwcBuildHeaderLines(JwcWorkspace& workspace);

// Writes the whole drawing. The heap is rebuilt from the texts' strings in record order and
// HeapEnd with it; texts opening with "^@BM%temp%" hold their shortened string afterwards.
Status JwcWrite(ByteWriter& out, JwcWorkspace& workspace);

void JwcClear(JwcWorkspace& workspace);

}  // namespace penmorph::jw
