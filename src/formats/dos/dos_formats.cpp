#include "formats/dos/dos_formats.h"

#include <memory>

#include "common/text.h"
#include "formats/dos/dos_kinds.h"
#include "formats/dos/dos_numbers.h"
#include "formats/dos/dos_preview.h"

namespace penmorph::jw {

namespace {

// The parts of a description that both formats share.
FileDescription DescribeRecords(std::string_view format, const HeaderLine0& line0,
                                const DosRecords& records) {
  FileDescription description;
  description.format = std::string(format);
  description.memo = StripControlChars(line0.Memo());
  ForEachDosKind([&](const auto& kind) {
    description.counts.emplace_back(std::string(kind.plural), (records.*kind.records).size());
  });
  return description;
}

// DOS jw_cad keeps the drawings before as NAME.BAK, NAME.BK1 and so on, names the Windows
// program's backups share. A backup is read as a drawing, never as a symbol.
constexpr CopyName kJwcCopies[] = {{.extension = ".BAK", .needs_signature = true},
                                   {.extension = ".BK*", .needs_signature = true}};
constexpr FormatTraits kJwcTraits{
    .name = "JWC", .extension = ".JWC", .family = preview::CodeFamily::kDos, .copies = kJwcCopies};
constexpr FormatTraits kJwkTraits{
    .name = "JWK", .extension = ".JWK", .family = preview::CodeFamily::kDos, .copies = {}};

// The memo stands in header line 0. It counts only when the file holds all the header lines that
// a read of the drawing takes, `Lines` of them; nothing else of the file is read.
template <class Lines>
std::optional<HeaderMemo> ReadHeaderMemo(ByteReader& in) {
  Lines lines;
  if (!ReadHeaderLines(in, lines).ok()) {
    return std::nullopt;
  }
  return HeaderMemo{ParseHeaderLine0(lines[0]).Memo(), false};
}

// Read, remap, write: each step's failure is reported as that step's.
template <class Workspace>
ConversionStatus ConvertWith(ByteReader& in, const JwcConvSettings& table, ByteSink& sink,
                             Status (*read)(ByteReader&, Workspace&),
                             Status (*remap)(Workspace&, const JwcConvSettings&),
                             Status (*write)(ByteWriter&, Workspace&)) {
  auto workspace = std::make_unique<Workspace>();  // large: kept off the stack
  if (Status s = read(in, *workspace); !s.ok()) {
    return ConversionStatus::Failed(ConversionStage::kRead, s.error());
  }
  if (Status s = remap(*workspace, table); !s.ok()) {
    return ConversionStatus::Failed(ConversionStage::kRemap, s.error());
  }
  ByteWriter out(sink);
  return ConversionStatus::At(ConversionStage::kWrite, write(out, *workspace));
}

}  // namespace

const FormatTraits& JwcFormat::Traits() const {
  return kJwcTraits;
}

bool JwcFormat::Recognizes(std::span<const std::uint8_t> head) const {
  return StartsWith(head, kJwcMagic);
}

ConversionStatus JwcFormat::Convert(ByteReader& in, const ConversionTables& tables,
                                    ByteSink& out) const {
  return ConvertWith<JwcWorkspace>(in, tables.jwc, out, &JwcRead, &JwcRemap, &JwcWrite);
}

std::optional<HeaderMemo> JwcFormat::ReadMemo(ByteReader& in) const {
  return ReadHeaderMemo<decltype(JwcWorkspace::header_lines)>(in);
}

Result<FileDescription> JwcFormat::Describe(ByteReader& in) const {
  auto drawing = std::make_unique<JwcWorkspace>();
  if (Status read = JwcRead(in, *drawing); !read.ok()) {
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

Result<preview::Inventory> JwcFormat::TakeInventory(ByteReader& in,
                                                    const ConversionTables& tables) const {
  return JwcInventory(in, tables.jwc);
}

Result<preview::Drawing> JwcFormat::Draw(ByteReader& in) const {
  return DrawJwc(in);
}

const FormatTraits& JwkFormat::Traits() const {
  return kJwkTraits;
}

bool JwkFormat::Recognizes(std::span<const std::uint8_t> head) const {
  return StartsWith(head, kJwkMagic);
}

ConversionStatus JwkFormat::Convert(ByteReader& in, const ConversionTables& tables,
                                    ByteSink& out) const {
  return ConvertWith<JwkWorkspace>(in, tables.jwc, out, &JwkRead, &JwkRemap, &JwkWrite);
}

std::optional<HeaderMemo> JwkFormat::ReadMemo(ByteReader& in) const {
  return ReadHeaderMemo<decltype(JwkWorkspace::header_lines)>(in);
}

Result<FileDescription> JwkFormat::Describe(ByteReader& in) const {
  auto symbol = std::make_unique<JwkWorkspace>();
  if (Status read = JwkRead(in, *symbol); !read.ok()) {
    return read.error();
  }
  FileDescription description = DescribeRecords("JWK", symbol->header.line0, symbol->records);
  description.details.push_back(
      "text heap: " + FormatInteger(symbol->header.Line1(JwkHeader::kHeapSize)) + " bytes");
  return description;
}

Result<preview::Inventory> JwkFormat::TakeInventory(ByteReader& in,
                                                    const ConversionTables& tables) const {
  return JwkInventory(in, tables.jwc);
}

Result<preview::Drawing> JwkFormat::Draw(ByteReader& in) const {
  return DrawJwk(in);
}

}  // namespace penmorph::jw
