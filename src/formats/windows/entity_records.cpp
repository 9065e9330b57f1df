#include "formats/windows/entity_records.h"

#include <array>
#include <span>

#include "common/little_endian.h"
#include "formats/windows/entity_remap.h"
#include "formats/windows/jww_images.h"
#include "formats/windows/record_layout.h"

namespace penmorph::jw {

namespace {

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

// --- each kind's body, by the walk over its declared fields ---

class BodyReader {
 public:
  BodyReader(ByteReader& in, int version) : in_(in), version_(version) {}
  template <std::size_t N>
  void operator()(std::array<double, N>& values) {
    ReadDoubles(in_, values);
  }
  void operator()(std::int32_t& value) { value = in_.read_i32le(); }
  void operator()(std::uint16_t& value) { value = in_.read_u16le(); }
  void operator()(ArchiveString& text) { ReadArchiveString(in_, text); }
  // A record may be read into one that held another: what this one lacks is cleared.
  template <class T>
  void Absent(T& field) {
    field = {};
  }
  void Base(EntityBase& base) { base = ReadEntityBase(in_, version_); }

 protected:
  ByteReader& in() { return in_; }
  int version() const { return version_; }

 private:
  ByteReader& in_;
  int version_;
};

// A scan: the numbers passed over by their declared size and left as they were; the strings
// and the members' attribute blocks decoded.
class BodyScanner : public BodyReader {
 public:
  using BodyReader::BodyReader;
  using BodyReader::operator();
  template <std::size_t N>
  void operator()(std::array<double, N>&) {
    in().Take(N * 8);
  }
  void operator()(std::int32_t&) { in().Take(4); }
  void operator()(std::uint16_t&) { in().Take(2); }
};

// A scan that passes over the strings too, measuring them only.
class BodyPasser : public BodyScanner {
 public:
  using BodyScanner::BodyScanner;
  using BodyScanner::operator();
  void operator()(ArchiveString&) { SkipArchiveString(in()); }
};

// After a scan: the numbers read; the strings and attribute blocks passed over, as the
// conversion may have changed them.
class BodyFiller : public BodyReader {
 public:
  using BodyReader::BodyReader;
  using BodyReader::operator();
  void operator()(ArchiveString&) { SkipArchiveString(in()); }
  void Base(EntityBase&) { in().Take(EntityBaseSize(version())); }
};

class BodyWriter {
 public:
  BodyWriter(ByteWriter& out, int version) : out_(out), version_(version) {}
  template <std::size_t N>
  void operator()(const std::array<double, N>& values) {
    WriteDoubles(out_, values);
  }
  void operator()(std::int32_t value) { out_.write_i32le(value); }
  void operator()(std::uint16_t value) { out_.write_u16le(value); }
  void operator()(const ArchiveString& text) { WriteArchiveString(out_, text); }
  template <class T>
  void Absent(const T&) {}
  void Base(const EntityBase& base) { WriteEntityBaseAsRead(out_, version_, base); }

 private:
  ByteWriter& out_;
  int version_;
};

class BodySizer {
 public:
  explicit BodySizer(int version) : version_(version) {}
  template <class T>
  void operator()(const T& field) {
    size += sizeof(field);
  }
  void operator()(const ArchiveString& text) { size += StringSize(text); }
  template <class T>
  void Absent(const T&) {}
  void Base(const EntityBase&) { size += EntityBaseSize(version_); }

  std::uint64_t size = 0;

 private:
  int version_;
};

template <class Io, class R>
void ReadBody(Io& io, int version, R& record) {
  ForEachBodyField(record, version, io);
}

template <class Io>
void ReadBody(Io& io, int version, TEntSunpo& dim) {
  ForEachBodyField(dim, version, io);
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

template <class R>
void WriteBody(ByteWriter& out, int version, const R& record) {
  BodyWriter writer(out, version);
  ForEachBodyField(record, version, writer);
}

template <class R>
std::uint64_t BodySize(const R& record, int version) {
  BodySizer sizer(version);
  ForEachBodyField(record, version, sizer);
  return sizer.size;
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

void ReadEntityRecord(ByteReader& in, int version, EntityKind kind, EntityRecord& record,
                      RecordDetail detail) {
  PrepareRecord(record, kind);
  std::visit(
      [&](auto& r) {
        r.base = ReadEntityBase(in, version);
        auto read = [&](auto io) { ReadBody(io, version, r); };
        switch (detail) {
          case RecordDetail::kWhole:
            read(BodyReader(in, version));
            break;
          case RecordDetail::kStrings:
            read(BodyScanner(in, version));
            break;
          case RecordDetail::kBases:
            read(BodyPasser(in, version));
            break;
        }
      },
      record);
}

Status FillEntityBody(std::span<const std::uint8_t> bytes, int version, const EntityBase& read_base,
                      EntityRecord& record) {
  ByteReader in = ByteReader::FromMemory(bytes);
  in.Take(EntityBaseSize(version));
  std::visit(
      [&](auto& r) {
        const EntityBase now = r.base;
        r.base = read_base;
        BodyFiller filler(in, version);
        ForEachBodyField(r, version, filler);
        r.base = now;
      },
      record);
  if (in.ok() && !in.at_end()) {
    in.Fail(ErrorKind::kMalformed, "a record's bytes are not the ones it was scanned from");
  }
  return in.status();
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
  return EntityBaseSize(version) + sizeof(def.values) +
         (def.replaced_bytes ? def.replaced_bytes->size() : 0) + StringSize(def.name) +
         (member_count <= 0xFFFE ? 2 : 6);
}

std::uint64_t MinEntityRecordSize(int version) {
  // A point without its tail.
  return 2 + EntityBaseSize(version) + BodySize(TEntTen{}, version);
}

std::uint64_t MinBlockDefSize(int version) {
  // tag, base, values, an empty name, member count
  return 2 + EntityBaseSize(version) + sizeof(TEntBlockDef::values) + 1 + 2;
}

}  // namespace penmorph::jw
