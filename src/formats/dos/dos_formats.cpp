#include "formats/dos/dos_formats.h"

#include <memory>

#include "common/text.h"
#include "formats/dos/dos_numbers.h"

namespace penmorph {

namespace {

// The parts of a description that both formats share.
FileDescription DescribeRecords(std::string_view format, const HeaderLine0& line0,
                                const DosRecords& records) {
  FileDescription description;
  description.format = std::string(format);
  description.memo = StripControlChars(line0.Memo());
  description.counts = {{"lines", records.lines.size()},
                        {"circles/arcs", records.arcs.size()},
                        {"texts", records.texts.size()},
                        {"points", records.points.size()}};
  return description;
}

}  // namespace

// The header alone is read into a workspace of its own, so that listing a folder never
// disturbs a file being converted.
std::optional<HeaderMemo> JwcFormat::ReadMemo(const std::filesystem::path& file) {
  auto header = std::make_unique<JwcWorkspace>();
  if (!JwcReadHeaderInfo(file, *header).ok()) {
    return std::nullopt;
  }
  return HeaderMemo{header->header.line0.Memo(), false};
}

Result<FileDescription> JwcFormat::Describe(const std::filesystem::path& file) {
  auto drawing = std::make_unique<JwcWorkspace>();
  if (Status read = JwcRead(file, *drawing); !read.ok()) {
    return read.error();
  }
  const JwcHeader& header = drawing->header;
  FileDescription description = DescribeRecords("JWC", header.line0, drawing->records);
  description.details.push_back(std::string("layer-group values: ") +
                                (header.FloatGroupValues() ? "f32" : "u16"));
  description.details.push_back("paper size code: " +
                                FormatInteger(header.Line1(JwcHeader::kPaperSize)));
  const std::int64_t heap = std::int64_t{header.HeapEnd()} - header.HeapStart();
  description.details.push_back(
      "text heap: " + std::to_string(heap > 0 ? heap : 0) + " bytes from address " +
      FormatSegmentAddress(static_cast<std::uint32_t>(header.HeapStart()) / 16,
                           static_cast<std::uint32_t>(header.HeapStart()) % 16));
  return description;
}

std::optional<HeaderMemo> JwkFormat::ReadMemo(const std::filesystem::path& file) {
  JwkWorkspace header;
  if (!JwkReadHeaderInfo(file, header).ok()) {
    return std::nullopt;
  }
  return HeaderMemo{header.header.line0.Memo(), false};
}

Result<FileDescription> JwkFormat::Describe(const std::filesystem::path& file) {
  JwkWorkspace symbol;
  if (Status read = JwkRead(file, symbol); !read.ok()) {
    return read.error();
  }
  FileDescription description = DescribeRecords("JWK", symbol.header.line0, symbol.records);
  description.details.push_back(
      "text heap: " + FormatInteger(symbol.header.Line1(JwkHeader::kHeapSize)) + " bytes");
  return description;
}

}  // namespace penmorph
