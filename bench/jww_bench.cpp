// Converts a large synthetic JWW drawing and compares the time with a plain copy of the same
// file made in the same run, and the peak memory with the file's size.
//
//   penmorph-bench-jww [MEGABYTES] [FOLDER]     (default 150 MB in the system's temp folder)

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/byte_writer.h"
#include "common/file_sink.h"
#include "common/file_system.h"
#include "formats/windows/archive.h"
#include "formats/windows/entity_base.h"
#include "formats/windows/jww_format.h"
#include "formats/windows/jww_header.h"

namespace fs = std::filesystem;
using namespace penmorph;
using namespace penmorph::jw;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor time of this process (user and system), which other load on the machine disturbs
// less than the wall clock.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

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

void WriteRecord(ByteWriter& out, ArchiveState& state, EntityKind kind, int i) {
  constexpr int v = 700;
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

bool Generate(const fs::path& file, std::uint64_t target_bytes) {
  auto sink = FileSink::CreateExclusive(file);
  if (!sink.ok()) {
    return false;
  }
  ByteWriter out(*sink.value());
  THeader header;
  std::copy(kJwwMagic.begin(), kJwwMagic.end(), header.magic.begin());
  header.version = 700;
  header.view_table.assign(280, 0);
  header.settings_tens = 1;
  header.sxf_colors.resize(257);
  header.sxf_line_types.resize(33);
  WriteJwwHeader(out, header);
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
    out.write_i32le(0);
    out.write_i32le(0);
    out.write_i32le(d + 1);
    WriteArchiveString(out, {"block " + std::to_string(d), false});
    WriteArchiveCount(out, members_per_def);
    state.Advance();
    for (int m = 0; m < members_per_def; ++m) {
      WriteRecord(out, state, m % 2 == 0 ? EntityKind::kLine : EntityKind::kArc, m);
    }
  }
  out.write_i32le(0);  // no images
  return out.Finish().ok() && sink.value()->Close().ok();
}

double PlainCopy(const fs::path& from, const fs::path& to) {
  auto start = Clock::now();
  std::FILE* in = OpenFile(from, "rb");
  std::FILE* out = OpenFile(to, "wb");
  std::vector<char> buffer(1 << 20);
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
    std::fwrite(buffer.data(), 1, n, out);
  }
  std::fclose(in);
  std::fclose(out);
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t megabytes = argc > 1 ? std::stoull(argv[1]) : 150;
  fs::path folder = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path();
  fs::path source = UniqueTemporaryName(folder, "bench-source");
  fs::path copy = UniqueTemporaryName(folder, "bench-copy");
  fs::path output = UniqueTemporaryName(folder, "bench-output");
  if (!Generate(source, megabytes << 20)) {
    std::cerr << "cannot write " << source << "\n";
    return 1;
  }
  const double size_mb = static_cast<double>(fs::file_size(source)) / (1 << 20);
  // Warm the page cache for both runs alike.
  PlainCopy(source, copy);
  fs::remove(copy);

  const double copy_cpu_start = CpuSeconds();
  const double copy_seconds = PlainCopy(source, copy);
  const double copy_cpu = CpuSeconds() - copy_cpu_start;
  const long rss_before = PeakRssKb();

  JwwFormat format;
  ConversionTables tables;
  for (int e = 1; e <= 9; ++e) {
    tables.jww.SetEntry(e, 10 - e);  // reverse the standard colours
  }
  tables.jww.SetEntry(JwwConvSettings::kChangeBlockColor, 1);
  const double convert_cpu_start = CpuSeconds();
  auto start = Clock::now();
  rusage before_read{};
  getrusage(RUSAGE_SELF, &before_read);
  Status read = format.Read(source);
  const double read_seconds = Seconds(start);
  rusage after_read{};
  getrusage(RUSAGE_SELF, &after_read);
  const long read_faults = after_read.ru_minflt - before_read.ru_minflt;
  auto seconds_of = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  const double read_system = seconds_of(after_read.ru_stime) - seconds_of(before_read.ru_stime);
  auto remap_start = Clock::now();
  Status remapped = format.Remap(tables);
  const double remap_seconds = Seconds(remap_start);
  auto write_start = Clock::now();
  auto sink = FileSink::CreateExclusive(output);
  Status written = sink.ok() ? format.Write(*sink.value()) : sink.status();
  Status closed = sink.ok() ? sink.value()->Close() : sink.status();
  const double write_seconds = Seconds(write_start);
  const double convert_seconds = Seconds(start);
  const double convert_cpu = CpuSeconds() - convert_cpu_start;
  const long rss_peak = PeakRssKb();
  const std::size_t records = format.workspace().entities.size();
  format.Clear();

  bool ok = read.ok() && remapped.ok() && written.ok() && closed.ok();
  std::printf("file:        %.1f MB, %zu records\n", size_mb, records);
  std::printf("plain copy:  %.3f s\n", copy_seconds);
  std::printf("conversion:  %.3f s (read %.3f, remap %.3f, write %.3f)%s\n", convert_seconds,
              read_seconds, remap_seconds, write_seconds, ok ? "" : "  FAILED");
  std::printf("reading:     %.3f s of it in the system, %ld page faults (the workspace's memory)\n",
              read_system, read_faults);
  std::printf(
      "ratio:       %.2f x the plain copy (processor time: %.3f s against %.3f s, %.2f x)\n",
      convert_seconds / copy_seconds, convert_cpu, copy_cpu, convert_cpu / copy_cpu);
  std::printf("peak memory: %.1f MB (%.2f x the file; %.1f MB before converting)\n",
              rss_peak / 1024.0, rss_peak / 1024.0 / size_mb, rss_before / 1024.0);
  if (!ok) {
    std::cerr << (read.ok() ? remapped.ok() ? written.ok() ? closed.error().Describe()
                                                           : written.error().Describe()
                                            : remapped.error().Describe()
                            : read.error().Describe())
              << "\n";
  }
  std::error_code ec;
  fs::remove(source, ec);
  fs::remove(copy, ec);
  fs::remove(output, ec);
  return ok ? 0 : 1;
}
