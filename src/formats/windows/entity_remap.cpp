#include "formats/windows/entity_remap.h"

#include <climits>
#include <string>

namespace penmorph::jw {

namespace {

using Option = JwwConvSettings::Option;

}  // namespace

void Remap(ColorRemapper& remap, const RemapRules& rules, int version, TEntSunpo& dim) {
  const bool full = version >= 420;
  if (rules.dim_color) {
    remap.Color(dim.line.base.PenColor);
    remap.Color(dim.text.base.PenColor);
    if (full) {
      remap.Color(dim.line2.base.PenColor);
      remap.Color(dim.line3.base.PenColor);
      for (TEntTen& point : dim.points) {
        remap.Color(point.base.PenColor);
      }
    }
  }
  if (rules.dim_line_type) {
    remap.LineType(dim.line.base.PenStyle);
    if (full) {
      remap.LineType(dim.line2.base.PenStyle);
      remap.LineType(dim.line3.base.PenStyle);
    }
  }
}

namespace {

// Replaces one decimal digit (place 1, 10 or 100) of the dimension colours by its mapping.
void RemapDigit(ColorRemapper& remap, std::int32_t& value, std::int64_t place) {
  std::int32_t digit = static_cast<std::int32_t>((value / place) % 10);
  std::int32_t mapped = digit;
  remap.Color(mapped);
  std::int64_t result = value + (std::int64_t{mapped} - digit) * place;
  if (result < INT32_MIN || result > INT32_MAX) {
    remap.Fail(MakeError(ErrorKind::kRange, "JWW table entry " +
                                                EntryKey(JwwConvSettings::ColorEntry(digit)) +
                                                " makes the dimension colour setting too large"));
    return;
  }
  value = static_cast<std::int32_t>(result);
}

}  // namespace

void ColorRemapper::ColorTooLarge(std::uint16_t color, std::int32_t mapped) {
  Fail(MakeError(ErrorKind::kRange,
                 "JWW table entry " + EntryKey(JwwConvSettings::ColorEntry(color)) + " = " +
                     std::to_string(mapped) + " does not fit a colour code (0-65535)"));
}

void ColorRemapper::LineTypeTooLarge(std::uint8_t style, std::int32_t mapped) {
  Fail(MakeError(ErrorKind::kRange,
                 "JWW table entry " + EntryKey(JwwConvSettings::LineTypeEntry(style)) + " = " +
                     std::to_string(mapped) + " does not fit a line type (0-255)"));
}

void ColorRemapper::Color(std::int32_t& color) {
  const std::int32_t mapped = MapJwwColor(table_, color);
  changed_ |= mapped != color;
  color = mapped;
}

void ColorRemapper::Fail(Error error) {
  if (status_.ok()) {
    status_ = std::move(error);
  }
}

RemapRules MainListRules(const JwwConvSettings& table) {
  RemapRules rules;
  rules.line_color = true;
  rules.line_type = true;
  rules.point_text_color = true;
  rules.solid_color = table.IsOn(Option::kChangeSolidColor);
  rules.dim_color = table.IsOn(Option::kChangeDimColor);
  rules.dim_line_type = table.IsOn(Option::kChangeDimLineType);
  return rules;
}

RemapRules BlockMemberRules(const JwwConvSettings& table) {
  const RemapRules main = MainListRules(table);
  const bool block_color = table.IsOn(Option::kChangeBlockColor);
  const bool block_type = table.IsOn(Option::kChangeBlockLineType);
  RemapRules rules;
  rules.line_color = block_color;
  rules.line_type = block_type;
  rules.point_text_color = block_color;
  rules.solid_color = main.solid_color && block_color;
  rules.dim_color = main.dim_color && block_color;
  rules.dim_line_type = main.dim_line_type && block_type;
  return rules;
}

void RemapRecord(ColorRemapper& remap, const RemapRules& rules, int version, EntityRecord& record) {
  std::visit([&](auto& r) { Remap(remap, rules, version, r); }, record);
}

Status RemapJwwHeader(THeader& header, const JwwConvSettings& table) {
  ColorRemapper remap(table);
  if (table.IsOn(Option::kChangeTextSettingColor)) {
    for (TextKind& kind : header.text_kinds) {
      remap.Color(kind.color);
    }
  }
  if (table.IsOn(Option::kChangeDimSettingColor)) {
    for (std::int64_t place : {1, 10, 100}) {
      RemapDigit(remap, header.DimSettingColors, place);
    }
  }
  return remap.status();
}

}  // namespace penmorph::jw
