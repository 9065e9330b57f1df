// Writes a synthetic JWW drawing of about MEGABYTES for the conversion benchmark. By default
// (version 700): units of 20 lines, 3 arcs, 3 points, 3 texts, a solid, a dimension and a block
// insertion, then 1000 block definitions of 20 members each. With --dense (version 600): small
// records only - lines, arcs, texts and points in turn, about 70 bytes each - and one block
// definition, so that the cost per record is what is measured.
//
//   penmorph-bench-drawing [--dense] MEGABYTES FILE

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/byte_writer.h"
#include "common/file_sink.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_base.h"
#include "formats/windows/jww_header.h"

namespace fs = std::filesystem;
using namespace penmorph;
using namespace penmorph::jw;

namespace {

EntityBase Pen(int i) {
  EntityBase base;
  base.PenStyle = static_cast<std::uint8_t>(1 + i % 9);
  base.PenColor = static_cast<std::uint16_t>(1 + i % 8);
  base.Layer = static_cast<std::uint16_t>(i % 16);
  base.Group = i;
  return base;
}

void Doubles(ByteWriter& out, int n, double seed) {
  for (int i = 0; i < n; ++i) {
    out.write_f64le(seed + i * 0.5);
  }
}

// One unit of the drawing: 20 lines, 3 arcs, 3 points, 3 texts, a solid, a dimension and a
// block insertion - about 2.2 kB.
constexpr int kRecordsPerUnit = 32;

void WriteRecord(ByteWriter& out, ArchiveState& state, EntityKind kind, int i, int v = 700) {
  WriteClassTag(out, state, kind, v);
  EntityBase base = Pen(i);
  if (kind == EntityKind::kPoint) {
    base.PenStyle = 1;
  }
  WriteEntityBase(out, v, kind, base);
  auto text_body = [&](const char* text) {
    Doubles(out, 4, i);
    out.write_i32le(1);
    Doubles(out, 4, i);
    WriteArchiveString(out, {"MS Gothic", false});
    WriteArchiveString(out, {text, false});
  };
  switch (kind) {
    case EntityKind::kLine:
      Doubles(out, 4, i);
      break;
    case EntityKind::kArc:
      Doubles(out, 7, i);
      out.write_i32le(0);
      break;
    case EntityKind::kPoint:
      Doubles(out, 2, i);
      out.write_i32le(0);
      break;
    case EntityKind::kText:
      text_body("text of a drawing");
      break;
    case EntityKind::kSolid:
      Doubles(out, 8, i);
      break;
    case EntityKind::kBlock:
      Doubles(out, 5, i);
      out.write_i32le(1 + i % 1000);
      break;
    case EntityKind::kDimension:
      WriteEntityBase(out, v, EntityKind::kLine, Pen(i));
      Doubles(out, 4, i);
      WriteEntityBase(out, v, EntityKind::kText, Pen(i));
      text_body("1500");
      out.write_u16le(0);
      for (int k = 0; k < 2; ++k) {
        WriteEntityBase(out, v, EntityKind::kLine, Pen(i));
        Doubles(out, 4, i);
      }
      for (int k = 0; k < 4; ++k) {
        EntityBase point = Pen(i);
        point.PenStyle = 1;
        WriteEntityBase(out, v, EntityKind::kPoint, point);
        Doubles(out, 2, i);
        out.write_i32le(0);
      }
      break;
    default:
      break;
  }
  state.Advance();
}

void WriteUnit(ByteWriter& out, ArchiveState& state, int i) {
  for (int k = 0; k < 20; ++k) {
    WriteRecord(out, state, EntityKind::kLine, i * 20 + k);
  }
  for (EntityKind kind : {EntityKind::kArc, EntityKind::kPoint, EntityKind::kText}) {
    for (int k = 0; k < 3; ++k) {
      WriteRecord(out, state, kind, i * 3 + k);
    }
  }
  WriteRecord(out, state, EntityKind::kSolid, i);
  WriteRecord(out, state, EntityKind::kDimension, i);
  WriteRecord(out, state, EntityKind::kBlock, i);
}

THeader Header(int version) {
  THeader header;
  std::copy(kJwwMagic.begin(), kJwwMagic.end(), header.magic.begin());
  header.version = version;
  header.view_table.assign(280, 0);
  header.settings_tens = 1;
  if (version >= 420) {
    header.sxf_colors.resize(257);
    header.sxf_line_types.resize(33);
  }
  return header;
}

// Version 600: no image section. The average record (line 49, arc 77, text 113, point 37 bytes
// with its tag) is about 69 bytes.
bool GenerateDense(ByteWriter& out, std::uint64_t target_bytes) {
  constexpr int v = 600;
  WriteJwwHeader(out, Header(v));
  constexpr EntityKind kMix[] = {EntityKind::kLine, EntityKind::kArc, EntityKind::kText,
                                 EntityKind::kPoint};
  constexpr std::uint64_t kAverage = 69;
  const auto records = static_cast<int>(target_bytes / kAverage);
  ArchiveState state;
  WriteArchiveCount(out, static_cast<std::uint32_t>(records));
  for (int i = 0; i < records; ++i) {
    WriteRecord(out, state, kMix[i % 4], i, v);
  }
  WriteArchiveCount(out, 1);
  WriteClassTag(out, state, EntityKind::kBlockDef, v);
  WriteEntityBase(out, v, EntityKind::kBlockDef, Pen(0));
  out.write_i32le(1);
  out.write_i32le(1);
  out.write_i32le(1700000000);
  WriteArchiveString(out, {"block", false});
  WriteArchiveCount(out, 4);
  state.Advance();
  for (int m = 0; m < 4; ++m) {
    WriteRecord(out, state, kMix[m], m, v);
  }
  return true;
}

bool Generate(ByteWriter& out, std::uint64_t target_bytes) {
  WriteJwwHeader(out, Header(700));
  const int defs = 1000;
  const int members_per_def = 20;
  const std::uint64_t unit_bytes = 2200;
  const int units = static_cast<int>(target_bytes / unit_bytes);
  ArchiveState state;
  WriteArchiveCount(out, static_cast<std::uint32_t>(units * kRecordsPerUnit));
  for (int i = 0; i < units; ++i) {
    WriteUnit(out, state, i);
  }
  WriteArchiveCount(out, defs);
  for (int d = 0; d < defs; ++d) {
    WriteClassTag(out, state, EntityKind::kBlockDef, 700);
    WriteEntityBase(out, 700, EntityKind::kBlockDef, Pen(d));
    // The number insertions name (1-1000), a 1 and a time stamp, as jw_cad writes them.
    out.write_i32le(d + 1);
    out.write_i32le(1);
    out.write_i32le(1700000000 + d);
    WriteArchiveString(out, {"block " + std::to_string(d), false});
    WriteArchiveCount(out, members_per_def);
    state.Advance();
    for (int m = 0; m < members_per_def; ++m) {
      WriteRecord(out, state, m % 2 == 0 ? EntityKind::kLine : EntityKind::kArc, m);
    }
  }
  out.write_i32le(0);  // no images
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool dense = argc == 4 && std::string(argv[1]) == "--dense";
  if (argc != 3 && !dense) {
    std::cerr << "usage: penmorph-bench-drawing [--dense] MEGABYTES FILE\n";
    return 2;
  }
  const std::uint64_t megabytes = std::stoull(argv[argc - 2]);
  const fs::path file = PathFromUtf8(argv[argc - 1]);
  std::error_code ec;
  fs::remove(file, ec);
  auto sink = FileSink::CreateExclusive(file);
  bool written = sink.ok();
  if (written) {
    ByteWriter out(*sink.value());
    written = (dense ? GenerateDense(out, megabytes << 20) : Generate(out, megabytes << 20)) &&
              out.Finish().ok() && sink.value()->Close().ok();
  }
  if (!written) {
    std::cerr << "cannot write " << argv[argc - 1] << "\n";
    return 1;
  }
  return 0;
}
