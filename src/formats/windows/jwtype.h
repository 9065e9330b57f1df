#pragma once

// The working records of the Windows formats' entities, shared by JWW drawings and JWS symbols.
// Values the converter never interprets are kept as they were read, field group by field group.

#include <array>
#include <cstdint>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "formats/windows/archive.h"
#include "formats/windows/archive_string.h"
#include "formats/windows/entity_base.h"
#include "formats/windows/entity_kinds.h"

namespace penmorph::jw {

struct TEntSen {  // line: start and end point
  EntityBase base;
  std::array<double, 4> values{};
  bool operator==(const TEntSen&) const = default;
};

struct TEntEnko {  // arc or circle
  EntityBase base;
  std::array<double, 7> values{};
  std::int32_t flag = 0;
  bool operator==(const TEntEnko&) const = default;
};

struct TEntTen {  // point; the tail exists only when PenStyle is 100
  EntityBase base;
  std::array<double, 2> values{};
  std::int32_t code = 0;
  std::int32_t tail_code = 0;
  std::array<double, 2> tail_values{};
  bool HasTail() const { return base.PenStyle == 100; }
  bool operator==(const TEntTen&) const = default;
};

struct TEntMoji {  // text
  EntityBase base;
  std::array<double, 4> position{};
  std::int32_t kind = 0;
  std::array<double, 4> layout{};
  ArchiveString font;  // the first string
  ArchiveString text;
  bool operator==(const TEntMoji&) const = default;
};

struct TEntSunpo {  // dimension: its members are a line, a text and, from version 420, more
  EntityBase base;
  TEntSen line;
  TEntMoji text;
  std::uint16_t member_flag = 0;
  TEntSen line2;
  TEntSen line3;
  std::array<TEntTen, 4> points{};
  bool operator==(const TEntSunpo&) const = default;
};

struct TEntSolid {  // solid; the colour exists only when PenColor is 10
  EntityBase base;
  std::array<double, 8> values{};
  std::int32_t color = 0;
  bool HasColor() const { return base.PenColor == kOwnColor; }
  bool operator==(const TEntSolid&) const = default;
};

struct TEntBlock {  // block insertion
  EntityBase base;
  std::array<double, 5> values{};
  std::int32_t number = 0;
  bool operator==(const TEntBlock&) const = default;
};

// A record of any kind: alternative (kind - 1) holds that kind's record type.
using EntityRecord =
    std::variant<TEntSen, TEntEnko, TEntTen, TEntMoji, TEntSunpo, TEntSolid, TEntBlock>;
static_assert(std::variant_size_v<EntityRecord> == kEntityKinds.size(), "one type per kind");

struct TEntBlockDef;

namespace detail {
template <class T, std::size_t... I>
constexpr EntityKind KindOfAlternative(std::index_sequence<I...>) {
  std::size_t index = 0;
  const bool found =
      ((std::is_same_v<T, std::variant_alternative_t<I, EntityRecord>> ? (index = I, true)
                                                                       : false) ||
       ...);
  return found ? static_cast<EntityKind>(index + 1) : EntityKind::kNone;
}
}  // namespace detail

// The kind whose record type T is.
template <class T>
inline constexpr EntityKind kKindOf =
    detail::KindOfAlternative<T>(std::make_index_sequence<std::variant_size_v<EntityRecord>>());
template <>
inline constexpr EntityKind kKindOf<TEntBlockDef> = EntityKind::kBlockDef;

inline EntityKind KindOf(const EntityRecord& record) {
  return static_cast<EntityKind>(record.index() + 1);
}

namespace detail {
template <std::size_t I, class Member, class F>
void VisitMember(Member& member, int version, F& f) {
  constexpr const DimensionMember& info = kDimensionMembers[I];
  static_assert(PartInfoOf(info.part).checked_as == kKindOf<std::remove_const_t<Member>>,
                "the member's row names a part of its type");
  if (version >= info.since) {
    f(member, info);
  }
}
}  // namespace detail

// Calls f(member, info) for each member a dimension carries in files of `version`, in file
// order, with its row of kDimensionMembers.
template <class Dimension, class F>
void ForEachMember(Dimension& dim, int version, F&& f) {
  static_assert(std::is_same_v<std::remove_const_t<Dimension>, TEntSunpo>);
  static_assert(kDimensionMembers.size() == 4 + std::tuple_size_v<decltype(dim.points)>);
  detail::VisitMember<0>(dim.line, version, f);
  detail::VisitMember<1>(dim.text, version, f);
  detail::VisitMember<2>(dim.line2, version, f);
  detail::VisitMember<3>(dim.line3, version, f);
  detail::VisitMember<4>(dim.points[0], version, f);
  detail::VisitMember<5>(dim.points[1], version, f);
  detail::VisitMember<6>(dim.points[2], version, f);
  detail::VisitMember<7>(dim.points[3], version, f);
}

// Calls f(base, part) for every attribute block a record carries in files of `version`: its
// own first, then those of a dimension's members. Takes an EntityRecord, a record of any kind or
// a block definition (whose members are records of their own), const or not.
template <class Record, class F>
void ForEachBase(Record& record, int version, F&& f) {
  using R = std::remove_const_t<Record>;
  if constexpr (std::is_same_v<R, EntityRecord>) {
    std::visit([&](auto& r) { ForEachBase(r, version, f); }, record);
  } else {
    static_assert(kKindOf<R> != EntityKind::kNone, "a record type");
    f(record.base, PartInfoOf(OwnPart(kKindOf<R>)));
    if constexpr (std::is_same_v<R, TEntSunpo>) {
      ForEachMember(record, version, [&](auto& member, const DimensionMember& info) {
        f(member.base, PartInfoOf(info.part));
      });
    }
  }
}

struct TEntBlockDef {  // a block definition up to its members, which follow it as records
  EntityBase base;
  std::array<std::int32_t, 3> values{};  // a negative third value is replaced by the position
  ArchiveString name;
  // What the file held where the position now stands: the negative value and the 8 bytes after
  // it. Not written by a conversion; kept so that a read can be shown to have lost nothing.
  std::int32_t replaced_value = 0;
  std::optional<std::array<std::uint8_t, 8>> replaced_bytes;
  bool operator==(const TEntBlockDef&) const = default;
};

}  // namespace penmorph::jw
