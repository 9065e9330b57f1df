#include "formats/dos/jwk_file.h"

#include <gtest/gtest.h>

#include "dos_round_trip.h"
#include "reference/dos_files.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

using testing::ArcRecordBytes;
using testing::AsText;
using testing::JwkFile;
using testing::Le16;
using testing::LineRecordBytes;
using testing::PointRecordBytes;
using testing::TextRecordBytes;

std::string Convert(const std::string& bytes, const JwcConvSettings& table = {}) {
  return testing::Convert<JwkWorkspace>(bytes, table);
}

constexpr auto Read = testing::Read<JwkWorkspace>;
constexpr auto ReadFailure = testing::ReadFailure<JwkWorkspace>;
using testing::Mentions;

JwkFile FullSymbol() {
  JwkFile file;
  file.lines = {LineRecordBytes(1, 2, 0x10), LineRecordBytes(18, 6, 0x20)};
  file.arcs = {ArcRecordBytes(65535, 0x160DFFF, -98304, 7, 2, 3)};
  file.points = {PointRecordBytes(4), PointRecordBytes(5, 0x58)};
  file.texts = {"\x89\x9f\x93\xfc", "", "third"};
  return file;
}

TEST(JwkFile, ACanonicalSymbolComesBackByteForByte) {
  std::string bytes = FullSymbol().Bytes();
  EXPECT_EQ(Convert(bytes), bytes);
}

TEST(JwkRead, ThePointCountComesBeforeTheTextCountAndPointsBeforeTexts) {
  JwkFile file;
  for (int i = 0; i < 10; ++i) {
    file.lines.push_back(LineRecordBytes(1, 1, static_cast<std::uint8_t>(i)));
  }
  file.points = {PointRecordBytes(1, 0xA0), PointRecordBytes(2, 0xB0), PointRecordBytes(3, 0xC0)};
  file.texts = {"only"};
  std::string bytes = file.Bytes();
  ASSERT_EQ(bytes.substr(200, 9), "10,0,3,1,");
  JwkWorkspace workspace = Read(bytes);
  EXPECT_EQ(workspace.records.lines.size(), 10u);
  EXPECT_TRUE(workspace.records.arcs.empty());
  ASSERT_EQ(workspace.records.points.size(), 3u);
  EXPECT_EQ(AsText(workspace.records.points[2].bytes), PointRecordBytes(3, 0xC0));
  ASSERT_EQ(workspace.records.texts.size(), 1u);
  EXPECT_EQ(workspace.records.texts[0].text, "only");
  EXPECT_EQ(workspace.header.line0.Memo(), "sym A sym B");
  EXPECT_EQ(std::get<float>(workspace.header.line1[6]), 0.048889f);
}

TEST(JwkRead, ByteTwentyTwoMeansNothing) {
  JwkFile plain = FullSymbol();
  JwkFile with_f = plain;
  with_f.magic = std::string(kJwkMagic) + "..f";
  JwkWorkspace a = Read(plain.Bytes());
  JwkWorkspace b = Read(with_f.Bytes());
  EXPECT_EQ(a.records, b.records);
  EXPECT_EQ(Convert(with_f.Bytes()), with_f.Bytes());
}

TEST(JwkWrite, TextsWithoutAHeapGetTheirNulsAndOffsets) {
  JwkFile file;
  file.texts = {"a", "b"};
  file.heap_size = "0";
  file.heap = "";
  JwkWorkspace workspace = Read(file.Bytes());
  EXPECT_EQ(workspace.records.texts[0].text, "");
  EXPECT_EQ(workspace.records.texts[1].text, "");
  std::string written = testing::Written(workspace);
  EXPECT_EQ(written.substr(200, 8), "0,0,0,2,");
  EXPECT_NE(written.find(",2,100"), std::string::npos);            // HeapSize 2
  EXPECT_EQ(written.substr(400 + 24 + 16, 4), Le16(1) + Le16(0));  // second text at offset 1
  EXPECT_EQ(written.substr(400 + 48), std::string("\0\0", 2));
}

