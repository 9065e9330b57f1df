#include "formats/windows/entity_records.h"

#include <span>

#include <string>
#include "common/little_endian.h"

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

// --- each body, read and written side by side ---

void ReadLineBody(ByteReader& in, TEntSen& line) {
  ReadDoubles(in, line.values);
}
void WriteLineBody(ByteWriter& out, const TEntSen& line) {
  WriteDoubles(out, line.values);
}

void ReadArcBody(ByteReader& in, TEntEnko& arc) {
  ReadDoubles(in, arc.values);
  arc.flag = in.read_i32le();
}
void WriteArcBody(ByteWriter& out, const TEntEnko& arc) {
  WriteDoubles(out, arc.values);
  out.write_i32le(arc.flag);
}

void ReadPointBody(ByteReader& in, TEntTen& point) {
  ReadDoubles(in, point.values);
  point.code = in.read_i32le();
  if (point.HasTail()) {
    point.tail_code = in.read_i32le();
    ReadDoubles(in, point.tail_values);
  }
}
void WritePointBody(ByteWriter& out, const TEntTen& point) {
  WriteDoubles(out, point.values);
  out.write_i32le(point.code);
  if (point.HasTail()) {
    out.write_i32le(point.tail_code);
    WriteDoubles(out, point.tail_values);
  }
}

void ReadTextBody(ByteReader& in, TEntMoji& text) {
  ReadDoubles(in, text.position);
  text.kind = in.read_i32le();
  ReadDoubles(in, text.layout);
  text.font = ReadArchiveString(in);
  text.text = ReadArchiveString(in);
}
void WriteTextBody(ByteWriter& out, const RecordWriteContext& context, const TEntMoji& text,
                   bool is_text_entity) {
  WriteDoubles(out, text.position);
  out.write_i32le(text.kind);
  WriteDoubles(out, text.layout);
  if (context.as_read) {
    WriteArchiveString(out, text.font);
    WriteArchiveString(out, text.text);
    return;
  }
  WriteCleanName(out, text.font);
  if (is_text_entity && context.rewrite_text != nullptr) {
    WriteArchiveString(out, context.rewrite_text(CleanName(text.text)));
  } else {
    WriteCleanName(out, text.text);
  }
}

void WriteBase(ByteWriter& out, const RecordWriteContext& context, EntityKind kind,
               const EntityBase& base) {
  if (context.as_read) {
    WriteEntityBaseAsRead(out, context.version, base);
  } else {
    WriteEntityBase(out, context.version, kind, base);
  }
}

void ReadSolidBody(ByteReader& in, TEntSolid& solid) {
  ReadDoubles(in, solid.values);
  if (solid.HasColor()) {
    solid.color = in.read_i32le();
  }
}
void WriteSolidBody(ByteWriter& out, const TEntSolid& solid) {
  WriteDoubles(out, solid.values);
  if (solid.HasColor()) {
    out.write_i32le(solid.color);
  }
}

void ReadBlockBody(ByteReader& in, TEntBlock& block) {
  ReadDoubles(in, block.values);
  block.number = in.read_i32le();
}
void WriteBlockBody(ByteWriter& out, const TEntBlock& block) {
  WriteDoubles(out, block.values);
  out.write_i32le(block.number);
}

bool HasFullDimension(int version) {
  return version >= 420;
}

void ReadDimensionBody(ByteReader& in, int version, TEntSunpo& dim) {
  dim.line.base = ReadEntityBase(in, version);
  ReadLineBody(in, dim.line);
  dim.text.base = ReadEntityBase(in, version);
  ReadTextBody(in, dim.text);
  if (HasFullDimension(version)) {
    dim.member_flag = in.read_u16le();
    for (TEntSen* line : {&dim.line2, &dim.line3}) {
      line->base = ReadEntityBase(in, version);
      ReadLineBody(in, *line);
    }
    for (TEntTen& point : dim.points) {
      point.base = ReadEntityBase(in, version);
      ReadPointBody(in, point);
    }
  } else {
    // Older files lack these members; they take the dimension's own attributes.
    dim.line2.base = dim.base;
    dim.line3.base = dim.base;
    for (TEntTen& point : dim.points) {
      point.base = dim.base;
    }
  }
}
void WriteDimensionBody(ByteWriter& out, const RecordWriteContext& context, const TEntSunpo& dim) {
  WriteBase(out, context, EntityKind::kLine, dim.line.base);
  WriteLineBody(out, dim.line);
  WriteBase(out, context, EntityKind::kText, dim.text.base);
  WriteTextBody(out, context, dim.text, false);
  if (HasFullDimension(context.version)) {
    out.write_u16le(dim.member_flag);
    for (const TEntSen* line : {&dim.line2, &dim.line3}) {
      WriteBase(out, context, EntityKind::kLine, line->base);
      WriteLineBody(out, *line);
    }
    for (const TEntTen& point : dim.points) {
      WriteBase(out, context, EntityKind::kPoint, point.base);
      WritePointBody(out, point);
    }
  }
}

