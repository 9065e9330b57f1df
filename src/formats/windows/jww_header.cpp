#include "formats/windows/jww_header.h"

#include <cstring>
#include <string>

#include "common/little_endian.h"

namespace penmorph::jw {

namespace {

template <std::size_t N>
void Read(ByteReader& in, Bytes<N>& bytes) {
  in.read_bytes(bytes);
}
template <std::size_t N>
void Write(ByteWriter& out, const Bytes<N>& bytes) {
  out.write_bytes(bytes);
}

// A header holds hundreds of short byte strings, most of them empty: those are read and written
// here without a call, the other forms by the general functions. Kept to this file: made inline
// for every record's strings, the same code slowed down the reading of entity lists, and even
// declared inline in archive_string.h beside them it cost the lists 1-2 %.
void ReadName(ByteReader& in, ArchiveString& text) {
  if (in.ok()) {
    const std::uint8_t* first = in.Peek(1);
    // Taken now: the next Peek may refill the buffer the first byte stands in.
    const std::size_t length = first != nullptr ? *first : ByteReader::kMaxTake;
    if (length < ByteReader::kMaxTake) {
      if (const std::uint8_t* at = in.Peek(1 + length)) {
        text.wide = false;
        text.bytes.assign(reinterpret_cast<const char*>(at + 1), length);
        in.Consume(1 + length);
        return;
      }
    }
  }
  ReadArchiveString(in, text);
}

void WriteName(ByteWriter& out, const ArchiveString& text) {
  if (!text.wide && text.bytes.size() < 255) {  // the one-byte length form
    std::uint8_t* at = out.Reserve(1 + text.bytes.size());
    at[0] = static_cast<std::uint8_t>(text.bytes.size());
    if (!text.bytes.empty()) {
      std::memcpy(at + 1, text.bytes.data(), text.bytes.size());
    }
    return;
  }
  WriteArchiveString(out, text);
}

constexpr std::size_t kLongViewTable = 280;
constexpr std::size_t kShortViewTable = 96;
constexpr int kSxfColorCount = 257;
constexpr int kSxfLineTypeCount = 33;

// An SXF table in full, `count` entries: those the header lacks go out blank, without copying
// the table. The values of every entry first, then each entry's name and definition.
template <class Entry>
void WriteSxfTable(ByteWriter& out, const std::vector<Entry>& entries, int count) {
  const Entry blank;
  auto entry = [&](int i) -> const Entry& {
    return static_cast<std::size_t>(i) < entries.size() ? entries[static_cast<std::size_t>(i)]
                                                        : blank;
  };
  for (int i = 0; i < count; ++i) {
    Write(out, entry(i).values);
  }
  for (int i = 0; i < count; ++i) {
    WriteName(out, entry(i).name);
    Write(out, entry(i).definition);
  }
}

bool HasItem14(int v) {
  return v >= 300;
}
bool HasLongViewTable(int v) {
  return v > 230;
}
bool HasSxfTables(int v) {
  return v >= 420;
}
bool HasSettingsC(int v) {
  return v >= 223;
}
bool HasSettingsD(int v) {
  return v >= 225;
}
bool HasSettingsE(int v) {
  return v >= 230;
}

// Item 21b: from version 600 the value carries a tens part; below, only its last digit counts.
std::int32_t SettingsB(const THeader& h) {
  if (h.version >= 600) {
    return h.settings_tens > 0 ? h.settings_tens * 10 + h.settings_units : h.settings_units + 10;
  }
  return h.settings_units;
}

// Item 9 cannot go below -101 in files of version 420 and older.
std::int32_t Limited9(const THeader& h) {
  return h.version <= 420 && h.limited9 < -101 ? -101 : h.limited9;
}

}  // namespace

Status CheckJwwVersion(std::int32_t v) {
  if (v < 220) {
    return MakeError(ErrorKind::kUnsupported,
                     "JWW version " + std::to_string(v) + " is older than 220 and not converted",
                     8);
  }
  bool known = v == 220 || v == 223 || v == 225 || v == 230 || v >= 300;
  if (!known) {
    return MakeError(ErrorKind::kUnsupported,
                     "JWW version " + std::to_string(v) +
                         " is not one that jw_cad writes; its layout is unknown",
                     8);
  }
  return Status::Ok();
}

namespace {

// The layer groups and their layers, up to the names of both.
void ReadLayers(ByteReader& in, THeader& h) {
  for (TLayerGroup& group : h.layer_groups) {
    Read(in, group.values);
    for (int layer = 0; layer < 16; ++layer) {
      std::size_t index = static_cast<std::size_t>(&group - h.layer_groups.data()) * 16 + layer;
      Read(in, h.layers[index].values);
    }
  }
  Read(in, h.reserved6);
  h.DimSettingColors = in.read_i32le();
  Read(in, h.values7);
  h.reserved8 = in.read_i32le();
  h.limited9 = in.read_i32le();
  Read(in, h.values10);
  for (TLayer& layer : h.layers) {
    ReadName(in, layer.name);
  }
  for (TLayerGroup& group : h.layer_groups) {
    ReadName(in, group.name);
  }
}

// From the items after the names to the end of the settings, as the version has them.
void ReadSettings(ByteReader& in, THeader& h) {
  const int v = h.version;
  Read(in, h.values13);
  if (HasItem14(v)) {
    Read(in, h.values14);
  }
  Read(in, h.values15);
  h.view_table.resize(HasLongViewTable(v) ? kLongViewTable : kShortViewTable);
  in.read_bytes(h.view_table);
  Read(in, h.values17);
  Read(in, h.values18);
  Read(in, h.values19);
  Read(in, h.values20);
  Read(in, h.settings_a);
  std::int32_t b = in.read_i32le();
  h.settings_tens = b / 10;
  h.settings_units = b % 10;
  if (HasSettingsC(v)) {
    Read(in, h.settings_c);
  }
  if (HasSettingsD(v)) {
    Read(in, h.settings_d);
  }
  if (HasSettingsE(v)) {
    Read(in, h.settings_e);
  }
}

// The SXF colours and line types: their numbers first, then their names and definitions.
void ReadSxfTables(ByteReader& in, THeader& h) {
  h.sxf_colors.resize(kSxfColorCount);
  for (TColorExNo& color : h.sxf_colors) {
    Read(in, color.values);
  }
  for (TColorExNo& color : h.sxf_colors) {
    ReadName(in, color.name);
    Read(in, color.definition);
  }
  h.sxf_line_types.resize(kSxfLineTypeCount);
  for (TLineTypeExNo& type : h.sxf_line_types) {
    Read(in, type.values);
  }
  for (TLineTypeExNo& type : h.sxf_line_types) {
    ReadName(in, type.name);
    Read(in, type.definition);
  }
}

}  // namespace

void ReadJwwHeader(ByteReader& in, THeader& h, bool through_settings) {
  Read(in, h.magic);
  h.version = in.read_i32le();
  if (!in.ok()) {
    return;
  }
  if (Status known = CheckJwwVersion(h.version); !known.ok()) {
    in.FailAt(known.error().kind, known.error().message, 8);
    return;
  }
  h.memo = ReadArchiveString(in);
  Read(in, h.values4);
  ReadLayers(in, h);
  ReadSettings(in, h);
  if (through_settings || !in.ok()) {
    return;
  }
  if (HasSxfTables(h.version)) {
    ReadSxfTables(in, h);
  }
  for (TextKind& kind : h.text_kinds) {
    Read(in, kind.sizes);
    kind.color = in.read_i32le();
  }
  Read(in, h.values25);
}

void NormalizeJwwHeader(THeader& h) {
  h.reserved6 = {};
  h.reserved8 = 0;
  h.limited9 = Limited9(h);
  const std::int32_t b = SettingsB(h);
  h.settings_tens = b / 10;
  h.settings_units = b % 10;
  // Nearly every name is clean already, and is then neither copied nor built again.
  auto clean = [](ArchiveString& name) {
    if (!IsClean(name)) {
      name = CleanName(name);
    }
  };
  for (TLayer& layer : h.layers) {
    clean(layer.name);
  }
  for (TLayerGroup& group : h.layer_groups) {
    clean(group.name);
  }
  for (TColorExNo& color : h.sxf_colors) {
    clean(color.name);
  }
  for (TLineTypeExNo& type : h.sxf_line_types) {
    clean(type.name);
  }
}

void WriteJwwHeader(ByteWriter& out, const THeader& h) {
  const int v = h.version;
  Write(out, h.magic);
  out.write_i32le(v);
  WriteArchiveString(out, h.memo);
  Write(out, h.values4);
  for (std::size_t g = 0; g < h.layer_groups.size(); ++g) {
    Write(out, h.layer_groups[g].values);
    for (std::size_t layer = 0; layer < 16; ++layer) {
      Write(out, h.layers[g * 16 + layer].values);
    }
  }
  Write(out, h.reserved6);
  out.write_i32le(h.DimSettingColors);
  Write(out, h.values7);
  out.write_i32le(h.reserved8);
  out.write_i32le(h.limited9);
  Write(out, h.values10);
  for (const TLayer& layer : h.layers) {
    WriteName(out, layer.name);
  }
  for (const TLayerGroup& group : h.layer_groups) {
    WriteName(out, group.name);
  }
  Write(out, h.values13);
  if (HasItem14(v)) {
    Write(out, h.values14);
  }
  Write(out, h.values15);
  std::vector<std::uint8_t> view = h.view_table;
  view.resize(HasLongViewTable(v) ? kLongViewTable : kShortViewTable);
  out.write_bytes(view);
  Write(out, h.values17);
  Write(out, h.values18);
  Write(out, h.values19);
  Write(out, h.values20);
  Write(out, h.settings_a);
  out.write_i32le(h.settings_tens * 10 + h.settings_units);
  if (HasSettingsC(v)) {
    Write(out, h.settings_c);
  }
  if (HasSettingsD(v)) {
    Write(out, h.settings_d);
  }
  if (HasSettingsE(v)) {
    Write(out, h.settings_e);
  }
  if (HasSxfTables(v)) {
    WriteSxfTable(out, h.sxf_colors, kSxfColorCount);
    WriteSxfTable(out, h.sxf_line_types, kSxfLineTypeCount);
  }
  for (const TextKind& kind : h.text_kinds) {
    Write(out, kind.sizes);
    out.write_i32le(kind.color);
  }
  Write(out, h.values25);
}

std::int32_t GroupState(const TLayerGroup& group) {
  return LoadLittleEndian<std::int32_t>(group.values.data());
}

double GroupScale(const TLayerGroup& group) {
  return LoadLittleEndian<double>(group.values.data() + 8);
}

std::int32_t LayerState(const TLayer& layer) {
  return LoadLittleEndian<std::int32_t>(layer.values.data());
}

preview::LayerSheet ReadLayerSheet(const THeader& header) {
  preview::LayerSheet sheet;
  sheet.known = true;
  for (int index = 0; index < kLayerCount; ++index) {
    sheet.names[index] = NameText(header.layers[index].name);
    sheet.states[index] = LayerState(header.layers[index]);
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    sheet.group_names[group] = NameText(header.layer_groups[group].name);
    sheet.group_states[group] = GroupState(header.layer_groups[group]);
  }
  return sheet;
}

}  // namespace penmorph::jw
