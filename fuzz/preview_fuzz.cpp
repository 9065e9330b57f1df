// The inventory and the preview of any bytes, for the format whose signature they carry: they
// must fail cleanly or give counts that remapping moves without losing any, and a picture
// without a NaN whose pens match its style keys.

#include <sstream>
#include <string>
#include <string_view>

#include "convert/source_file.h"
#include "formats/standard_formats.h"
#include "fuzz_support.h"
#include "preview/svg_writer.h"

using namespace penmorph;

namespace {

std::uint64_t Total(const preview::CodeCounts& counts) {
  std::uint64_t total = 0;
  for (const auto& [code, columns] : counts.rows()) {
    total += counts.Total(code);
  }
  return total;
}

// True when an attribute value says "nan" or "inf". Only the values hold numbers: the texts
// between the tags are the drawing's own words ("info", "banana") and may say anything.
bool HasNonFiniteNumber(const std::string& svg) {
  bool in_tag = false;
  std::size_t value_start = std::string::npos;
  for (std::size_t i = 0; i < svg.size(); ++i) {
    const char c = svg[i];
    if (!in_tag) {
      in_tag = c == '<';
    } else if (value_start != std::string::npos) {
      if (c == '"') {
        const std::string_view value(svg.data() + value_start, i - value_start);
        if (value.find("nan") != std::string_view::npos ||
            value.find("inf") != std::string_view::npos) {
          return true;
        }
        value_start = std::string::npos;
      }
    } else if (c == '"') {
      value_start = i + 1;
    } else if (c == '>') {
      in_tag = false;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const FormatRegistry formats = MakeStandardFormats();
  ConversionTables tables;
  tables.jww.SetEntry(2, 5);
  tables.jww.SetEntry(JwwConvSettings::kChangeBlockColor, 1);
  tables.jwc.SetEntry(1, 3);
  for (const auto& format : formats.formats()) {
    ByteReader probe = fuzz::Reader({data, size});
    if (!HasSignature(*format, probe)) {
      continue;
    }
    ByteReader for_inventory = fuzz::Reader({data, size});
    auto inventory = format->TakeInventory(for_inventory, tables);
    if (inventory.ok() && (Total(inventory->before.colors) != Total(inventory->after.colors) ||
                           inventory->changed > inventory->entities)) {
      fuzz::Finding("the tables lost or made up counts");
    }
    ByteReader for_drawing = fuzz::Reader({data, size});
    auto drawing = format->Draw(for_drawing);
    if (!drawing.ok()) {
      continue;
    }
    auto shared = std::make_shared<const preview::Drawing>(std::move(drawing).value());
    const preview::DisplayList list = preview::MakeDisplayList(
        shared, tables, preview::Side::kAfter, preview::Background::kBlack);
    if (list.pens.size() != shared->styles.size()) {
      fuzz::Finding("a style key without its pen");
    }
    std::ostringstream svg;
    preview::WriteSvg(svg, list);
    if (HasNonFiniteNumber(svg.str())) {
      fuzz::Finding("a number SVG cannot take");
    }
  }
  return 0;
}
