#pragma once

// The conversion tables declared once. A settings file numbers the entries of each family from 1
// ("C1", "C2", ... in its section); a part is a run of those entries with one rule for its
// values and the source numbers it remaps. Everything else - the entry counts, the lookups, the
// dialogs' rows, the ini reader and writer - is derived from these declarations, so a part's
// place is written here only.

#include <array>
#include <cstdint>
#include <string_view>

namespace penmorph {

// The values an entry takes.
enum class EntryRule {
  kPenItem,          // a DOS pen list's item: 0 (no conversion) or pen 1-6
  kDosLineTypeItem,  // a DOS line-type list's item: 0-18, the blank item 10 refused
  kColour,           // 0 (no conversion) or colour 1-9
  kLineType,         // 0 (no conversion), 1-9 or 11-19
  kFlag,             // on when 1
};

// What the entries of a part act on in a record.
enum class Remaps {
  kPen,       // the pen or colour of every entity, of solids and of the text and dimension settings
  kLineType,  // the line type of every entity
  kOptions,   // nothing themselves: they widen what the pens and line types reach
};

// Source numbers first_code ... last_code use the part's entries from `offset` on.
struct CodeRun {
  int first_code = 0;
  int last_code = -1;
  int offset = 0;
};

struct TablePart {
  std::string_view name;     // for the tests and the documents
  std::string_view section;  // the ini section of its family
  int first_entry = 1;
  int count = 0;
  EntryRule rule = EntryRule::kFlag;
  Remaps remaps = Remaps::kOptions;
  std::array<CodeRun, 2> codes{};

