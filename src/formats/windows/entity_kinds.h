#pragma once

// The entity kinds of the Windows formats and what differs between them, as tables: a row per
// kind (its class name and the codes a written record of it keeps), a row per part (an attribute
// block a record carries, its own or a dimension member's: the kind whose codes it keeps and the
// options that remap it) and a row per dimension member (which part it is, from which version on
// files carry it). Whatever hangs on a record's own layout - its body, its geometry - is an
// overload for the record type, which std::visit picks; every attribute block is reached through
// ForEachBase (jwtype.h), which hands each over with its part. A rule for attributes is therefore
// a column here, not a walk over the kinds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace penmorph::jw {

enum class EntityKind : std::uint8_t {
  kNone = 0,
  kLine = 1,       // CDataSen
  kArc = 2,        // CDataEnko
  kPoint = 3,      // CDataTen
  kText = 4,       // CDataMoji
  kDimension = 5,  // CDataSunpou
  kSolid = 6,      // CDataSolid
  kBlock = 7,      // CDataBlock
  kBlockDef = 8,   // CDataList
};

// True for the kinds an entity list may hold (1-7).
constexpr bool IsEntityKind(EntityKind kind) {
  return kind >= EntityKind::kLine && kind <= EntityKind::kBlock;
}

// The line types a written record keeps; any other is written as 1.
enum class LineTypeCheck : std::uint8_t {
  kAny,         // not checked
  kLineTypes,   // 1-9, 11-19 and SXF 31-62
  kPointMarks,  // 1, or 100 for a point with the longer record
  kStandard,    // 1-9
};

// The colours a written record keeps; any other is written as 2.
enum class ColorCheck : std::uint8_t {
  kAny,               // not checked
  kStandardOrSxf,     // 1-9 and SXF 101-356
  kStandardSxfOrOwn,  // the same, or 10: the record carries an RGB colour of its own
};

struct EntityKindInfo {
  EntityKind kind;
  std::string_view class_name;  // as the file names the record's class
  std::string_view plural;      // as descriptions and inventories count them
  LineTypeCheck line_types;
  ColorCheck colors;
};

inline constexpr std::array<EntityKindInfo, 7> kEntityKinds = {{
    {EntityKind::kLine, "CDataSen", "lines", LineTypeCheck::kLineTypes, ColorCheck::kStandardOrSxf},
    {EntityKind::kArc, "CDataEnko", "arcs", LineTypeCheck::kLineTypes, ColorCheck::kStandardOrSxf},
    {EntityKind::kPoint, "CDataTen", "points", LineTypeCheck::kPointMarks,
     ColorCheck::kStandardOrSxf},
    {EntityKind::kText, "CDataMoji", "texts", LineTypeCheck::kStandard, ColorCheck::kStandardOrSxf},
    {EntityKind::kDimension, "CDataSunpou", "dimensions", LineTypeCheck::kAny,
     ColorCheck::kStandardOrSxf},
    {EntityKind::kSolid, "CDataSolid", "solids", LineTypeCheck::kAny,
     ColorCheck::kStandardSxfOrOwn},
    {EntityKind::kBlock, "CDataBlock", "block insertions", LineTypeCheck::kAny, ColorCheck::kAny},
}};

// The block definitions' class, which the entity lists never hold.
inline constexpr EntityKindInfo kBlockDefKind = {
    EntityKind::kBlockDef, "CDataList", "block definitions", LineTypeCheck::kAny, ColorCheck::kAny};

// The row of a kind 1-8.
constexpr const EntityKindInfo& KindInfo(EntityKind kind) {
  return kind == EntityKind::kBlockDef ? kBlockDefKind
                                       : kEntityKinds[static_cast<std::size_t>(kind) - 1];
}

// The options of the conversion table, grouped by what they remap.
enum class RemapGroup : std::uint8_t {
  kNone,            // no option: the code is kept
  kLines,           // lines and arcs
  kPointsAndTexts,  // points and texts
  kSolids,
  kDimensions,  // the members of dimensions
};
inline constexpr std::size_t kRemapGroupCount = 5;

// The attribute blocks a record carries. The first eight are each kind's own (kind - 1); a
// dimension carries one more for each of its members.
enum class EntityPart : std::uint8_t {
  kLine,
  kArc,
  kPoint,
  kText,
  kDimension,
  kSolid,
  kBlock,
  kBlockDef,
  kDimensionLine,
  kDimensionText,
  kDimensionPoint,
};
inline constexpr std::size_t kEntityPartCount = 11;

