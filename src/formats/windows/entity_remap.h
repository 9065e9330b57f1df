#pragma once

// Remapping of colours and line types in the entities of the Windows formats, under the options
// of the conversion table.

#include <utility>

#include "common/result.h"
#include "formats/windows/entity_kinds.h"
#include "formats/windows/jww_header.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

// Looks numbers up in the table and fails, naming the entry, when the result does not fit the
// field it goes into.
class ColorRemapper {
 public:
  explicit ColorRemapper(const JwwConvSettings& table) : table_(table) {}

  void Color(std::uint16_t& color) {
    const std::int32_t mapped = MapJwwColor(table_, color);
    if (mapped > 0xFFFF) {
      ColorTooLarge(color, mapped);
      return;
    }
    changed_ |= mapped != color;
    color = static_cast<std::uint16_t>(mapped);
  }
  void Color(std::int32_t& color);  // header colours, wide enough for any entry
  void LineType(std::uint8_t& style) {
    const std::int32_t mapped = MapJwwLineType(table_, style);
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
  Status status_;
  bool changed_ = false;
};

// Which fields a pass over one list remaps.
struct RemapRules {
  bool line_color = false;
  bool line_type = false;
  bool point_text_color = false;
  bool solid_color = false;
  bool dim_color = false;
  bool dim_line_type = false;
};

// The rules for the main list, and for the members of block definitions (nothing unless one of
// the block options is on).
RemapRules MainListRules(const JwwConvSettings& table);
RemapRules BlockMemberRules(const JwwConvSettings& table);

// One record under the rules; `version` decides which dimension members exist.
void RemapRecord(ColorRemapper& remap, const RemapRules& rules, int version, EntityRecord& record);

// Each kind under the rules.
inline void RemapLineOrArc(ColorRemapper& remap, const RemapRules& rules, EntityBase& base) {
  if (rules.line_color) {
    remap.Color(base.PenColor);
  }
  if (rules.line_type) {
    remap.LineType(base.PenStyle);
  }
}
inline void Remap(ColorRemapper& remap, const RemapRules& rules, int, TEntSen& line) {
  RemapLineOrArc(remap, rules, line.base);
}
inline void Remap(ColorRemapper& remap, const RemapRules& rules, int, TEntEnko& arc) {
  RemapLineOrArc(remap, rules, arc.base);
}
inline void Remap(ColorRemapper& remap, const RemapRules& rules, int, TEntTen& point) {
  if (rules.point_text_color) {
    remap.Color(point.base.PenColor);
  }
}
inline void Remap(ColorRemapper& remap, const RemapRules& rules, int, TEntMoji& text) {
  if (rules.point_text_color) {
    remap.Color(text.base.PenColor);
  }
}
void Remap(ColorRemapper& remap, const RemapRules& rules, int version, TEntSunpo& dim);
inline void Remap(ColorRemapper& remap, const RemapRules& rules, int, TEntSolid& solid) {
  if (rules.solid_color) {
    remap.Color(solid.base.PenColor);
  }
}
inline void Remap(ColorRemapper&, const RemapRules&, int, TEntBlock&) {}  // keeps its colours

// The drawing-wide colours of a JWW header, under the two header options.
Status RemapJwwHeader(THeader& header, const JwwConvSettings& table);

}  // namespace penmorph::jw