TEST(JwkWrite, RebuildsOnlyWhatTheWriterNormalises) {
  JwkFile source = FullSymbol();
  source.line0_tail = "bytes after the memo";
  source.floats_4_to_6 = "4.000000,0.500000,0.048889";
  source.float_8 = "100.0";
  // jw_cad leaves other values than the offset's high half in bytes 18-19.
  source.text_records = {TextRecordBytes(0, 0x4000, 0x70), TextRecordBytes(5, 0x4000, 0x71),
                         TextRecordBytes(6, 0x4000, 0x72)};
  source.texts = {"\x89\x9f\x93\xfc", "", "third"};
  EXPECT_EQ(Convert(source.Bytes()), FullSymbol().Bytes());
}

TEST(JwkWrite, ChangeTextPenHasNoEffect) {
  JwcConvSettings off;
  off.SetEntry(2, 5);
  JwcConvSettings on = off;
  on.SetEntry(JwcConvSettings::kChangeTextPen, 1);
  std::string bytes = FullSymbol().Bytes();
  std::string converted = Convert(bytes, off);
  EXPECT_NE(converted, bytes);
  EXPECT_EQ(Convert(bytes, on), converted);
  EXPECT_EQ(converted[400 + 17], 5);  // line 1's pen 2 became 5
}

TEST(JwkRemap, RewritesPensAndLineTypesOfEveryRecordKind) {
  JwkFile source;
  source.lines = {LineRecordBytes(11, 3), LineRecordBytes(10, 7)};
  source.arcs = {ArcRecordBytes(0, 0, 0, 0, 18, 6)};
  source.points = {PointRecordBytes(3)};
  source.texts = {"x"};
  JwcConvSettings table;
  table.SetEntry(3, 1);                                   // pen 3 -> 1
  table.SetEntry(JwcConvSettings::LineTypeEntry(11), 2);  // line type 11 -> 2
  table.SetEntry(JwcConvSettings::LineTypeEntry(18), 9);
  table.SetEntry(6, 4);
  JwkFile expected = source;
  expected.lines = {LineRecordBytes(2, 1), LineRecordBytes(1, 1)};  // 10 and 7: unknown, 1
  expected.arcs = {ArcRecordBytes(0, 0, 0, 0, 9, 4)};
  expected.points = {PointRecordBytes(1)};
  EXPECT_EQ(Convert(source.Bytes(), table), expected.Bytes());

  table.SetEntry(6, 999);
  JwkWorkspace workspace = Read(source.Bytes());
  Status remapped = JwkRemap(workspace, table);
  ASSERT_FALSE(remapped.ok());
  EXPECT_TRUE(Mentions(remapped.error(), "circle/arc record 1 of 1: table entry C6"))
      << remapped.error().message;
}

TEST(JwkFile, HeapsPast64KilobytesKeepTheirOffsets) {
  JwkFile file;
  for (int i = 0; i < 300; ++i) {
    file.texts.push_back(std::string(250, static_cast<char>('A' + i % 26)));
  }
  std::string bytes = file.Bytes();  // its records hold the offsets' low halves only
  // The records with the full offsets in bytes 16-19, as the writer puts them.
  std::string wide = bytes.substr(0, 400);
  for (int i = 0; i < 300; ++i) {
    std::uint32_t offset = static_cast<std::uint32_t>(i) * 251;
    wide += TextRecordBytes(static_cast<std::uint16_t>(offset & 0xFFFF),
                            static_cast<std::uint16_t>(offset >> 16),
                            static_cast<std::uint8_t>(0x70 + i));
  }
  wide += bytes.substr(400 + 300 * 24);
  JwkWorkspace big = Read(wide);
  EXPECT_EQ(big.records.texts[299].text, std::string(250, static_cast<char>('A' + 299 % 26)));
  EXPECT_EQ(big.records.texts[299].heap_address, 299 * 251);
  EXPECT_EQ(Convert(wide), wide);
}