struct PartInfo {
  EntityPart part;
  EntityKind checked_as;  // the kind whose codes it keeps when written
  RemapGroup color;       // the options that remap its colour
  RemapGroup line_type;   // the options that remap its line type
};

inline constexpr std::array<PartInfo, kEntityPartCount> kEntityParts = {{
    {EntityPart::kLine, EntityKind::kLine, RemapGroup::kLines, RemapGroup::kLines},
    {EntityPart::kArc, EntityKind::kArc, RemapGroup::kLines, RemapGroup::kLines},
    {EntityPart::kPoint, EntityKind::kPoint, RemapGroup::kPointsAndTexts, RemapGroup::kNone},
    {EntityPart::kText, EntityKind::kText, RemapGroup::kPointsAndTexts, RemapGroup::kNone},
    // A dimension's own attributes are neither drawn nor remapped: its members are.
    {EntityPart::kDimension, EntityKind::kDimension, RemapGroup::kNone, RemapGroup::kNone},
    {EntityPart::kSolid, EntityKind::kSolid, RemapGroup::kSolids, RemapGroup::kNone},
    {EntityPart::kBlock, EntityKind::kBlock, RemapGroup::kNone, RemapGroup::kNone},
    {EntityPart::kBlockDef, EntityKind::kBlockDef, RemapGroup::kNone, RemapGroup::kNone},
    {EntityPart::kDimensionLine, EntityKind::kLine, RemapGroup::kDimensions,
     RemapGroup::kDimensions},
    {EntityPart::kDimensionText, EntityKind::kText, RemapGroup::kDimensions, RemapGroup::kNone},
    {EntityPart::kDimensionPoint, EntityKind::kPoint, RemapGroup::kDimensions, RemapGroup::kNone},
}};

constexpr EntityPart OwnPart(EntityKind kind) {
  return static_cast<EntityPart>(static_cast<std::size_t>(kind) - 1);
}

constexpr const PartInfo& PartInfoOf(EntityPart part) {
  return kEntityParts[static_cast<std::size_t>(part)];
}

// The colour code of a record that carries an RGB colour of its own (jw_cad's 任意色 fill).
inline constexpr std::uint16_t kOwnColor = 10;

// Whether the part's colour is its record's own RGB colour. No table maps it: the code names no
// pen, and a record remapped away from it would be written without the colour it carries.
constexpr bool IsOwnColor(const PartInfo& part, std::uint16_t color) {
  return color == kOwnColor && KindInfo(part.checked_as).colors == ColorCheck::kStandardSxfOrOwn;
}

// Whether the part's PenStyle is a line type - of lines, arcs and dimension lines; points and
// texts use the field otherwise, and nothing remaps it there.
constexpr bool HasLineType(const PartInfo& part) {
  return part.line_type != RemapGroup::kNone;
}

// The members of a dimension after its own attributes, in file order.
struct DimensionMember {
  EntityPart part;
  int since;         // the first version whose files carry it
  bool flag_before;  // the file has the member flag (u16) just before it
};

inline constexpr int kAllDimensionMembersSince = 420;

inline constexpr std::array<DimensionMember, 8> kDimensionMembers = {{
    {EntityPart::kDimensionLine, 0, false},
    {EntityPart::kDimensionText, 0, false},
    {EntityPart::kDimensionLine, kAllDimensionMembersSince, true},
    {EntityPart::kDimensionLine, kAllDimensionMembersSince, false},
    {EntityPart::kDimensionPoint, kAllDimensionMembersSince, false},
    {EntityPart::kDimensionPoint, kAllDimensionMembersSince, false},
    {EntityPart::kDimensionPoint, kAllDimensionMembersSince, false},
    {EntityPart::kDimensionPoint, kAllDimensionMembersSince, false},
}};

constexpr bool HasAllDimensionMembers(int version) {
  return version >= kAllDimensionMembersSince;
}

namespace detail {
constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i < kEntityKinds.size(); ++i) {
    if (kEntityKinds[i].kind != static_cast<EntityKind>(i + 1)) {
      return false;
    }
  }
  for (std::size_t i = 0; i < kEntityParts.size(); ++i) {
    if (kEntityParts[i].part != static_cast<EntityPart>(i)) {
      return false;
    }
  }
  for (std::size_t k = 1; k <= 8; ++k) {
    const EntityKind kind = static_cast<EntityKind>(k);
    if (KindInfo(kind).kind != kind || PartInfoOf(OwnPart(kind)).checked_as != kind) {
      return false;
    }
  }
  return true;
}
static_assert(RowsInOrder(), "rows are looked up by kind and part");
}  // namespace detail

}  // namespace penmorph::jw
