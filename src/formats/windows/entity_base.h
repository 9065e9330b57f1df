#pragma once

// The attribute block at the start of every entity record and block definition.

#include <cstdint>
#include <type_traits>

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

// The block's fields in file order, as files of `version` carry them: f(field) for each. The
// reader, the writer, the size and the patch of a record in place all go by this one list.
template <class Base, class F>
constexpr void ForEachBaseField(Base& base, int version, F&& f) {
  f(base.Group);
  f(base.PenStyle);
  f(base.PenColor);
  if (HasPenWidth(version)) {
    f(base.PenWidth);
  }
  f(base.Layer);
  f(base.LayerGroup);
  f(base.Flags);
}

constexpr std::uint64_t EntityBaseSize(int version) {
  const EntityBase base;
  std::uint64_t size = 0;
  ForEachBaseField(base, version, [&](const auto& field) { size += sizeof(field); });
  return size;
}
static_assert(EntityBaseSize(350) == 13 && EntityBaseSize(351) == 15);

// The block from EntityBaseSize(version) bytes at `p`.
inline EntityBase LoadEntityBase(const std::uint8_t* p, int version) {
  EntityBase base;
  ForEachBaseField(base, version, [&](auto& field) {
    field = LoadLittleEndian<std::remove_reference_t<decltype(field)>>(p);
    p += sizeof(field);
  });
  return base;
}

inline EntityBase ReadEntityBase(ByteReader& in, int version) {
  return LoadEntityBase(in.Take(EntityBaseSize(version)), version);
}

// The block's bytes as ReadEntityBase takes them, into EntityBaseSize(version) bytes at `p`.
inline void StoreEntityBase(std::uint8_t* p, int version, const EntityBase& base) {
  ForEachBaseField(base, version, [&](const auto& field) {
    StoreLittleEndian(p, field);
    p += sizeof(field);
  });
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
