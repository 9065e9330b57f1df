#include "formats/windows/entity_base.h"

#include <array>

#include "common/little_endian.h"

namespace penmorph::jw {

namespace {

// SXF line types 31-62 as the standard type closest in look, for files that predate SXF.
std::uint8_t FoldSxfLineType(std::uint8_t style) {
  static constexpr std::uint8_t kFolded[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};
  if (style >= 31 && style <= 45) {
    return kFolded[style - 31];
  }
  if (style >= 46 && style <= 62) {
    return 1;
  }
  return style;
}

std::uint16_t FoldSxfColor(std::uint16_t color) {
  static constexpr std::uint16_t kFolded[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};
  if (color >= 101 && color <= 116) {
    return kFolded[color - 101];
  }
  if (color >= 117 && color <= 356) {
    return 2;
  }
  return color;
}

bool IsSxfOrStandardColor(std::uint16_t color) {
  return static_cast<unsigned>(color - 1) < 9 || static_cast<unsigned>(color - 101) < 256;
}

// The line types each check keeps, by code.
constexpr auto kKeptLineTypes = [] {
  std::array<std::array<bool, 256>, 4> kept{};
  for (int s = 0; s < 256; ++s) {
    kept[static_cast<std::size_t>(LineTypeCheck::kAny)][s] = true;
    kept[static_cast<std::size_t>(LineTypeCheck::kLineTypes)][s] =
        (s >= 1 && s <= 9) || (s >= 11 && s <= 19) || (s >= 31 && s <= 62);
    kept[static_cast<std::size_t>(LineTypeCheck::kPointMarks)][s] = s == 1 || s == 100;
    kept[static_cast<std::size_t>(LineTypeCheck::kStandard)][s] = s >= 1 && s <= 9;
  }
  return kept;
}();

bool KeepsColor(ColorCheck check, std::uint16_t color) {
  return check == ColorCheck::kAny || IsSxfOrStandardColor(color) ||
         (check == ColorCheck::kStandardSxfOrOwn && color == kOwnColor);
}

// SXF colours and line types came with this version.
constexpr int kSxfSince = 420;

}  // namespace

EntityBase AdjustEntityBase(int version, EntityKind kind, EntityBase base) {
  const EntityKindInfo& info = KindInfo(kind);
  if (version < kSxfSince) {
    // Where the kind keeps SXF codes, an older file's take the standard ones closest in look.
    if (info.line_types == LineTypeCheck::kLineTypes) {
      base.PenStyle = FoldSxfLineType(base.PenStyle);
    }
    if (info.colors != ColorCheck::kAny) {
      base.PenColor = FoldSxfColor(base.PenColor);
    }
  }
  if (!kKeptLineTypes[static_cast<std::size_t>(info.line_types)][base.PenStyle]) {
    base.PenStyle = 1;
  }
  if (!KeepsColor(info.colors, base.PenColor)) {
    base.PenColor = 2;
  }
  if (base.Layer > 15) {
    base.Layer = 0;
  }
  if (base.LayerGroup > 15) {
    base.LayerGroup = 0;
  }
  if (base.PenWidth > 30000) {
    base.PenWidth = 0;
  }
  return base;
}

void WriteEntityBase(ByteWriter& out, int version, EntityKind kind, const EntityBase& base) {
  WriteEntityBaseAsRead(out, version, AdjustEntityBase(version, kind, base));
}

void WriteEntityBaseAsRead(ByteWriter& out, int version, const EntityBase& base) {
  StoreEntityBase(out.Reserve(EntityBaseSize(version)), version, base);
}

}  // namespace penmorph::jw
