#include "formats/dos/jwc_file.h"

#include <bit>
#include <cmath>

#include "common/text.h"
#include "formats/dos/dos_heap.h"
#include "formats/dos/dos_kinds.h"
#include "formats/dos/dos_numbers.h"
#include "formats/dos/dos_remap.h"

namespace penmorph::jw {

namespace {

constexpr std::int32_t kMaxHeapStart = 0xFFFFF;  // a 16-bit segment times 16 plus an offset
constexpr std::int64_t kMaxSegmentOffset = 0xFFFF;

// The fixed sections between the header lines and the records go through one description of
// their order, used with a reading and a writing visitor, so the two cannot disagree.
struct FieldReader {
  ByteReader& in;
  void operator()(std::int32_t& value) { value = in.read_i32le(); }
  void operator()(std::int16_t& value) { value = static_cast<std::int16_t>(in.read_u16le()); }
  void operator()(std::uint8_t& value) { value = in.read_u8(); }
};

struct FieldWriter {
  ByteWriter& out;
  void operator()(std::int32_t value) { out.write_i32le(value); }
  void operator()(std::int16_t value) { out.write_u16le(static_cast<std::uint16_t>(value)); }
  void operator()(std::uint8_t value) { out.write_u8(value); }
};

// Table101 and the text settings, stored column by column.
template <class Fields, class Workspace>
void TableSections(Fields field, Workspace& workspace) {
  for (auto& entry : workspace.table101) {
    field(entry.a);
  }
  for (auto& entry : workspace.table101) {
    field(entry.b);
  }
  for (auto& entry : workspace.table101) {
    field(entry.c);
  }
  for (auto& setting : workspace.text_settings) {
    field(setting.pen_no);
  }
  for (std::size_t column = 0; column < 3; ++column) {
    for (auto& setting : workspace.text_settings) {
      field(setting.columns[column]);
    }
  }
}

// The group and layer bytes that follow the group values.
template <class Fields, class Workspace>
void GroupAndLayerBytes(Fields field, Workspace& workspace) {
  for (auto& group : workspace.groups) {
    field(group.byte1);
  }
  for (auto& layer : workspace.layers) {
    field(layer.byte1);
  }
  for (auto& group : workspace.groups) {
    field(group.byte2);
  }
  for (auto& layer : workspace.layers) {
    field(layer.byte2);
  }
  for (auto& group : workspace.groups) {
    field(group.byte3);
  }
}

struct HeapAddresses {
  std::uint32_t segment = 0;
  std::uint32_t start_offset = 0;
  std::uint32_t end_offset = 0;
};

// Both heap addresses are written in the start's segment; each part must fit its four
// hexadecimal digits, or the reader would take other addresses than the ones meant.
Result<HeapAddresses> SplitHeapAddresses(std::int32_t start, std::int64_t end) {
  if (start < 0 || start > kMaxHeapStart) {
    return MakeError(ErrorKind::kRange, "the text heap starts at address " + HexNumber(start) +
                                            ", outside the segment addresses 0x0 to 0xFFFFF");
  }
  HeapAddresses addresses;
  addresses.segment = static_cast<std::uint32_t>(start / 16);
  addresses.start_offset = static_cast<std::uint32_t>(start % 16);
  std::int64_t end_offset = end - std::int64_t{addresses.segment} * 16;
  if (end_offset < 0 || end_offset > kMaxSegmentOffset) {
    return MakeError(ErrorKind::kRange, "the text heap ends at offset " + HexNumber(end_offset) +
                                            " of its segment, outside 0x0 to 0xFFFF");
  }
  addresses.end_offset = static_cast<std::uint32_t>(end_offset);
  return addresses;
}

// Each text's string must start and end within the 64 KB its segment can address.
Status CheckTextOffsets(std::int32_t heap_start, const std::vector<TMoji2>& texts) {
  if (heap_start < 0 || heap_start > kMaxHeapStart) {
    return SplitHeapAddresses(heap_start, heap_start).status();
  }
  std::int64_t offset = heap_start % 16;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::int64_t end = offset + static_cast<std::int64_t>(OutputText(texts[i].text).size()) + 1;
    if (end > kMaxSegmentOffset) {
      return MakeError(ErrorKind::kRange, RecordName(kDosTexts.name, i, texts.size()) +
                                              ": its string would reach heap offset " +
                                              std::to_string(end) +
                                              ", past the 65535 bytes a heap segment addresses");
    }
    offset = end;
  }
  return Status::Ok();
}

void ReadGroupValues(ByteReader& in, JwcWorkspace& workspace) {
  const bool as_float = workspace.header.FloatGroupValues();
  for (LayerGroup& group : workspace.groups) {
    group.group_value = as_float ? in.read_f32le() : static_cast<float>(in.read_u16le());
  }
}

Status WriteGroupValues(ByteWriter& out, const JwcWorkspace& workspace) {
  const bool as_float = workspace.header.FloatGroupValues();
  for (std::size_t i = 0; i < workspace.groups.size(); ++i) {
    float value = workspace.groups[i].group_value;
    if (as_float) {
      out.write_f32le(value);
      continue;
    }
    double rounded = std::isfinite(value) ? RoundHalfEven(value) : -1.0;
    if (!(rounded >= 0.0 && rounded <= 65535.0)) {
      return MakeError(ErrorKind::kRange, "layer group " + std::to_string(i) + ": its value (" +
                                              (std::isfinite(value) ? FormatFloat(value)
                                                                    : std::string("not a number")) +
                                              ") does not fit the 16-bit group value field");
    }
    out.write_u16le(static_cast<std::uint16_t>(rounded));
  }
  return Status::Ok();
}

void ReadNames(ByteReader& in, JwcWorkspace& workspace) {
  auto name = [&in](std::size_t size) {
    std::string bytes = in.read_string(size);
    bytes.erase(bytes.find_last_not_of('\0') + 1);
    return bytes;
  };
  for (Layer& layer : workspace.layers) {
    layer.name = name(JwcWorkspace::kLayerNameSize);
  }
  for (LayerGroup& group : workspace.groups) {
    group.name = name(JwcWorkspace::kGroupNameSize);
  }
}

Status CheckNames(const JwcWorkspace& workspace) {
  auto check = [](const std::string& name, std::size_t size, const char* kind, std::size_t i) {
    if (name.size() <= size) {
      return Status::Ok();
    }
    return Status(
        MakeError(ErrorKind::kRange, std::string(kind) + " " + std::to_string(i) +
                                         ": its name holds " + std::to_string(name.size()) +
                                         " bytes, more than its " + std::to_string(size)));
  };
  for (std::size_t i = 0; i < workspace.layers.size(); ++i) {
    if (Status s = check(workspace.layers[i].name, JwcWorkspace::kLayerNameSize, "layer", i);
        !s.ok()) {
      return s;
    }
  }
  for (std::size_t i = 0; i < workspace.groups.size(); ++i) {
    if (Status s = check(workspace.groups[i].name, JwcWorkspace::kGroupNameSize, "layer group", i);
        !s.ok()) {
      return s;
    }
  }
  return Status::Ok();
}

void WriteNames(ByteWriter& out, const JwcWorkspace& workspace) {
  auto name = [&out](const std::string& bytes, std::size_t size) {
    out.write_bytes(bytes);
    for (std::size_t i = bytes.size(); i < size; ++i) {
      out.write_u8(0);
    }
  };
  for (const Layer& layer : workspace.layers) {
    name(layer.name, JwcWorkspace::kLayerNameSize);
  }
  for (const LayerGroup& group : workspace.groups) {
    name(group.name, JwcWorkspace::kGroupNameSize);
  }
}

// A text record's address words: segment and offset.
std::int32_t SegmentAndOffset(AddressWords address) {
  return address.high * 16 + address.low;
}

}  // namespace