// Appends the record to its table, then to the order list.
template <class Record>
Record& Append(ChunkedTable<Record>& table, EntityKind kind, EntityTables& tables,
               const EntityBase& base) {
  tables.order.push_back({kind, static_cast<std::uint32_t>(table.size())});
  Record& record = table.emplace_back();
  record.base = base;
  return record;
}

void ReadEntity(ByteReader& in, int version, EntityKind kind, EntityTables& tables) {
  EntityBase base = ReadEntityBase(in, version);
  switch (kind) {
    case EntityKind::kLine:
      ReadLineBody(in, Append(tables.lines, kind, tables, base));
      break;
    case EntityKind::kArc:
      ReadArcBody(in, Append(tables.arcs, kind, tables, base));
      break;
    case EntityKind::kPoint:
      ReadPointBody(in, Append(tables.points, kind, tables, base));
      break;
    case EntityKind::kText:
      ReadTextBody(in, Append(tables.texts, kind, tables, base));
      break;
    case EntityKind::kDimension:
      ReadDimensionBody(in, version, Append(tables.dimensions, kind, tables, base));
      break;
    case EntityKind::kSolid:
      ReadSolidBody(in, Append(tables.solids, kind, tables, base));
      break;
    case EntityKind::kBlock:
      ReadBlockBody(in, Append(tables.blocks, kind, tables, base));
      break;
    default:
      in.Fail(ErrorKind::kMalformed, "a block definition among the entities");
  }
}

// Writes record `index` of the table with its attributes and body; false when the order list
// points past the table (a workspace not built by the reader).
template <class Record, class Body>
bool WriteRecord(ByteWriter& out, const RecordWriteContext& context, EntityKind kind,
                 const ChunkedTable<Record>& table, std::uint32_t index, Body body) {
  if (index >= table.size()) {
    return false;
  }
  WriteBase(out, context, kind, table[index].base);
  body(table[index]);
  return true;
}

bool WriteEntity(ByteWriter& out, const RecordWriteContext& context, const EntityTables& tables,
                 EntityRef ref) {
  const EntityKind kind = ref.kind;
  const std::uint32_t i = ref.index;
  switch (kind) {
    case EntityKind::kLine:
      return WriteRecord(out, context, kind, tables.lines, i,
                         [&](const TEntSen& r) { WriteLineBody(out, r); });
    case EntityKind::kArc:
      return WriteRecord(out, context, kind, tables.arcs, i,
                         [&](const TEntEnko& r) { WriteArcBody(out, r); });
    case EntityKind::kPoint:
      return WriteRecord(out, context, kind, tables.points, i,
                         [&](const TEntTen& r) { WritePointBody(out, r); });
    case EntityKind::kText:
      return WriteRecord(out, context, kind, tables.texts, i,
                         [&](const TEntMoji& r) { WriteTextBody(out, context, r, true); });
    case EntityKind::kDimension:
      return WriteRecord(out, context, kind, tables.dimensions, i,
                         [&](const TEntSunpo& r) { WriteDimensionBody(out, context, r); });
    case EntityKind::kSolid:
      return WriteRecord(out, context, kind, tables.solids, i,
                         [&](const TEntSolid& r) { WriteSolidBody(out, r); });
    case EntityKind::kBlock:
      return WriteRecord(out, context, kind, tables.blocks, i,
                         [&](const TEntBlock& r) { WriteBlockBody(out, r); });
    default:
      return false;
  }
}

