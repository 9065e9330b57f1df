#pragma once

// The record kinds of JWC drawings and JWK symbols, a row each: how failures and descriptions
// name them, where a record keeps its pen and its line type, and how previews draw and count it.
// The remap, the inventory, the preview and the descriptions go through these rows, so a field
// that every kind carries somewhere is a column here.

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "formats/dos/dos_records.h"
#include "preview/drawing.h"
#include "preview/inventory.h"

namespace penmorph::jw {

// The column of a kind whose records do not carry the field.
struct NoByte {
  std::uint8_t* operator()(const auto&) const { return nullptr; }
};

// `pen` and `line_type` give the byte of a record (const or not), or nullptr.
template <class Record, class Pen, class LineType>
struct DosKind {
  std::string_view name;        // one record, as failures name it
  std::string_view count_name;  // the header field that counts them
  std::string_view plural;      // as descriptions count them
  std::vector<Record> DosRecords::*records;
  Pen pen;
  LineType line_type;
  preview::PenRole role;            // the pen previews draw it with
  preview::InventoryColumn column;  // where inventories count it

  static constexpr bool kHasPen = !std::is_same_v<Pen, NoByte>;
  static constexpr bool kHasLineType = !std::is_same_v<LineType, NoByte>;
};

// Spelt out for compilers that do not deduce an aggregate's arguments themselves (clang 14).
template <class Record, class Pen, class LineType>
DosKind(std::string_view, std::string_view, std::string_view, std::vector<Record> DosRecords::*,
        Pen, LineType, preview::PenRole, preview::InventoryColumn)
    -> DosKind<Record, Pen, LineType>;

inline constexpr DosKind kDosLines{
    "line record",
    "line count",
    "lines",
    &DosRecords::lines,
    [](auto& line) { return &line.bytes[LineRecord::kPenOffset]; },
    [](auto& line) { return &line.bytes[LineRecord::kLineTypeOffset]; },
    preview::PenRole::kLine,
    preview::InventoryColumn::kLines};

inline constexpr DosKind kDosArcs{"circle/arc record",
                                  "circle/arc count",
                                  "circles/arcs",
                                  &DosRecords::arcs,
                                  [](auto& arc) { return &arc.pen; },
                                  [](auto& arc) { return &arc.line_type; },
                                  preview::PenRole::kLine,
                                  preview::InventoryColumn::kArcs};

// Texts carry no pen of their own.
inline constexpr DosKind kDosTexts{"text record",
                                   "text count",
                                   "texts",
                                   &DosRecords::texts,
                                   NoByte{},
                                   NoByte{},
                                   preview::PenRole::kText,
                                   preview::InventoryColumn::kTexts};

// Byte 8 of a point is carried, not a line type.
inline constexpr DosKind kDosPoints{
    "point record",
    "point count",
    "points",
    &DosRecords::points,
    [](auto& point) { return &point.bytes[PointRecord::kPenOffset]; },
    NoByte{},
    preview::PenRole::kPoint,
    preview::InventoryColumn::kPoints};

// Calls f(kind) for each kind, in the order a JWC drawing holds them.
template <class F>
void ForEachDosKind(F&& f) {
  f(kDosLines);
  f(kDosArcs);
  f(kDosTexts);
  f(kDosPoints);
}

}  // namespace penmorph::jw