bool LayerGroup::operator==(const LayerGroup& other) const {
  return std::bit_cast<std::uint32_t>(group_value) ==
             std::bit_cast<std::uint32_t>(other.group_value) &&
         byte1 == other.byte1 && byte2 == other.byte2 && byte3 == other.byte3 && name == other.name;
}

void JwcParseHeaderLines(JwcWorkspace& workspace) {
  JwcHeader& header = workspace.header;
  const auto& lines = workspace.header_lines;
  header.line0 = ParseHeaderLine0(lines[0]);
  header.line1 = ParseHeaderFields(lines[1], kJwcLine1Types);
  if (header.Line1(JwcHeader::kField30) == 0) {
    header.line1[JwcHeader::kField30] = JwcHeader::kField30Default;
  }
  header.line2 = ParseHeaderFields(lines[2], kJwcLine2Types);
  header.line3 = ParseHeaderFields(lines[3], kJwcLine3Types);
}

Status JwcReadHeaderInfo(ByteReader& in, JwcWorkspace& workspace) {
  JwcClear(workspace);
  if (Status lines = ReadHeaderLines(in, workspace.header_lines); !lines.ok()) {
    return lines;
  }
  JwcParseHeaderLines(workspace);
  return Status::Ok();
}

Status JwcRead(ByteReader& in, JwcWorkspace& workspace) {
  if (Status header = JwcReadHeaderInfo(in, workspace); !header.ok()) {
    return header;
  }
  const JwcHeader& header = workspace.header;
  TableSections(FieldReader{in}, workspace);
  ReadGroupValues(in, workspace);
  GroupAndLayerBytes(FieldReader{in}, workspace);
  if (!in.ok()) {
    return WithContext("the tables after the header lines", in.error());
  }

  DosRecords& records = workspace.records;
  if (Status s = ReadLineRecords(in, header.Line1(JwcHeader::kLineCount), records.lines); !s.ok()) {
    return s;
  }
  if (Status s = ReadArcRecords(in, header.Line1(JwcHeader::kArcCount), records.arcs); !s.ok()) {
    return s;
  }
  const std::uint64_t texts_offset = in.offset();
  if (Status s =
          ReadTextRecords(in, header.Line1(JwcHeader::kTextCount), records.texts, SegmentAndOffset);
      !s.ok()) {
    return s;
  }
  if (Status s = ReadHeap(in, std::int64_t{header.HeapEnd()} - header.HeapStart(),
                          header.HeapStart(), records.texts, texts_offset);
      !s.ok()) {
    return s;
  }
  if (Status s = ReadPointRecords(in, header.Line1(JwcHeader::kPointCount), records.points);
      !s.ok()) {
    return s;
  }
  ReadNames(in, workspace);
  if (!in.ok()) {
    return WithContext("the layer and group names", in.error());
  }
  return Status::Ok();
}

