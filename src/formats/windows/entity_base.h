#pragma once

// The attribute block at the start of every entity record and block definition.

#include <cstdint>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "common/little_endian.h"
#include "formats/windows/entity_kinds.h"

namespace penmorph::jw {

struct EntityBase {
  std::int32_t Group = 0;
  std::uint8_t PenStyle = 0;   // line type; 100 on a point marks the extended point record
  std::uint16_t PenColor = 0;  // colour; 10 on a solid means it carries its own RGB colour
  std::uint16_t PenWidth = 0;  // only in files above version 350
  std::uint16_t Layer = 0;
  std::uint16_t LayerGroup = 0;
  std::uint16_t Flags = 0;
  bool operator==(const EntityBase&) const = default;
};

constexpr bool HasPenWidth(int version) {
  return version > 350;
}
constexpr std::uint64_t EntityBaseSize(int version) {
  return HasPenWidth(version) ? 15 : 13;
}

inline EntityBase ReadEntityBase(ByteReader& in, int version) {
  const bool wide = HasPenWidth(version);
  const std::uint8_t* p = in.Take(EntityBaseSize(version));
  EntityBase base;
  base.Group = LoadLittleEndian<std::int32_t>(p);
  base.PenStyle = p[4];
  base.PenColor = LoadLittleEndian<std::uint16_t>(p + 5);
  if (wide) {
    base.PenWidth = LoadLittleEndian<std::uint16_t>(p + 7);
    p += 2;
  }
  base.Layer = LoadLittleEndian<std::uint16_t>(p + 7);
  base.LayerGroup = LoadLittleEndian<std::uint16_t>(p + 9);
  base.Flags = LoadLittleEndian<std::uint16_t>(p + 11);
  return base;
}

// The block's bytes as ReadEntityBase takes them, into EntityBaseSize(version) bytes at `p`.
inline void StoreEntityBase(std::uint8_t* p, int version, const EntityBase& base) {
  StoreLittleEndian(p, base.Group);
  p[4] = base.PenStyle;
  StoreLittleEndian(p + 5, base.PenColor);
  if (HasPenWidth(version)) {
    StoreLittleEndian(p + 7, base.PenWidth);
    p += 2;
  }
  StoreLittleEndian(p + 7, base.Layer);
  StoreLittleEndian(p + 9, base.LayerGroup);
  StoreLittleEndian(p + 11, base.Flags);
}

// Writes a checked copy: SXF line types and colours folded onto standard ones below version
// 420, codes outside what the kind allows replaced, layers and widths out of range reset.
void WriteEntityBase(ByteWriter& out, int version, EntityKind kind, const EntityBase& base);

// Writes the fields exactly as they are, for checking that a read kept every byte.
void WriteEntityBaseAsRead(ByteWriter& out, int version, const EntityBase& base);

// The copy WriteEntityBase writes.
EntityBase AdjustEntityBase(int version, EntityKind kind, EntityBase base);

// Adjusts `base` to the copy WriteEntityBase writes; true when that changed it. Standard colours
// and line types with layers and widths in range - nearly every record - are seen at once: every
// kind keeps them, but for the point marks, of which only 1 is standard.
inline bool AdjustEntityBaseInPlace(int version, EntityKind kind, EntityBase& base) {
  const bool plain = base.PenColor - 1u < 9u && base.PenStyle - 1u < 9u && base.Layer <= 15 &&
                     base.LayerGroup <= 15 && base.PenWidth <= 30000;
  if (plain && (KindInfo(kind).line_types != LineTypeCheck::kPointMarks || base.PenStyle == 1)) {
    return false;
  }
  const EntityBase adjusted = AdjustEntityBase(version, kind, base);
  if (adjusted == base) {
    return false;
  }
  base = adjusted;
  return true;
}

}  // namespace penmorph::jw
