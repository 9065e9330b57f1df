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

// The line types each kind keeps, by code; every entity's attributes pass through these.
constexpr auto kLineStyles = [] {
  std::array<bool, 256> ok{};
  for (int s = 1; s <= 62; ++s) {
    ok[s] = s <= 9 || (s >= 11 && s <= 19) || s >= 31;
  }
  return ok;
}();

}  // namespace

EntityBase AdjustEntityBase(int version, EntityKind kind, EntityBase base) {
  const int k = static_cast<int>(kind);
  if (version < 420) {
    if (kind == EntityKind::kLine || kind == EntityKind::kArc) {
      base.PenStyle = FoldSxfLineType(base.PenStyle);
    }
    if (k >= 1 && k <= 6) {
      base.PenColor = FoldSxfColor(base.PenColor);
    }
  }
  const std::uint8_t style = base.PenStyle;
  switch (kind) {
    case EntityKind::kLine:
    case EntityKind::kArc:
      if (!kLineStyles[style]) {
        base.PenStyle = 1;
      }
      break;
    case EntityKind::kPoint:
      if (style != 1 && style != 100) {
        base.PenStyle = 1;
      }
      break;
    case EntityKind::kText:
      if (style < 1 || style > 9) {
        base.PenStyle = 1;
      }
      break;
    default:
      break;
  }
  if (k >= 1 && k <= 5 && !IsSxfOrStandardColor(base.PenColor)) {
    base.PenColor = 2;
  }
  if (kind == EntityKind::kSolid && !IsSxfOrStandardColor(base.PenColor) && base.PenColor != 10) {
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
  const bool wide = HasPenWidth(version);
  std::uint8_t* p = out.Reserve(EntityBaseSize(version));
  StoreLittleEndian(p, base.Group);
  p[4] = base.PenStyle;
  StoreLittleEndian(p + 5, base.PenColor);
  if (wide) {
    StoreLittleEndian(p + 7, base.PenWidth);
    p += 2;
  }
  StoreLittleEndian(p + 7, base.Layer);
  StoreLittleEndian(p + 9, base.LayerGroup);
  StoreLittleEndian(p + 11, base.Flags);
}

}  // namespace penmorph::jw
