#pragma once

// The header of a JWW drawing: drawing-wide settings in front of the entity list. Almost all of
// it is carried through as it was read; the few fields the converter reads or rewrites are held
// by name, the rest as the bytes they were.

#include <array>
#include <cstdint>
#include <vector>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/archive_string.h"
#include "preview/layer_sheet.h"

namespace penmorph::jw {

template <std::size_t N>
using Bytes = std::array<std::uint8_t, N>;

// Where a layer group's scale stands in its values.
inline constexpr std::size_t kGroupScaleOffset = 8;

struct TLayerGroup {
  Bytes<20> values{};  // i32, i32, f64 scale, i32
  ArchiveString name;
  bool operator==(const TLayerGroup&) const = default;
};

struct TLayer {
  Bytes<8> values{};  // i32, i32
  ArchiveString name;
  bool operator==(const TLayer&) const = default;
};

struct TColorExNo {   // SXF colour definition
  Bytes<8> values{};  // i32, i32
  ArchiveString name;
  Bytes<16> definition{};  // i32, i32, f64
  bool operator==(const TColorExNo&) const = default;
};

struct TLineTypeExNo {  // SXF line-type definition
  Bytes<16> values{};   // 4 x i32
  ArchiveString name;
  Bytes<84> definition{};  // i32, 10 x f64
  bool operator==(const TLineTypeExNo&) const = default;
};

struct TextKind {
  Bytes<24> sizes{};  // 3 x f64
  std::int32_t color = 0;
  bool operator==(const TextKind&) const = default;
};
using TextKindTable = std::array<TextKind, 10>;

struct THeader {
  Bytes<8> magic{};
  std::int32_t version = 0;
  ArchiveString memo;
  Bytes<8> values4{};
  std::array<TLayerGroup, 16> layer_groups{};
  std::array<TLayer, 256> layers{};   // group * 16 + layer
  Bytes<56> reserved6{};              // read, but always written as zeros
  std::int32_t DimSettingColors = 0;  // three colour digits: units, tens, hundreds
  Bytes<16> values7{};
  std::int32_t reserved8 = 0;  // written as 0
  std::int32_t limited9 = 0;
  Bytes<72> values10{};
  Bytes<28> values13{};
  Bytes<16> values14{};  // version 300 and above
  Bytes<52> values15{};
  std::vector<std::uint8_t> view_table;  // 280 bytes above version 230, 96 up to it
  Bytes<168> values17{};
  Bytes<160> values18{};
  Bytes<128> values19{};
  Bytes<164> values20{};
  // The settings block: part b is held as its tens and units, parts c-e by version.
  Bytes<40> settings_a{};
  std::int32_t settings_tens = 0;
  std::int32_t settings_units = 0;
  Bytes<60> settings_c{};                     // version 223 and above
  Bytes<32> settings_d{};                     // version 225 and above
  Bytes<8> settings_e{};                      // version 230 and above
  std::vector<TColorExNo> sxf_colors;         // 257, version 420 and above
  std::vector<TLineTypeExNo> sxf_line_types;  // 33, version 420 and above
  TextKindTable text_kinds{};
  Bytes<100> values25{};
  bool operator==(const THeader&) const = default;
};

// The fields of item 5 that layers are shown and drawn by.
std::int32_t GroupState(const TLayerGroup& group);  // jw_cad's state (preview/layer_sheet.h)
double GroupScale(const TLayerGroup& group);        // the drawing scale of the group's layers
std::int32_t LayerState(const TLayer& layer);

// The names and states of the header's layers and groups.
preview::LayerSheet ReadLayerSheet(const THeader& header);

inline constexpr std::string_view kJwwMagic = "JwwData.";

// Fails (kUnsupported) for versions this program does not convert: below 220, and those that
// no jw_cad ever wrote and whose layout is therefore unknown (221, 222, 224, 226-229, 231-299).
Status CheckJwwVersion(std::int32_t version);

// Items 1-25. `through_settings` stops after the settings block, which is all the memo needs.
void ReadJwwHeader(ByteReader& in, THeader& header, bool through_settings = false);
// The write rules for the header: reserved items zero, item 9 limited, item 21b in the form its
// version reads, names cleaned (the memo, the user's own text, stays as it is).
void NormalizeJwwHeader(THeader& header);
// Writes the header for its own version, every value as held.
void WriteJwwHeader(ByteWriter& out, const THeader& header);

}  // namespace penmorph::jw
