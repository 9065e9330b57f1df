#pragma once

// Remapping of colours and line types in the entities of the Windows formats, under the options
// of the conversion table.

#include <array>
#include <utility>

#include "common/result.h"
#include "formats/windows/jwtype.h"
#include "formats/windows/jww_header.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

// Looks numbers up in the table and fails, naming the entry, when the result does not fit the
// field it goes into.
class ColorRemapper {
 public:
  explicit ColorRemapper(const JwwConvSettings& table);

  void Color(std::uint16_t& color) {
    const std::int32_t mapped = color < colors_.size() ? colors_[color] : 1;
    if (mapped > 0xFFFF) {
      ColorTooLarge(color, mapped);
      return;
    }
    changed_ |= mapped != color;
    color = static_cast<std::uint16_t>(mapped);
  }
  void Color(std::int32_t& color);  // header colours, wide enough for any entry
  void LineType(std::uint8_t& style) {
    const std::int32_t mapped = line_types_[style];
    if (mapped > 0xFF) {
      LineTypeTooLarge(style, mapped);
      return;
    }
    changed_ |= mapped != style;
    style = static_cast<std::uint8_t>(mapped);
  }
  void Fail(Error error);

  const JwwConvSettings& table() const { return table_; }
  const Status& status() const { return status_; }
  // Whether a number was changed since the last call.
  bool TakeChanged() { return std::exchange(changed_, false); }

 private:
  void ColorTooLarge(std::uint16_t color, std::int32_t mapped);
  void LineTypeTooLarge(std::uint8_t style, std::int32_t mapped);

  const JwwConvSettings& table_;
  // The table's answer for every code, looked up once: a conversion asks for every record.
  std::array<std::int32_t, kWindowsColourEntries.size()> colors_;
  std::array<std::int32_t, 256> line_types_;
  Status status_;
  bool changed_ = false;
};

// Which option groups a pass over one list applies, to colours and to line types.
struct RemapRules {
  std::array<bool, kRemapGroupCount> colors{};  // by RemapGroup; kNone's stays off
  std::array<bool, kRemapGroupCount> line_types{};

  bool Colors(RemapGroup group) const { return colors[static_cast<std::size_t>(group)]; }
  bool LineTypes(RemapGroup group) const { return line_types[static_cast<std::size_t>(group)]; }
};

// The rules for the main list, and for the members of block definitions (nothing unless one of
// the block options is on).
RemapRules MainListRules(const JwwConvSettings& table);
RemapRules BlockMemberRules(const JwwConvSettings& table);

// One attribute block under the rules, as the part it is. A record's own RGB colour is kept
// whatever the options: they remap pens, and it is none.
inline void RemapColor(ColorRemapper& remap, const RemapRules& rules, const PartInfo& part,
                       EntityBase& base) {
  if (rules.Colors(part.color) && !IsOwnColor(part, base.PenColor)) {
    remap.Color(base.PenColor);
  }
}
inline void RemapLineType(ColorRemapper& remap, const RemapRules& rules, const PartInfo& part,
                          EntityBase& base) {
  if (rules.LineTypes(part.line_type)) {
    remap.LineType(base.PenStyle);
  }
}

// A record (of any kind, or an EntityRecord) under the rules; `version` decides which dimension
// members exist. All colours go before the line types, so that of two entries that do not fit,
// the one reported is always the colour's.
template <class Record>
void Remap(ColorRemapper& remap, const RemapRules& rules, int version, Record& record) {
  ForEachBase(record, version, [&](EntityBase& base, const PartInfo& part) {
    RemapColor(remap, rules, part, base);
  });
  ForEachBase(record, version, [&](EntityBase& base, const PartInfo& part) {
    RemapLineType(remap, rules, part, base);
  });
}

// The drawing-wide colours of a JWW header, under the two header options.
Status RemapJwwHeader(THeader& header, const JwwConvSettings& table);

}  // namespace penmorph::jw