Status JwcRemap(JwcWorkspace& workspace, const JwcConvSettings& table) {
  if (Status s = RemapDosRecords(workspace.records, table); !s.ok()) {
    return s;
  }
  if (!table.ChangeTextPen()) {
    return Status::Ok();
  }
  auto& settings = workspace.text_settings;
  for (std::size_t i = 0; i < settings.size(); ++i) {
    auto pen = static_cast<std::uint16_t>(settings[i].pen_no);
    std::string where = "text setting " + std::to_string(i);
    if (pen > 255) {
      return MakeError(ErrorKind::kRange, where + " holds pen number " + std::to_string(pen) +
                                              ", outside the 0 to 255 that can be remapped");
    }
    Result<std::uint8_t> mapped = MapPenByte(table, static_cast<std::uint8_t>(pen));
    if (!mapped.ok()) {
      return WithContext(where, mapped.error());
    }
    settings[i].pen_no = mapped.value();
  }
  return Status::Ok();
}

Status JwcBuildHeaderLines(JwcWorkspace& workspace) {
  JwcHeader& header = workspace.header;
  const DosRecords& records = workspace.records;
  for (auto [field, count] : {std::pair{JwcHeader::kLineCount, records.lines.size()},
                              std::pair{JwcHeader::kArcCount, records.arcs.size()},
                              std::pair{JwcHeader::kTextCount, records.texts.size()},
                              std::pair{JwcHeader::kPointCount, records.points.size()}}) {
    if (Status s = SetCountField(header.line1, field, count); !s.ok()) {
      return s;
    }
  }
  if (header.Line1(JwcHeader::kField30) == 0) {
    header.line1[JwcHeader::kField30] = JwcHeader::kField30Default;
  }
  Result<HeapAddresses> heap = SplitHeapAddresses(header.HeapStart(), header.HeapEnd());
  if (!heap.ok()) {
    return heap.error();
  }

  Result<std::string> line0 = BuildHeaderLine0(header.line0);
  if (!line0.ok()) {
    return line0.error();
  }
  std::string line1;
  if (Status s = AppendHeaderFields(line1, header.line1, kJwcLine1Types, 0, false, "header line 1");
      !s.ok()) {
    return s;
  }
  std::string line2;
  if (Status s = AppendHeaderFields(line2, header.line2, kJwcLine2Types, 0, true, "header line 2");
      !s.ok()) {
    return s;
  }
  std::string line3 = FormatSegmentAddress(heap->segment, heap->start_offset) + "," +
                      FormatSegmentAddress(heap->segment, heap->end_offset) + ",";
  if (Status s = AppendHeaderFields(line3, header.line3, kJwcLine3Types, 2, true, "header line 3");
      !s.ok()) {
    return s;
  }

  std::array<std::string, 4> lines;
  std::array<std::string, 4> texts = {std::move(line0.value()), line1 + '\0', line2 + '\0',
                                      line3 + '\0'};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Result<std::string> line =
        CompleteHeaderLine(std::move(texts[i]), "header line " + std::to_string(i));
    if (!line.ok()) {
      return line.error();
    }
    lines[i] = std::move(line.value());
  }
  workspace.header_lines = std::move(lines);
  return Status::Ok();
}

