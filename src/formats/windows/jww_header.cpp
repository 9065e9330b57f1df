#include "formats/windows/jww_header.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

#include "common/little_endian.h"

namespace penmorph::jw {

namespace {

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

// The header's items after the version, in file order as files of the header's version carry
// them, up to the end of the settings block (all a memo needs) and from there to the end. The
// reader and the writer are two walks over this one list: io(field) for numbers and blocks of
// bytes, io.Name for strings, io.Sized for a block whose length the version decides,
// io.TensAndUnits for item 21b, io.Table for an SXF table (its entries' numbers first, then
// each entry's name and definition).
template <class H, class Io>
void ForEachItemThroughSettings(H& h, Io& io) {
  const int v = h.version;
  io.Name(h.memo);
  io(h.values4);
  for (std::size_t g = 0; g < h.layer_groups.size(); ++g) {
    io(h.layer_groups[g].values);
    for (std::size_t layer = 0; layer < 16; ++layer) {
      io(h.layers[g * 16 + layer].values);
    }
  }
  io(h.reserved6);
  io(h.DimSettingColors);
  io(h.values7);
  io(h.reserved8);
  io(h.limited9);
  io(h.values10);
  for (auto& layer : h.layers) {
    io.Name(layer.name);
  }
  for (auto& group : h.layer_groups) {
    io.Name(group.name);
  }
  io(h.values13);
  if (HasItem14(v)) {
    io(h.values14);
  }
  io(h.values15);
  io.Sized(h.view_table, HasLongViewTable(v) ? kLongViewTable : kShortViewTable);
  io(h.values17);
  io(h.values18);
  io(h.values19);
  io(h.values20);
  io(h.settings_a);
  io.TensAndUnits(h.settings_tens, h.settings_units);
  if (HasSettingsC(v)) {
    io(h.settings_c);
  }
  if (HasSettingsD(v)) {
    io(h.settings_d);
  }
  if (HasSettingsE(v)) {
    io(h.settings_e);
  }
}

template <class H, class Io>
void ForEachItemAfterSettings(H& h, Io& io) {
  if (HasSxfTables(h.version)) {
    auto name_and_definition = [&io](auto& entry) {
      io.Name(entry.name);
      io(entry.definition);
    };
    io.Table(h.sxf_colors, kSxfColorCount, name_and_definition);
    io.Table(h.sxf_line_types, kSxfLineTypeCount, name_and_definition);
  }
  for (auto& kind : h.text_kinds) {
    io(kind.sizes);
    io(kind.color);
  }
  io(h.values25);
}

class ItemReader {
 public:
  explicit ItemReader(ByteReader& in) : in_(in) {}
  template <std::size_t N>
  void operator()(Bytes<N>& bytes) {
    in_.read_bytes(bytes);
  }
  void operator()(std::int32_t& value) { value = in_.read_i32le(); }
  void Name(ArchiveString& text) { ReadName(in_, text); }
  void Sized(std::vector<std::uint8_t>& bytes, std::size_t size) {
    bytes.resize(size);
    in_.read_bytes(bytes);
  }
  void TensAndUnits(std::int32_t& tens, std::int32_t& units) {
    const std::int32_t value = in_.read_i32le();
    tens = value / 10;
    units = value % 10;
  }
  template <class Entry, class Rest>
  void Table(std::vector<Entry>& entries, int count, Rest rest) {
    entries.resize(static_cast<std::size_t>(count));
    for (Entry& entry : entries) {
      in_.read_bytes(entry.values);
    }
    for (Entry& entry : entries) {
      rest(entry);
    }
  }

 private:
  ByteReader& in_;
};

class ItemWriter {
 public:
  explicit ItemWriter(ByteWriter& out) : out_(out) {}
  template <std::size_t N>
  void operator()(const Bytes<N>& bytes) {
    out_.write_bytes(bytes);
  }
  void operator()(std::int32_t value) { out_.write_i32le(value); }
  void Name(const ArchiveString& text) { WriteName(out_, text); }
  // A block held shorter or longer than the version has it goes out cut or padded with zeros.
  void Sized(const std::vector<std::uint8_t>& bytes, std::size_t size) {
    const std::size_t held = std::min(bytes.size(), size);
    out_.write_bytes(std::span(bytes).first(held));
    for (std::size_t i = held; i < size; ++i) {
      out_.write_u8(0);
    }
  }
  void TensAndUnits(std::int32_t tens, std::int32_t units) { out_.write_i32le(tens * 10 + units); }
  // The table in full: entries the header lacks go out blank, without copying the table.
  template <class Entry, class Rest>
  void Table(const std::vector<Entry>& entries, int count, Rest rest) {
    const Entry blank;
    auto entry = [&](int i) -> const Entry& {
      return static_cast<std::size_t>(i) < entries.size() ? entries[static_cast<std::size_t>(i)]
                                                          : blank;
    };
    for (int i = 0; i < count; ++i) {
      out_.write_bytes(entry(i).values);
    }
    for (int i = 0; i < count; ++i) {
      rest(entry(i));
    }
  }

 private:
  ByteWriter& out_;
};

}  // namespace

void ReadJwwHeader(ByteReader& in, THeader& h, bool through_settings) {
  in.read_bytes(h.magic);
  h.version = in.read_i32le();
  if (!in.ok()) {
    return;
  }
  if (Status known = CheckJwwVersion(h.version); !known.ok()) {
    in.FailAt(known.error().kind, known.error().message, 8);
    return;
  }
  ItemReader reader(in);
  ForEachItemThroughSettings(h, reader);
  if (through_settings || !in.ok()) {
    return;
  }
  ForEachItemAfterSettings(h, reader);
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
  out.write_bytes(h.magic);
  out.write_i32le(h.version);
  ItemWriter writer(out);
  ForEachItemThroughSettings(h, writer);
  ForEachItemAfterSettings(h, writer);
}

std::int32_t GroupState(const TLayerGroup& group) {
  return LoadLittleEndian<std::int32_t>(group.values.data());
}

double GroupScale(const TLayerGroup& group) {
  return LoadLittleEndian<double>(group.values.data() + kGroupScaleOffset);
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
