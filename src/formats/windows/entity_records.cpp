#include "formats/windows/entity_records.h"

#include <array>
#include <span>

#include "common/little_endian.h"
#include "formats/windows/entity_remap.h"
#include "formats/windows/jww_images.h"

namespace penmorph::jw {

namespace {

// Point body without its tail: f64, f64, i32.
constexpr std::uint64_t kSmallestBody = 20;

// Groups of f64 go as one piece: they make up most of every record.
void ReadDoubles(ByteReader& in, std::span<double> values) {
  const std::uint8_t* p = in.Take(values.size() * 8);
  for (double& value : values) {
    value = LoadLittleEndian<double>(p);
    p += 8;
  }
}

void WriteDoubles(ByteWriter& out, std::span<const double> values) {
  std::uint8_t* p = out.Reserve(values.size() * 8);
  for (double value : values) {
    StoreLittleEndian(p, value);
    p += 8;
  }
}

std::uint64_t StringSize(const ArchiveString& text) {
  const std::uint64_t length = text.length();
  const std::uint64_t header = length < 255 ? 1 : length < 0xFFFE ? 3 : 7;
  return (text.wide ? 3 : 0) + header + text.bytes.size();
}

// --- each kind's body: read, written and measured side by side ---

void ReadBody(ByteReader& in, int, TEntSen& line) {
  ReadDoubles(in, line.values);
}
void WriteBody(ByteWriter& out, int, const TEntSen& line) {
  WriteDoubles(out, line.values);
}
std::uint64_t BodySize(const TEntSen&, int) {
  return 32;
}

void ReadBody(ByteReader& in, int, TEntEnko& arc) {
  ReadDoubles(in, arc.values);
  arc.flag = in.read_i32le();
}
void WriteBody(ByteWriter& out, int, const TEntEnko& arc) {
  WriteDoubles(out, arc.values);
  out.write_i32le(arc.flag);
}
std::uint64_t BodySize(const TEntEnko&, int) {
  return 60;
}

void ReadBody(ByteReader& in, int, TEntTen& point) {
  ReadDoubles(in, point.values);
  point.code = in.read_i32le();
  if (point.HasTail()) {
    point.tail_code = in.read_i32le();
    ReadDoubles(in, point.tail_values);
  } else {
    point.tail_code = 0;  // a record may be read into one that held another
    point.tail_values = {};
  }
}
void WriteBody(ByteWriter& out, int, const TEntTen& point) {
  WriteDoubles(out, point.values);
  out.write_i32le(point.code);
  if (point.HasTail()) {
    out.write_i32le(point.tail_code);
    WriteDoubles(out, point.tail_values);
  }
}
std::uint64_t BodySize(const TEntTen& point, int) {
  return point.HasTail() ? 40 : 20;
}

void ReadBody(ByteReader& in, int, TEntMoji& text) {
  ReadDoubles(in, text.position);
  text.kind = in.read_i32le();
  ReadDoubles(in, text.layout);
  ReadArchiveString(in, text.font);
  ReadArchiveString(in, text.text);
}
void WriteBody(ByteWriter& out, int, const TEntMoji& text) {
  WriteDoubles(out, text.position);
  out.write_i32le(text.kind);
  WriteDoubles(out, text.layout);
  WriteArchiveString(out, text.font);
  WriteArchiveString(out, text.text);
}
std::uint64_t BodySize(const TEntMoji& text, int) {
  return 68 + StringSize(text.font) + StringSize(text.text);
}

void ReadBody(ByteReader& in, int version, TEntSunpo& dim) {
  ForEachMember(dim, version, [&](auto& member, const DimensionMember& info) {
    if (info.flag_before) {
      dim.member_flag = in.read_u16le();
    }
    member.base = ReadEntityBase(in, version);
    ReadBody(in, version, member);
  });
  if (!HasAllDimensionMembers(version)) {
    // Older files lack the later members; they take the dimension's own attributes.
    dim.member_flag = 0;
    ForEachMember(dim, kAllDimensionMembersSince, [&](auto& member, const DimensionMember& info) {
      if (version < info.since) {
        member = {};
        member.base = dim.base;
      }
    });
  }
}
void WriteBody(ByteWriter& out, int version, const TEntSunpo& dim) {
  ForEachMember(dim, version, [&](const auto& member, const DimensionMember& info) {
    if (info.flag_before) {
      out.write_u16le(dim.member_flag);
    }
    WriteEntityBaseAsRead(out, version, member.base);
    WriteBody(out, version, member);
  });
}
std::uint64_t BodySize(const TEntSunpo& dim, int version) {
  std::uint64_t size = 0;
  ForEachMember(dim, version, [&](const auto& member, const DimensionMember& info) {
    size += (info.flag_before ? 2 : 0) + EntityBaseSize(version) + BodySize(member, version);
  });
  return size;
}

void ReadBody(ByteReader& in, int, TEntSolid& solid) {
  ReadDoubles(in, solid.values);
  solid.color = solid.HasColor() ? in.read_i32le() : 0;
}
void WriteBody(ByteWriter& out, int, const TEntSolid& solid) {
  WriteDoubles(out, solid.values);
  if (solid.HasColor()) {
    out.write_i32le(solid.color);
  }
}
std::uint64_t BodySize(const TEntSolid& solid, int) {
  return solid.HasColor() ? 68 : 64;
}

void ReadBody(ByteReader& in, int, TEntBlock& block) {
  ReadDoubles(in, block.values);
  block.number = in.read_i32le();
}
void WriteBody(ByteWriter& out, int, const TEntBlock& block) {
  WriteDoubles(out, block.values);
  out.write_i32le(block.number);
}
std::uint64_t BodySize(const TEntBlock&, int) {
  return 44;
}

// --- the write rules ---

// Each attribute block a record carries, checked as its part's kind: a dimension's members as
// lines, texts and points.
bool AdjustBases(auto& record, int version) {
  bool changed = false;
  ForEachBase(record, version, [&](EntityBase& base, const PartInfo& part) {
    changed |= AdjustEntityBaseInPlace(version, part.checked_as, base);
  });
  return changed;
}

bool Clean(ArchiveString& name) {
  if (IsClean(name)) {
    return false;
  }
  name = CleanName(name);
  return true;
}

bool NormalizeRecordStrings(TEntMoji& text, const WriteRules& rules) {
  bool changed = Clean(text.font);
  if (rules.rewrite_text != nullptr &&
      (StartsWithAscii(text.text, kImageRefPrefix) || !IsClean(text.text))) {
    ArchiveString written = rules.rewrite_text(CleanName(text.text));
    if (!(written == text.text)) {
      text.text = std::move(written);
      changed = true;
    }
    return changed;
  }
  return Clean(text.text) || changed;
}

bool NormalizeRecordStrings(TEntSunpo& dim, const WriteRules&) {
  const bool font = Clean(dim.text.font);
  return Clean(dim.text.text) || font;
}

bool NormalizeRecordStrings(auto&, const WriteRules&) {
  return false;
}

}  // namespace

void PrepareRecord(EntityRecord& record, EntityKind kind) {
  const std::size_t index = static_cast<std::size_t>(kind) - 1;
  if (record.index() == index) {
    return;
  }
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    ((index == I ? (record.emplace<I>(), 0) : 0), ...);
  }
  (std::make_index_sequence<std::variant_size_v<EntityRecord>>());
}

