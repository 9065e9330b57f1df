#include "formats/windows/entity_remap.h"

#include <climits>
#include <string>

namespace penmorph::jw {

namespace {

using Option = JwwConvSettings::Option;

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

ColorRemapper::ColorRemapper(const JwwConvSettings& table) : table_(table) {
  for (std::size_t code = 0; code < colors_.size(); ++code) {
    colors_[code] = MapJwwColor(table, static_cast<std::int32_t>(code));
  }
  for (std::size_t code = 0; code < line_types_.size(); ++code) {
    line_types_[code] = MapJwwLineType(table, static_cast<std::uint8_t>(code));
  }
}

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
  auto at = [](RemapGroup group) { return static_cast<std::size_t>(group); };
  RemapRules rules;
  rules.colors[at(RemapGroup::kLines)] = true;
  rules.line_types[at(RemapGroup::kLines)] = true;
  rules.colors[at(RemapGroup::kPointsAndTexts)] = true;
  rules.colors[at(RemapGroup::kSolids)] = table.IsOn(Option::kChangeSolidColor);
  rules.colors[at(RemapGroup::kDimensions)] = table.IsOn(Option::kChangeDimColor);
  rules.line_types[at(RemapGroup::kDimensions)] = table.IsOn(Option::kChangeDimLineType);
  return rules;
}

RemapRules BlockMemberRules(const JwwConvSettings& table) {
  // What the main list remaps, where the block options allow it.
  RemapRules rules = MainListRules(table);
  const bool block_color = table.IsOn(Option::kChangeBlockColor);
  const bool block_type = table.IsOn(Option::kChangeBlockLineType);
  for (std::size_t group = 0; group < kRemapGroupCount; ++group) {
    rules.colors[group] = rules.colors[group] && block_color;
    rules.line_types[group] = rules.line_types[group] && block_type;
  }
  return rules;
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
