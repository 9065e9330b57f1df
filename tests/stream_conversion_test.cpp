// The conversion while reading (what the converter does) against the workspace (read the whole
// file, remap, write): for every sample and built file, under several tables, through read
// buffers of several sizes and as a copy of the file patched in place, the bytes must be the
// same, or both must fail.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <tuple>

#include "common/patch_sink.h"
#include "formats/standard_formats.h"
#include "formats/windows/stream_converter.h"
#include "jw_test_bytes.h"
#include "jww_expectation.h"
#include "reference/jws_file.h"
#include "reference/jww_file.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

enum class Kind { kJww, kJws };

// The output of the workspace, or "failed".
std::string ThroughWorkspace(const std::string& bytes, Kind kind, const JwwConvSettings& table,
                             const LayerTable& layers) {
  auto in =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  VectorSink sink;
  ByteWriter out(sink);
  Status status;
  if (kind == Kind::kJww) {
    JwwWorkspace workspace;
    workspace.switches.extract_images = true;
    status = JwwRead(in, workspace);
    status = status.ok() ? JwwRemap(workspace, table, layers) : status;
    status = status.ok() ? JwwWrite(out, workspace) : status;
    JwwDeleteExtractedImages(workspace);
  } else {
    JwsWorkspace workspace;
    status = JwsRead(in, workspace);
    status = status.ok() ? JwsRemap(workspace, table, layers) : status;
    status = status.ok() ? JwsWrite(out, workspace) : status;
  }
  return status.ok() ? std::string(sink.bytes().begin(), sink.bytes().end()) : "failed";
}

ConversionStatus Convert(ByteReader& in, Kind kind, const JwwConvSettings& table,
                         const LayerTable& layers, ByteSink& sink) {
  return kind == Kind::kJww ? ConvertJwwStream(in, table, sink, layers)
                            : ConvertJwsStream(in, table, sink, layers);
}

std::string Converted(ByteReader& in, Kind kind, const JwwConvSettings& table,
                      const LayerTable& layers) {
  VectorSink sink;
  ConversionStatus status = Convert(in, kind, table, layers, sink);
  return status.ok() ? std::string(sink.bytes().begin(), sink.bytes().end()) : "failed";
}

// A copy that fills in while it is read, a few hundred bytes at a time, as the system's copy
// does; what has not arrived yet is rubbish, so a read ahead of the copy shows in the output.
class TrickleCopy : public ByteReader::Arrival {
 public:
  explicit TrickleCopy(const std::string& source)
      : source_(source), copy_(source.size(), std::uint8_t{0xCD}) {}
  std::uint64_t WaitFor(std::uint64_t end) override {
    constexpr std::uint64_t kStep = 777;
    while (arrived_ < end && arrived_ < source_.size()) {
      const std::uint64_t next = std::min<std::uint64_t>(arrived_ + kStep, source_.size());
      std::copy(source_.begin() + static_cast<std::ptrdiff_t>(arrived_),
                source_.begin() + static_cast<std::ptrdiff_t>(next),
                copy_.begin() + static_cast<std::ptrdiff_t>(arrived_));
      arrived_ = next;
    }
    return arrived_;
  }
  std::vector<std::uint8_t>& copy() { return copy_; }

 private:
  const std::string& source_;
  std::vector<std::uint8_t> copy_;
  std::uint64_t arrived_ = 0;
};

// The output made from a copy of the file, changed in place; nullopt when the layouts parted
// (the caller then converts the file again the ordinary way).
std::optional<std::string> Patched(const std::string& bytes, Kind kind,
                                   const JwwConvSettings& table, const LayerTable& layers) {
  TrickleCopy trickle(bytes);
  std::vector<std::uint8_t>& copy = trickle.copy();
  auto image = ByteReader::FromArrivingWritableMemory(copy, trickle);
  PatchSink patched(copy, image);
  const ConversionStatus status = Convert(image, kind, table, layers, patched);
  if (patched.diverged()) {
    return std::nullopt;
  }
  if (!status.ok()) {
    return "failed";
  }
  return std::string(copy.begin(), copy.begin() + static_cast<std::ptrdiff_t>(patched.length()));
}

// Through memory, and through a file with buffers from the smallest to the converter's own.
void ExpectSameBytes(const std::string& bytes, Kind kind, const JwwConvSettings& table,
                     const std::string& what, const LayerTable& layers = LayerTable{}) {
  const std::string expected = ThroughWorkspace(bytes, kind, table, layers);
  auto memory =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  EXPECT_EQ(testing::FirstDifference(expected, Converted(memory, kind, table, layers)), "")
      << what << " from memory";
  // As a conversion reads a small file: its own copy, which records may be changed in.
  std::vector<std::uint8_t> own(bytes.begin(), bytes.end());
  auto writable = ByteReader::FromWritableMemory(own);
  EXPECT_EQ(testing::FirstDifference(expected, Converted(writable, kind, table, layers)), "")
      << what << " from its own copy";
  if (std::optional<std::string> patched = Patched(bytes, kind, table, layers)) {
    EXPECT_EQ(testing::FirstDifference(expected, *patched), "") << what << " patched in place";
  }
  ScratchFolder folder;
  WriteBytes(folder / "file", bytes);
  for (std::size_t buffer :
       {std::size_t{256}, std::size_t{300}, std::size_t{4096}, std::size_t{1} << 20}) {
    auto file = ByteReader::OpenFile(folder / "file", buffer);
    ASSERT_TRUE(testing::IsOk(file));
    EXPECT_EQ(testing::FirstDifference(expected, Converted(file.value(), kind, table, layers)), "")
        << what << " with a buffer of " << buffer;
  }
}