  constexpr int EntryAfter() const { return first_entry + count; }
  // The entry that remaps source number `code`, or 0 when the part does not remap it.
  constexpr int EntryOf(int code) const {
    for (const CodeRun& run : codes) {
      if (code >= run.first_code && code <= run.last_code) {
        return first_entry + run.offset + (code - run.first_code);
      }
    }
    return 0;
  }
};

inline constexpr std::string_view kDosSection = "JWC";
inline constexpr std::string_view kWindowsSection = "JWW";

// The DOS formats (JWC, JWK): six pens, seventeen line types (there is no line type 10), one flag.
inline constexpr TablePart kJwcPens{"jwc_pens",   kDosSection,  1, 6, EntryRule::kPenItem,
                                    Remaps::kPen, {{{1, 6, 0}}}};
inline constexpr TablePart kJwcLineTypes{"jwc_line_types",
                                         kDosSection,
                                         kJwcPens.EntryAfter(),
                                         17,
                                         EntryRule::kDosLineTypeItem,
                                         Remaps::kLineType,
                                         {{{1, 9, 0}, {11, 18, 9}}}};
inline constexpr TablePart kJwcOptions{"jwc_options", kDosSection, kJwcLineTypes.EntryAfter(), 1};

// The Windows formats (JWW, JWS): nine colours, 256 SXF colours (code 100 + n), eighteen line
// types, 31 SXF line types (codes 31-45 and 47-62; SXF 16, code 46, has none) and seven flags.
inline constexpr TablePart kJwwColours{"jww_colours", kWindowsSection, 1, 9, EntryRule::kColour,
                                       Remaps::kPen,  {{{1, 9, 0}}}};
inline constexpr TablePart kSxfColours{
    "sxf_colours",      kWindowsSection, kJwwColours.EntryAfter(), 256,
    EntryRule::kColour, Remaps::kPen,    {{{101, 356, 0}}}};
inline constexpr TablePart kJwwLineTypes{
    "jww_line_types",     kWindowsSection,   kSxfColours.EntryAfter(),  18,
    EntryRule::kLineType, Remaps::kLineType, {{{1, 9, 0}, {11, 19, 9}}}};
inline constexpr TablePart kSxfLineTypes{
    "sxf_line_types",     kWindowsSection,   kJwwLineTypes.EntryAfter(),   31,
    EntryRule::kLineType, Remaps::kLineType, {{{31, 45, 0}, {47, 62, 15}}}};
inline constexpr TablePart kJwwOptions{"jww_options", kWindowsSection, kSxfLineTypes.EntryAfter(),
                                       7};

inline constexpr std::array<TablePart, 3> kDosParts = {kJwcPens, kJwcLineTypes, kJwcOptions};
inline constexpr std::array<TablePart, 5> kWindowsParts = {kJwwColours, kSxfColours, kJwwLineTypes,
                                                           kSxfLineTypes, kJwwOptions};

// The layer table's sections: "0-3=2-5" in [LAYER], "2-5=壁" in [LAYERNAME], "2=平面図" in
// [GROUPNAME], "*壁*=0-2" in [LAYERBYNAME].
inline constexpr std::string_view kLayerSection = "LAYER";
inline constexpr std::string_view kLayerNameSection = "LAYERNAME";
inline constexpr std::string_view kGroupNameSection = "GROUPNAME";
// Rules by name, in the order they are tried: "*壁*=0-2".
inline constexpr std::string_view kLayerByNameSection = "LAYERBYNAME";

// Whether `value` is one the rule accepts.
constexpr bool IsValidEntry(EntryRule rule, std::int32_t value) {
  switch (rule) {
    case EntryRule::kPenItem:
      return value >= 0 && value <= 6;
    case EntryRule::kDosLineTypeItem:
      return value >= 0 && value <= 18 && value != 10;
    case EntryRule::kColour:
      return value >= 0 && value <= 9;
    case EntryRule::kLineType:
      return (value >= 0 && value <= 9) || (value >= 11 && value <= 19);
    case EntryRule::kFlag:
      return value == 0 || value == 1;
  }
  return false;
}

// The entry of the first of `parts` that remaps `code`, or 0.
template <std::size_t N>
constexpr int EntryOfCode(const std::array<TablePart, N>& parts, Remaps remaps, int code) {
  for (const TablePart& part : parts) {
    if (part.remaps == remaps) {
      if (const int entry = part.EntryOf(code); entry != 0) {
        return entry;
      }
    }
  }
  return 0;
}

// The largest source number the parts of that kind remap.
template <std::size_t N>
constexpr int LastCode(const std::array<TablePart, N>& parts, Remaps remaps) {
  int last = 0;
  for (const TablePart& part : parts) {
    for (const CodeRun& run : part.codes) {
      if (part.remaps == remaps && run.last_code > last) {
        last = run.last_code;
      }
    }
  }
  return last;
}

// Source number -> entry for every number up to the last, worked out from the parts when the
// program is compiled: the lookups run for every entity of a conversion.
template <std::size_t Size, std::size_t N>
constexpr std::array<std::int16_t, Size> EntryTable(const std::array<TablePart, N>& parts,
                                                    Remaps remaps) {
  std::array<std::int16_t, Size> table{};
  for (std::size_t code = 0; code < Size; ++code) {
    table[code] = static_cast<std::int16_t>(EntryOfCode(parts, remaps, static_cast<int>(code)));
  }
  return table;
}

template <std::size_t Size>
constexpr int LookUpEntry(const std::array<std::int16_t, Size>& table, std::int32_t code) {
  return code >= 0 && code < static_cast<std::int32_t>(Size) ? table[code] : 0;
}

inline constexpr auto kDosPenEntries =
    EntryTable<LastCode(kDosParts, Remaps::kPen) + 1>(kDosParts, Remaps::kPen);
inline constexpr auto kDosLineTypeEntries =
    EntryTable<LastCode(kDosParts, Remaps::kLineType) + 1>(kDosParts, Remaps::kLineType);
inline constexpr auto kWindowsColourEntries =
    EntryTable<LastCode(kWindowsParts, Remaps::kPen) + 1>(kWindowsParts, Remaps::kPen);
inline constexpr auto kWindowsLineTypeEntries =
    EntryTable<LastCode(kWindowsParts, Remaps::kLineType) + 1>(kWindowsParts, Remaps::kLineType);

// The parts follow each other without a gap, each family's last being its flags.
template <std::size_t N>
constexpr bool Contiguous(const std::array<TablePart, N>& parts) {
  int next = 1;
  for (const TablePart& part : parts) {
    if (part.first_entry != next) {
      return false;
    }
    next = part.EntryAfter();
  }
  return true;
}
static_assert(Contiguous(kDosParts) && Contiguous(kWindowsParts));

}  // namespace penmorph
