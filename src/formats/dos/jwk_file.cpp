#include "formats/dos/jwk_file.h"

#include <limits>

#include "formats/dos/dos_heap.h"
#include "formats/dos/dos_remap.h"

namespace penmorph::jw {

namespace {

constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kSixteenBitHeap = 65536;  // the most a u16 offset can fully address

std::int32_t NarrowOffset(AddressWords address) {
  return address.low;
}

// Past the i32 range is past any heap: the heap check fails such a text.
std::int32_t WideOffset(AddressWords address) {
  std::int64_t offset = address.low + (std::int64_t{address.high} << 16);
  return static_cast<std::int32_t>(offset > kMaxInt32 ? kMaxInt32 : offset);
}

}  // namespace

Status JwkReadHeaderInfo(ByteReader& in, JwkWorkspace& workspace) {
  JwkClear(workspace);
  if (Status lines = ReadHeaderLines(in, workspace.header_lines); !lines.ok()) {
    return lines;
  }
  workspace.header.line0 = ParseHeaderLine0(workspace.header_lines[0]);
  workspace.header.line1 = ParseHeaderFields(workspace.header_lines[1], kJwkLine1Types);
  return Status::Ok();
}

Status JwkRead(ByteReader& in, JwkWorkspace& workspace) {
  if (Status header = JwkReadHeaderInfo(in, workspace); !header.ok()) {
    return header;
  }
  const JwkHeader& header = workspace.header;
  DosRecords& records = workspace.records;
  if (Status s = ReadLineRecords(in, header.Line1(JwkHeader::kLineCount), records.lines); !s.ok()) {
    return s;
  }
  if (Status s = ReadArcRecords(in, header.Line1(JwkHeader::kArcCount), records.arcs); !s.ok()) {
    return s;
  }
  if (Status s = ReadPointRecords(in, header.Line1(JwkHeader::kPointCount), records.points);
      !s.ok()) {
    return s;
  }
  const std::int32_t heap_size = header.Line1(JwkHeader::kHeapSize);
  const std::uint64_t texts_offset = in.offset();
  if (Status s = ReadTextRecords(in, header.Line1(JwkHeader::kTextCount), records.texts,
                                 heap_size > kSixteenBitHeap ? WideOffset : NarrowOffset);
      !s.ok()) {
    return s;
  }
  return ReadHeap(in, heap_size, 0, records.texts, texts_offset);
}

Status JwkRemap(JwkWorkspace& workspace, const JwcConvSettings& table) {
  return RemapDosRecords(workspace.records, table);
}

Status JwkBuildHeaderLines(JwkWorkspace& workspace) {
  JwkHeader& header = workspace.header;
  const DosRecords& records = workspace.records;
  for (auto [field, count] : {std::pair{JwkHeader::kLineCount, records.lines.size()},
                              std::pair{JwkHeader::kArcCount, records.arcs.size()},
                              std::pair{JwkHeader::kPointCount, records.points.size()},
                              std::pair{JwkHeader::kTextCount, records.texts.size()}}) {
    if (Status s = SetCountField(header.line1, field, count); !s.ok()) {
      return s;
    }
  }
  Result<std::string> line0 = BuildHeaderLine0(header.line0);
  if (!line0.ok()) {
    return line0.error();
  }
  std::string line1;
  if (Status s = AppendHeaderFields(line1, header.line1, kJwkLine1Types, 0, false, "header line 1");
      !s.ok()) {
    return s;
  }
  Result<std::string> complete0 = CompleteHeaderLine(std::move(line0.value()), "header line 0");
  Result<std::string> complete1 = CompleteHeaderLine(line1 + '\0', "header line 1");
  if (!complete0.ok() || !complete1.ok()) {
    return complete0.ok() ? complete1.error() : complete0.error();
  }
  workspace.header_lines = {std::move(complete0.value()), std::move(complete1.value())};
  return Status::Ok();
}

Status JwkWrite(ByteWriter& out, JwkWorkspace& workspace) {
  DosRecords& records = workspace.records;
  Result<std::uint64_t> heap_size = OutputHeapSize(records.texts);
  if (!heap_size.ok()) {
    return heap_size.error();
  }
  if (heap_size.value() > static_cast<std::uint64_t>(kMaxInt32)) {
    return MakeError(ErrorKind::kRange, "the text heap of " + std::to_string(heap_size.value()) +
                                            " bytes is too large for its size field");
  }
  workspace.header.line1[JwkHeader::kHeapSize] = static_cast<std::int32_t>(heap_size.value());
  if (Status s = JwkBuildHeaderLines(workspace); !s.ok()) {
    return s;
  }

  for (const std::string& line : workspace.header_lines) {
    out.write_bytes(std::string_view(line).substr(0, kHeaderLineSize));
  }
  WriteLineRecords(out, records.lines);
  if (Status s = WriteArcRecords(out, records.arcs); !s.ok()) {
    return s;
  }
  WritePointRecords(out, records.points);
  std::uint32_t offset = 0;  // below 2^31: the heap size was checked
  for (TMoji2& text : records.texts) {
    WriteTextRecord(
        out, text,
        {static_cast<std::uint16_t>(offset & 0xFFFF), static_cast<std::uint16_t>(offset >> 16)});
    text.text = OutputText(text.text);
    text.heap_address = static_cast<std::int32_t>(offset);
    offset += static_cast<std::uint32_t>(text.text.size()) + 1;
  }
  if (heap_size.value() > 0) {
    WriteHeap(out, records.texts);
  }
  return out.Finish();
}

void JwkClear(JwkWorkspace& workspace) {
  workspace = JwkWorkspace{};
}

}  // namespace penmorph::jw