// Tables that leave everything, change everything, turn every option on, and overflow.
std::vector<std::pair<std::string, JwwConvSettings>> Tables() {
  std::vector<std::pair<std::string, JwwConvSettings>> tables;
  tables.emplace_back("all 0", JwwConvSettings{});
  JwwConvSettings every;
  for (int entry = 1; entry <= 9; ++entry) {
    every.SetEntry(entry, entry % 9 + 1);
  }
  for (int entry = 10; entry <= 265; ++entry) {
    every.SetEntry(entry, 101 + (entry * 7) % 256);
  }
  for (int entry = 266; entry <= 314; ++entry) {
    every.SetEntry(entry, (entry * 4) % 9 + 1);
  }
  tables.emplace_back("every entry, options off", every);
  for (int option = 315; option <= 321; ++option) {
    every.SetEntry(option, 1);
  }
  tables.emplace_back("every entry, options on", every);
  JwwConvSettings too_large = every;
  too_large.SetEntry(2, 70000);  // colour 2 no longer fits
  tables.emplace_back("a colour too large", too_large);
  std::mt19937 random(7);
  JwwConvSettings noise;
  for (int entry = 1; entry <= 321; ++entry) {
    noise.SetEntry(entry, static_cast<std::int32_t>(random() % 400) - 20);
  }
  tables.emplace_back("random entries", noise);
  return tables;
}

// Layer tables that move within each group (no scale changes), move every group's layers into
// the next group (a scale clash wherever scales differ), and rename, once with a name Shift-JIS
// cannot hold.
std::vector<std::pair<std::string, LayerTable>> LayerTables() {
  std::vector<std::pair<std::string, LayerTable>> tables;
  LayerTable within;
  LayerTable across;
  for (int index = 0; index < kLayerCount; ++index) {
    const LayerAddress from = LayerAddress::FromIndex(index);
    if (from.layer % 2 == 1) {
      within.SetTarget(index, LayerAddress{from.group, kLayersPerGroup - 1 - from.layer});
    }
    across.SetTarget(index, LayerAddress{(from.group + 1) % kLayerGroupCount, from.layer});
  }
  tables.emplace_back("layers moved within their groups", within);
  tables.emplace_back("layers moved into the next group", across);
  LayerTable names = within;
  names.SetLayerName(0, "壁");
  names.SetLayerName(255, "a name");
  names.SetGroupName(3, "平面図");
  tables.emplace_back("new names", names);
  names.SetGroupName(4, "한");
  tables.emplace_back("a name Shift-JIS cannot hold", names);
  return tables;
}

std::vector<std::pair<std::string, std::string>> BuiltDrawings() {
  std::vector<std::pair<std::string, std::string>> files;
  for (int version : {220, 223, 225, 230, 300, 351, 420, 600, 700}) {
    testing::HeaderValues values;
    values.layer_name = "L\x01^m";  // a name the write rules clean
    values.settings_b = 25;
    values.limited9 = -200;
    files.emplace_back("empty " + std::to_string(version), testing::EmptyJww(version, values));
  }
  files.emplace_back("with image", testing::JwwWithImage());
  return files;
}

TEST(StreamConversion, JwwSamplesAndBuiltDrawingsComeOutAsTheWorkspaceWritesThem) {
  std::vector<std::pair<std::string, std::string>> files = BuiltDrawings();
  for (const fs::path& sample : testing::SampleFiles(".jww")) {
    files.emplace_back(sample.filename().string(), ReadBytes(sample));
  }
  for (const auto& [table_name, table] : Tables()) {
    for (const auto& [name, bytes] : files) {
      ExpectSameBytes(bytes, Kind::kJww, table, name + ", " + table_name);
    }
  }
}

TEST(StreamConversion, JwsSamplesAndBuiltSymbolsComeOutAsTheWorkspaceWritesThem) {
  std::vector<std::pair<std::string, std::string>> files;
  for (int version : {100, 230, 300, 351, 420, 700}) {
    files.emplace_back("one line " + std::to_string(version), testing::JwsWithOneLine(version));
  }
  for (const fs::path& sample : testing::SampleFiles(".jws")) {
    files.emplace_back(sample.filename().string(), ReadBytes(sample));
  }
  for (const auto& [table_name, table] : Tables()) {
    for (const auto& [name, bytes] : files) {
      ExpectSameBytes(bytes, Kind::kJws, table, name + ", " + table_name);
    }
  }
}