RecordStep ConvertRecord(EntityRecord& record, ColorRemapper& remap, const RemapRules& remap_rules,
                         const WriteRules& write_rules, int read_version) {
  return std::visit(
      [&](auto& r) {
        Remap(remap, remap_rules, read_version, r);
        bool changed = remap.TakeChanged();
        changed |= AdjustBases(r, write_rules.version);
        const bool body_changed = NormalizeRecordStrings(r, write_rules);
        return RecordStep{changed || body_changed, body_changed,
                          EntityBaseSize(write_rules.version) + BodySize(r, write_rules.version)};
      },
      record);
}

bool Normalize(TEntBlockDef& def, const WriteRules& rules) {
  bool changed = AdjustBases(def, rules.version);
  if (def.replaced_bytes) {
    def.replaced_bytes.reset();  // the position read in its place stays
    changed = true;
  }
  return Clean(def.name) || changed;
}

void ReadEntityRecord(ByteReader& in, int version, EntityKind kind, EntityRecord& record) {
  PrepareRecord(record, kind);
  std::visit(
      [&](auto& r) {
        r.base = ReadEntityBase(in, version);
        ReadBody(in, version, r);
      },
      record);
}

void WriteEntityRecord(ByteWriter& out, int version, const EntityRecord& record) {
  std::visit(
      [&](const auto& r) {
        WriteEntityBaseAsRead(out, version, r.base);
        WriteBody(out, version, r);
      },
      record);
}

std::uint64_t EntityRecordSize(const EntityRecord& record, int version) {
  return std::visit([&](const auto& r) { return EntityBaseSize(version) + BodySize(r, version); },
                    record);
}

void ReadBlockDefHead(ByteReader& in, int version, std::int32_t position, TEntBlockDef& def,
                      std::int32_t& member_count) {
  def.base = ReadEntityBase(in, version);
  for (std::int32_t& value : def.values) {
    value = in.read_i32le();
  }
  def.replaced_value = 0;
  def.replaced_bytes.reset();
  if (def.values[2] < 0) {
    // A negative number is followed by 8 bytes that are not written back; the definition's
    // position takes its place.
    def.replaced_value = def.values[2];
    def.replaced_bytes.emplace();
    in.read_bytes(*def.replaced_bytes);
    def.values[2] = position;
  }
  def.name = ReadArchiveString(in);
  member_count = ReadArchiveCount(in);
}

void WriteBlockDefHead(ByteWriter& out, int version, const TEntBlockDef& def,
                       std::uint32_t member_count) {
  WriteEntityBaseAsRead(out, version, def.base);
  out.write_i32le(def.values[0]);
  out.write_i32le(def.values[1]);
  out.write_i32le(def.replaced_bytes ? def.replaced_value : def.values[2]);
  if (def.replaced_bytes) {
    out.write_bytes(*def.replaced_bytes);
  }
  WriteArchiveString(out, def.name);
  WriteArchiveCount(out, member_count);
}

std::uint64_t BlockDefHeadSize(const TEntBlockDef& def, int version, std::uint32_t member_count) {
  return EntityBaseSize(version) + 12 + (def.replaced_bytes ? 8 : 0) + StringSize(def.name) +
         (member_count <= 0xFFFE ? 2 : 6);
}

std::uint64_t MinEntityRecordSize(int version) {
  return 2 + EntityBaseSize(version) + kSmallestBody;
}

std::uint64_t MinBlockDefSize(int version) {
  return 2 + EntityBaseSize(version) + 12 + 1 + 2;  // tag, base, values, name, member count
}

}  // namespace penmorph::jw