void WriteEntityRecords(ByteWriter& out, const RecordWriteContext& context, ArchiveState& state,
                        const EntityTables& tables) {
  for (EntityRef ref : tables.order) {
    WriteClassTag(out, state, ref.kind, static_cast<std::uint16_t>(context.version));
    if (!WriteEntity(out, context, tables, ref)) {
      out.Fail(MakeError(ErrorKind::kMalformed, "the entity order list names a missing record"));
      return;
    }
    state.Advance();
  }
}

}  // namespace

std::size_t EntityTables::Count(EntityKind kind) const {
  switch (kind) {
    case EntityKind::kLine:
      return lines.size();
    case EntityKind::kArc:
      return arcs.size();
    case EntityKind::kPoint:
      return points.size();
    case EntityKind::kText:
      return texts.size();
    case EntityKind::kDimension:
      return dimensions.size();
    case EntityKind::kSolid:
      return solids.size();
    case EntityKind::kBlock:
      return blocks.size();
    default:
      return 0;
  }
}

std::uint64_t MinEntityRecordSize(int version) {
  return 2 + EntityBaseSize(version) + kSmallestBody;
}

std::uint64_t MinBlockDefSize(int version) {
  return 2 + EntityBaseSize(version) + 12 + 1 + 2;  // tag, base, values, name, member count
}

void ReadEntityList(ByteReader& in, const RecordReadContext& context, ArchiveState& state,
                    std::int32_t count, EntityTables& tables) {
  if (!in.Expect(static_cast<std::uint64_t>(count), MinEntityRecordSize(context.version),
                 "entity records")) {
    return;
  }
  tables.order.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count && in.ok(); ++i) {
    EntityKind kind = ReadClassTag(in, state, false);
    if (!in.ok()) {
      return;
    }
    ReadEntity(in, context.version, kind, tables);
    state.Advance();
  }
}

void WriteEntityList(ByteWriter& out, const RecordWriteContext& context, ArchiveState& state,
                     const EntityTables& tables) {
  WriteArchiveCount(out, static_cast<std::uint32_t>(tables.size()));
  WriteEntityRecords(out, context, state, tables);
}

void ReadBlockDefs(ByteReader& in, const RecordReadContext& context, ArchiveState& state,
                   std::vector<TEntBlockDef>& defs) {
  std::int32_t count = ReadArchiveCount(in);
  if (!in.Expect(static_cast<std::uint64_t>(count), MinBlockDefSize(context.version),
                 "block definitions")) {
    return;
  }
  defs.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count && in.ok(); ++i) {
    ReadClassTag(in, state, true);
    TEntBlockDef& def = defs.emplace_back();
    def.base = ReadEntityBase(in, context.version);
    for (std::int32_t& value : def.values) {
      value = in.read_i32le();
    }
    if (def.values[2] < 0) {
      // A negative number is followed by 8 bytes that are not written back; the definition's
      // position takes its place.
      def.replaced_value = def.values[2];
      def.replaced_bytes.emplace();
      in.read_bytes(*def.replaced_bytes);
      def.values[2] = i + 1;
    }
    def.name = ReadArchiveString(in);
    std::int32_t members = ReadArchiveCount(in);
    state.Advance();
    if (!in.ok()) {
      return;
    }
    ReadEntityList(in, context, state, members, def.members);
  }
}

void WriteBlockDefs(ByteWriter& out, const RecordWriteContext& context, ArchiveState& state,
                    const std::vector<TEntBlockDef>& defs) {
  WriteArchiveCount(out, static_cast<std::uint32_t>(defs.size()));
  for (const TEntBlockDef& def : defs) {
    WriteClassTag(out, state, EntityKind::kBlockDef, static_cast<std::uint16_t>(context.version));
    WriteBase(out, context, EntityKind::kBlockDef, def.base);
    const bool replaced = context.as_read && def.replaced_bytes.has_value();
    out.write_i32le(def.values[0]);
    out.write_i32le(def.values[1]);
    out.write_i32le(replaced ? def.replaced_value : def.values[2]);
    if (replaced) {
      out.write_bytes(*def.replaced_bytes);
    }
    if (context.as_read) {
      WriteArchiveString(out, def.name);
    } else {
      WriteCleanName(out, def.name);
    }
    WriteArchiveCount(out, static_cast<std::uint32_t>(def.members.size()));
    state.Advance();
    WriteEntityRecords(out, context, state, def.members);
  }
}

}  // namespace penmorph::jw