TEST(StreamConversion, UnderLayerTablesTheStreamComesOutAsTheWorkspaceWritesIt) {
  std::vector<std::tuple<Kind, std::string, std::string>> files;
  for (const auto& [name, bytes] : BuiltDrawings()) {
    files.emplace_back(Kind::kJww, name, bytes);
  }
  for (int version : {230, 351, 420, 700}) {
    files.emplace_back(Kind::kJws, "one line " + std::to_string(version),
                       testing::JwsWithOneLine(version));
  }
  for (const char* extension : {".jww", ".jws"}) {
    for (const fs::path& sample : testing::SampleFiles(extension)) {
      files.emplace_back(extension == std::string(".jww") ? Kind::kJww : Kind::kJws,
                         sample.filename().string(), ReadBytes(sample));
    }
  }
  const JwwConvSettings colors = Tables()[2].second;
  for (const auto& [layers_name, layers] : LayerTables()) {
    for (const auto& [kind, name, bytes] : files) {
      ExpectSameBytes(bytes, kind, colors, name + ", " + layers_name, layers);
    }
  }
}

// Cut files and flipped bytes: the two paths agree on every one, down to failing together.
TEST(StreamConversion, DamagedFilesGiveTheSameBytesOrFailOnBothPaths) {
  std::vector<std::pair<Kind, std::string>> files = {{Kind::kJww, testing::JwwWithImage()},
                                                     {Kind::kJws, testing::JwsWithOneLine(420)}};
  for (const fs::path& sample : testing::SampleFiles(".jww")) {
    files.emplace_back(Kind::kJww, ReadBytes(sample));
    break;
  }
  std::mt19937 random(11);
  const JwwConvSettings table = Tables()[2].second;
  const LayerTable layers = LayerTables()[2].second;  // moves and renames
  for (const auto& [kind, bytes] : files) {
    for (int trial = 0; trial < 150; ++trial) {
      std::string damaged = bytes;
      if (trial % 3 == 0) {
        damaged.resize(random() % damaged.size());
      } else {
        for (int flips = 0; flips < 3; ++flips) {
          damaged[random() % damaged.size()] ^= static_cast<char>(1 << (random() % 8));
        }
      }
      ExpectSameBytes(damaged, kind, table, "trial " + std::to_string(trial), layers);
    }
  }
}

// A string longer than half the read buffer cannot wait in it to be copied: that record is
// written from what was read, and the output is still the same.
// A drawing of version 600 up to its two entities, which the caller adds.
testing::ByteBuilder TwoEntityDrawing() {
  testing::ByteBuilder builder;
  testing::AppendJwwHeader(builder, 600);
  builder.u16(2);  // two entities
  return builder;
}

TEST(StreamConversion, RecordsLongerThanTheBufferAreWrittenAnew) {
  testing::ByteBuilder builder = TwoEntityDrawing();
  jw::EntityBase base;
  base.PenStyle = 1;
  base.PenColor = 1;
  auto text_body = [&] {
    builder.f64(1).f64(2).f64(3).f64(4);  // position
    builder.i32(0);                       // kind
    builder.f64(5).f64(6).f64(7).f64(8);  // layout
  };
  builder.new_class("CDataMoji", 600).base(600, base);
  text_body();
  builder.raw(std::string("\x00", 1));  // no font name
  const std::string text(5000, 'x');
  builder.u8(255).u16(static_cast<int>(text.size())).raw(text);
  builder.u16(0x8001).base(600, base);  // the same class again
  text_body();
  builder.raw(std::string("\x00\x01y", 3));
  builder.u16(0);  // no block definitions
  for (const auto& [table_name, table] : Tables()) {
    ExpectSameBytes(builder.bytes(), Kind::kJww, table, table_name);
  }
}

// A record whose numbers were passed over and which is then written whole has them read again
// as the file lays them out, not as its changed attributes would: a solid of pen 3 holds no RGB
// value, even when the table turns pen 3 into the own-colour code 10 (the value written is 0).
TEST(StreamConversion, ARecordWrittenWholeIsReadAgainAsTheFileLaysItOut) {
  testing::ByteBuilder builder = TwoEntityDrawing();
  jw::EntityBase base;
  base.PenStyle = 1;
  base.PenColor = 3;
  builder.new_class("CDataSolid", 600).base(600, base);
  for (int corner = 0; corner < 8; ++corner) {
    builder.f64(corner + 0.5);  // the four corners, no colour after them
  }
  base.PenColor = kOwnColor;
  builder.u16(0x8001).base(600, base);  // the same class again
  for (int corner = 0; corner < 8; ++corner) {
    builder.f64(-corner);
  }
  builder.i32(0x123456);  // its own colour
  builder.u16(0);         // no block definitions
  JwwConvSettings table;
  table.SetEntry(3, kOwnColor);
  table.SetEntry(JwwConvSettings::Option::kChangeSolidColor, 1);
  ExpectSameBytes(builder.bytes(), Kind::kJww, table, "pen 3 to the own colour");
  EXPECT_NE(ThroughWorkspace(builder.bytes(), Kind::kJww, table, LayerTable{}), "failed");
}

}  // namespace
}  // namespace penmorph::jw
