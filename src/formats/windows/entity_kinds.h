#pragma once

// The entity kinds of the Windows formats in one place. A record of any kind is an EntityRecord,
// whose alternative (kind - 1) holds that kind's record type; everything else that differs from
// kind to kind is either a row of kEntityKinds or an overload for the record type (read, write,
// remap, normalise: entity_records.h, entity_remap.h), which std::visit picks. No use of the
// kinds needs a switch of its own.

#include <array>
#include <cstddef>
#include <string_view>
#include <utility>
#include <variant>

#include "formats/windows/jwtype.h"

namespace penmorph::jw {

using EntityRecord =
    std::variant<TEntSen, TEntEnko, TEntTen, TEntMoji, TEntSunpo, TEntSolid, TEntBlock>;

struct EntityKindInfo {
  EntityKind kind;
  std::string_view class_name;  // as the file names the record's class
  std::string_view plural;      // as descriptions and inventories count them
};

inline constexpr std::array<EntityKindInfo, std::variant_size_v<EntityRecord>> kEntityKinds = {{
    {EntityKind::kLine, "CDataSen", "lines"},
    {EntityKind::kArc, "CDataEnko", "arcs"},
    {EntityKind::kPoint, "CDataTen", "points"},
    {EntityKind::kText, "CDataMoji", "texts"},
    {EntityKind::kDimension, "CDataSunpou", "dimensions"},
    {EntityKind::kSolid, "CDataSolid", "solids"},
    {EntityKind::kBlock, "CDataBlock", "block insertions"},
}};

// The block definitions' class, which the entity lists never hold.
inline constexpr std::string_view kBlockDefClassName = "CDataList";

namespace detail {
template <class T, std::size_t... I>
constexpr std::size_t AlternativeIndex(std::index_sequence<I...>) {
  std::size_t index = 0;
  ((std::is_same_v<T, std::variant_alternative_t<I, EntityRecord>> ? (index = I) : 0), ...);
  return index;
}
}  // namespace detail

// The kind whose record type T is.
template <class T>
inline constexpr EntityKind kKindOf = static_cast<EntityKind>(
    detail::AlternativeIndex<T>(std::make_index_sequence<std::variant_size_v<EntityRecord>>()) + 1);

inline EntityKind KindOf(const EntityRecord& record) {
  return static_cast<EntityKind>(record.index() + 1);
}

// True for the kinds an entity list may hold (1-7).
constexpr bool IsEntityKind(EntityKind kind) {
  return kind >= EntityKind::kLine && kind <= EntityKind::kBlock;
}

// Makes `record` hold a record of `kind` (1-7), reusing it when it holds one already, so that
// reading record after record of one kind keeps the strings' storage.
void PrepareRecord(EntityRecord& record, EntityKind kind);

}  // namespace penmorph::jw