TEST(JwkRead, ATextPointingOutsideTheHeapFailsTheRead) {
  JwkFile file;
  file.texts = {"ab", "cd"};  // a 6-byte heap
  file.text_records = {TextRecordBytes(0, 0, 0x70), TextRecordBytes(6, 0)};
  Error error = ReadFailure(file.Bytes());
  EXPECT_EQ(error.kind, ErrorKind::kMalformed);
  EXPECT_TRUE(Mentions(error, "text record 2 of 2 points at heap position 6")) << error.message;
  EXPECT_EQ(error.offset, 400u + 24);
}

TEST(JwkRead, AStringWithoutNulEndsAtTheHeapsEnd) {
  JwkFile file;
  file.texts = {"abc"};
  file.heap = "abc";
  file.heap_size = "3";
  EXPECT_EQ(Read(file.Bytes()).records.texts[0].text, "abc");
}

TEST(JwkRead, CountsAreCheckedBeforeAnythingIsAllocated) {
  for (auto [counts, reason] : {std::pair{"0,0,-2,0,", "negative point count (-2)"},
                                std::pair{"0,0,0,99999999,", "99999999 text records cannot fit"},
                                std::pair{"-2147483648,0,0,0,", "negative line count"}}) {
    JwkFile file;
    file.counts = counts;
    Error error = ReadFailure(file.Bytes());
    EXPECT_EQ(error.kind, ErrorKind::kMalformed);
    EXPECT_TRUE(Mentions(error, reason)) << error.message;
  }
  JwkFile heap;
  heap.heap_size = "2000000000";
  EXPECT_EQ(ReadFailure(heap.Bytes()).kind, ErrorKind::kTruncated);
}

TEST(JwkRead, ASymbolCutAnywhereFailsCleanly) {
  const std::string bytes = FullSymbol().Bytes();
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    JwkWorkspace workspace;
    Status read = testing::ReadFrom(bytes.substr(0, length), workspace);
    ASSERT_FALSE(read.ok()) << length;
    ASSERT_TRUE(read.error().offset.has_value()) << read.error().message;
    ASSERT_LE(*read.error().offset, length);
  }
}

TEST(JwkWrite, ValuesThatDoNotFitFailTheFile) {
  JwkWorkspace workspace = Read(FullSymbol().Bytes());
  workspace.records.texts[1].text = std::string(256, 'x');
  std::string bytes;
  Status written = testing::WriteTo(bytes, workspace);
  ASSERT_FALSE(written.ok());
  EXPECT_TRUE(Mentions(written.error(), "text record 2 of 3: its string is 256 bytes"));

  workspace = Read(FullSymbol().Bytes());
  workspace.records.arcs[0].fixed[2] = -32768.5f;
  written = testing::WriteTo(bytes, workspace);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(written.error().kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(written.error(), "offset 22")) << written.error().message;
}

TEST(JwkProbe, AcceptsOnlyTheSymbolSignature) {
  testing::ScratchFolder folder;
  auto probe = [&folder](const std::string& bytes) {
    testing::WriteBytes(folder / "x.jwk", bytes);
    return JwkProbe(folder / "x.jwk");
  };
  EXPECT_TRUE(probe(FullSymbol().Bytes()));
  EXPECT_TRUE(probe("jw_cad(c)sym........"));
  EXPECT_FALSE(probe("jw_cad(c)sym......."));
  EXPECT_FALSE(probe("jw_cad(c)data......."));
  JwkWorkspace workspace;
  EXPECT_FALSE(JwkRead(folder / "x.jwk", workspace).ok());
  EXPECT_FALSE(JwkReadHeaderInfo(folder / "x.jwk", workspace).ok());
  testing::WriteBytes(folder / "x.jwk", FullSymbol().Bytes().substr(0, 400));
  ASSERT_TRUE(JwkReadHeaderInfo(folder / "x.jwk", workspace).ok());
  EXPECT_EQ(workspace.header.Line1(JwkHeader::kTextCount), 3);
}

}  // namespace
}  // namespace penmorph::jw
