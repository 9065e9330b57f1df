#pragma once

// The conversion tables and the lookups that remap pen, colour and line-type numbers.
// Entries are numbered from 1, as in the settings keys "C1" ... (a value of 0 means "no
// conversion"). The tables are plain values: whoever runs a conversion owns one of each.

#include <array>
#include <cstdint>
#include <string>

#include "settings/layer_table.h"
#include "settings/table_schema.h"

namespace penmorph {

template <int Count>
class ConvTable {
 public:
  static constexpr int kEntryCount = Count;

  // Entry numbers outside 1..Count are a programming error; they read as 0 and are not stored.
  std::int32_t Entry(int number) const { return InRange(number) ? entries_[number - 1] : 0; }
  void SetEntry(int number, std::int32_t value) {
    if (InRange(number)) {
      entries_[number - 1] = value;
    }
  }
  void Reset() { entries_.fill(0); }
  bool operator==(const ConvTable&) const = default;

  static constexpr bool InRange(int number) { return number >= 1 && number <= Count; }

 protected:
  // Maps a source number through an entry: an entry of 0 or less keeps the source number.
  std::int32_t Through(int entry, std::int32_t source) const {
    std::int32_t value = Entry(entry);
    return value <= 0 ? source : value;
  }

 private:
  std::array<std::int32_t, Count> entries_{};
};

// DOS formats (JWC, JWK): see kDosParts.
class JwcConvSettings : public ConvTable<kJwcOptions.EntryAfter() - 1> {
 public:
  static constexpr int kChangeTextPen = kJwcOptions.first_entry;

  // Entry numbers behind a source number; 0 when the number is outside the known ranges.
  static int PenEntry(int pen);
  static int LineTypeEntry(int type);

  bool ChangeTextPen() const { return Entry(kChangeTextPen) == 1; }

  friend std::int32_t MapJwcPen(const JwcConvSettings& table, std::uint8_t pen);
  friend std::int32_t MapJwcLineType(const JwcConvSettings& table, std::uint8_t type);
};

// Windows formats (JWW, JWS): see kWindowsParts.
class JwwConvSettings : public ConvTable<kJwwOptions.EntryAfter() - 1> {
 public:
  enum Option : int {
    kChangeTextSettingColor = kJwwOptions.first_entry,
    kChangeDimSettingColor,
    kChangeSolidColor,
    kChangeDimColor,
    kChangeBlockColor,
    kChangeDimLineType,
    kChangeBlockLineType,
  };
  static_assert(kChangeBlockLineType == kJwwOptions.EntryAfter() - 1);

  static int ColorEntry(std::int32_t code);
  static int LineTypeEntry(int code);

  // A flag acts only on the value 1.
  bool IsOn(Option option) const { return Entry(option) == 1; }

  friend std::int32_t MapJwwColor(const JwwConvSettings& table, std::int32_t code);
  friend std::int32_t MapJwwLineType(const JwwConvSettings& table, std::uint8_t code);
};

// Each returns 1 for a number outside the known ranges, whatever the table holds.
std::int32_t MapJwcPen(const JwcConvSettings& table, std::uint8_t pen);
std::int32_t MapJwcLineType(const JwcConvSettings& table, std::uint8_t type);
std::int32_t MapJwwColor(const JwwConvSettings& table, std::int32_t code);
std::int32_t MapJwwLineType(const JwwConvSettings& table, std::uint8_t code);

// The tables, as a conversion run is handed them. The layer table applies to the Windows formats
// only: where a DOS record keeps its layer is not known.
struct ConversionTables {
  JwcConvSettings jwc;
  JwwConvSettings jww;
  LayerTable layers;
  bool operator==(const ConversionTables&) const = default;
};

// Inline: the lookups run for every entity of a conversion.
inline int JwcConvSettings::PenEntry(int pen) {
  return LookUpEntry(kDosPenEntries, pen);
}

inline int JwcConvSettings::LineTypeEntry(int type) {
  return LookUpEntry(kDosLineTypeEntries, type);
}

inline int JwwConvSettings::ColorEntry(std::int32_t code) {
  return LookUpEntry(kWindowsColourEntries, code);
}

inline int JwwConvSettings::LineTypeEntry(int code) {
  return LookUpEntry(kWindowsLineTypeEntries, code);
}

inline std::int32_t MapJwcPen(const JwcConvSettings& table, std::uint8_t pen) {
  int entry = JwcConvSettings::PenEntry(pen);
  return entry == 0 ? 1 : table.Through(entry, pen);
}

inline std::int32_t MapJwcLineType(const JwcConvSettings& table, std::uint8_t type) {
  int entry = JwcConvSettings::LineTypeEntry(type);
  return entry == 0 ? 1 : table.Through(entry, type);
}

inline std::int32_t MapJwwColor(const JwwConvSettings& table, std::int32_t code) {
  int entry = JwwConvSettings::ColorEntry(code);
  return entry == 0 ? 1 : table.Through(entry, code);
}

inline std::int32_t MapJwwLineType(const JwwConvSettings& table, std::uint8_t code) {
  int entry = JwwConvSettings::LineTypeEntry(code);
  return entry == 0 ? 1 : table.Through(entry, code);
}

// The settings key of an entry ("C12"); failure reasons name entries by it.
std::string EntryKey(int number);

}  // namespace penmorph