Status JwcWrite(ByteWriter& out, JwcWorkspace& workspace) {
  JwcHeader& header = workspace.header;
  DosRecords& records = workspace.records;
  Result<std::uint64_t> heap_size = OutputHeapSize(records.texts);
  if (!heap_size.ok()) {
    return heap_size.error();
  }
  if (Status s = CheckTextOffsets(header.HeapStart(), records.texts); !s.ok()) {
    return s;
  }
  if (Status s = CheckNames(workspace); !s.ok()) {
    return s;
  }
  // The offsets check keeps the heap under 64 KB, so the end address fits an i32.
  header.line3[JwcHeader::kHeapEnd] =
      static_cast<std::int32_t>(header.HeapStart() + static_cast<std::int64_t>(heap_size.value()));
  if (Status s = JwcBuildHeaderLines(workspace); !s.ok()) {
    return s;
  }

  for (const std::string& line : workspace.header_lines) {
    out.write_bytes(std::string_view(line).substr(0, kHeaderLineSize));
  }
  TableSections(FieldWriter{out}, std::as_const(workspace));
  if (Status s = WriteGroupValues(out, workspace); !s.ok()) {
    return s;
  }
  GroupAndLayerBytes(FieldWriter{out}, std::as_const(workspace));

  WriteLineRecords(out, records.lines);
  if (Status s = WriteArcRecords(out, records.arcs); !s.ok()) {
    return s;
  }
  const auto segment = static_cast<std::uint16_t>(header.HeapStart() / 16);
  std::uint32_t offset = static_cast<std::uint32_t>(header.HeapStart() % 16);
  for (TMoji2& text : records.texts) {
    WriteTextRecord(out, text, {static_cast<std::uint16_t>(offset), segment});
    text.text = OutputText(text.text);
    text.heap_address = segment * 16 + static_cast<std::int32_t>(offset);
    offset += static_cast<std::uint32_t>(text.text.size()) + 1;
  }
  if (heap_size.value() > 0) {
    WriteHeap(out, records.texts);
  }
  WritePointRecords(out, records.points);
  WriteNames(out, workspace);
  return out.Finish();
}

void JwcClear(JwcWorkspace& workspace) {
  workspace = JwcWorkspace{};
}

}  // namespace penmorph::jw
