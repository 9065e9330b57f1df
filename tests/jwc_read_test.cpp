#include "formats/dos/jwc_file.h"

#include <gtest/gtest.h>

#include "dos_round_trip.h"
#include "reference/dos_files.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

using testing::ArcRecordBytes;
using testing::AsText;
using testing::AsVector;
using testing::JwcFile;
using testing::LineRecordBytes;
using testing::PointRecordBytes;

std::string Convert(const std::string& bytes, const JwcConvSettings& table = {}) {
  return testing::Convert<JwcWorkspace>(bytes, table);
}

Status ReadJwc(const std::string& bytes, JwcWorkspace& workspace) {
  return testing::ReadFrom(bytes, workspace);
}

std::string WriteJwc(JwcWorkspace& workspace) {
  return testing::Written(workspace);
}

// A drawing with something in every section.
JwcFile FullDrawing() {
  JwcFile file;
  file.lines = {LineRecordBytes(1, 2, 0x10), LineRecordBytes(9, 6, 0x20)};
  file.arcs = {ArcRecordBytes(65535, 0x160DFFF, -98304, 7, 2, 3)};
  file.texts = {"first", "", "\x93\xfa\x96\x7b\x8c\xea"};  // the last one Shift-JIS
  file.points = {PointRecordBytes(4)};
  return file;
}

TEST(JwcFile, ACanonicalDrawingComesBackByteForByte) {
  for (std::string magic : {std::string(kJwcMagic), std::string(kJwcMagic) + "..f"}) {
    JwcFile file = FullDrawing();
    file.magic = magic;
    file.heap_start = "6000:0003";
    std::string bytes = file.Bytes();
    EXPECT_EQ(Convert(bytes), bytes) << magic;
  }
}

TEST(JwcFile, ReadsEachSectionIntoTheWorkspace) {
  JwcFile file = FullDrawing();
  JwcWorkspace workspace;
  ASSERT_TRUE(ReadJwc(file.Bytes(), workspace).ok());
  const JwcHeader& header = workspace.header;
  EXPECT_EQ(header.line0.memo_a, "memo A");
  EXPECT_EQ(header.line0.memo_b, "memo B");
  EXPECT_FALSE(header.FloatGroupValues());
  EXPECT_EQ(header.Line1(JwcHeader::kPaperSize), 3);
  EXPECT_EQ(std::get<float>(header.line1[9]), 1.5f);
  EXPECT_EQ(std::get<float>(header.line2[27]), 1152921504606846976.0f);
  EXPECT_EQ(header.HeapStart(), 0x60000);
  EXPECT_EQ(header.HeapEnd(), 0x60000 + 6 + 1 + 7);
  EXPECT_EQ(workspace.table101[0].a, 0x04030201);
  EXPECT_EQ(workspace.table101[100].c, 0x81 + 100);
  EXPECT_EQ(workspace.text_settings[10].pen_no, 300);
  EXPECT_EQ(workspace.groups[2].group_value, 65535.0f);
  const DosRecords& records = workspace.records;
  ASSERT_EQ(records.lines.size(), 2u);
  EXPECT_EQ(records.lines[1].bytes[16], 9);
  EXPECT_EQ(records.arcs[0].scaled, 6.5535f);
  EXPECT_EQ(records.arcs[0].fixed[1], -1.5f);
  ASSERT_EQ(records.texts.size(), 3u);
  EXPECT_EQ(records.texts[0].text, "first");
  EXPECT_EQ(records.texts[2].text, "\x93\xfa\x96\x7b\x8c\xea");
  EXPECT_EQ(records.texts[2].heap_address, 0x60000 + 7);
  EXPECT_EQ(records.points[0].bytes[9], 4);
  EXPECT_EQ(workspace.layers[0].name, "ABCDEFGH");  // 8 bytes, no NUL
  EXPECT_EQ(workspace.layers[2].name, std::string("X\0junk", 6));
  EXPECT_EQ(workspace.groups[0].name, "G");  // one letter and 15 NULs
  EXPECT_EQ(workspace.groups[1].name, "0123456789ABCDEF");
}

TEST(JwcProbe, AcceptsOnlyTheExactSignature) {
  testing::ScratchFolder folder;
  auto probe = [&folder](const std::string& bytes) {
    testing::WriteBytes(folder / "x.jwc", bytes);
    return JwcProbe(folder / "x.jwc");
  };
  EXPECT_TRUE(probe("jw_cad(c)data......."));
  EXPECT_TRUE(probe(FullDrawing().Bytes()));
  EXPECT_FALSE(probe("jw_cad(c)data......"));  // 19 bytes
  EXPECT_FALSE(probe(std::string("jw_cad(c)data......\0", 20)));
  EXPECT_FALSE(probe("JW_CAD(c)data......."));
  EXPECT_FALSE(probe("jw_cad(c)sym........"));
  EXPECT_FALSE(JwcProbe(folder / "missing.jwc"));
  EXPECT_FALSE(JwcProbe(folder.path()));
}

TEST(JwcRead, TheSignatureAloneIsNotADrawing) {
  JwcWorkspace workspace;
  Status read = ReadJwc("jw_cad(c)data.......", workspace);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().kind, ErrorKind::kTruncated);
  EXPECT_NE(read.error().message.find("header line 0"), std::string::npos);
  auto data = AsVector("jw_cad(c)data.......");
  auto in = ByteReader::FromMemory(data);
  EXPECT_FALSE(JwcReadHeaderInfo(in, workspace).ok());
}

TEST(JwcReadHeaderInfo, NeedsTheFourLinesOnlyAndDoesNotCompareTheSignature) {
  JwcFile file = FullDrawing();
  file.magic = "not a drawing at all";
  std::string header = file.Bytes().substr(0, 800);
  JwcWorkspace workspace;
  auto data = AsVector(header);
  auto in = ByteReader::FromMemory(data);
  ASSERT_TRUE(JwcReadHeaderInfo(in, workspace).ok());
  EXPECT_EQ(workspace.header.line0.Memo(), "memo A memo B");
  EXPECT_EQ(workspace.header.Line1(JwcHeader::kTextCount), 3);
  auto short_data = AsVector(header.substr(0, 799));
  auto short_in = ByteReader::FromMemory(short_data);
  EXPECT_FALSE(JwcReadHeaderInfo(short_in, workspace).ok());
}

TEST(JwcRead, ByteTwentyTwoChoosesTheWidthOfTheGroupValues) {
  struct Case {
    std::string magic;
    std::size_t value_size;
  };
  const std::string signature(kJwcMagic);
  for (const Case& c : {Case{signature + "..f", 4}, Case{signature + "..F", 2},
                        Case{signature + "f.", 2}, Case{signature, 2}}) {
    JwcFile file;
    file.magic = c.magic;
    file.group_values.assign(16, std::string(c.value_size, '\x01'));
    file.lines = {LineRecordBytes(3, 4)};
    JwcWorkspace workspace;
    ASSERT_TRUE(ReadJwc(file.Bytes(), workspace).ok()) << c.magic;
    EXPECT_EQ(workspace.header.FloatGroupValues(), c.value_size == 4);
    EXPECT_EQ(workspace.groups[15].group_value,
              c.value_size == 4 ? std::bit_cast<float>(0x01010101u) : 257.0f);
    EXPECT_EQ(AsText(workspace.records.lines[0].bytes), LineRecordBytes(3, 4));
  }
}

TEST(JwcRead, MissingAndMalformedHeaderFieldsAreZero) {
  JwcFile file;
  file.line1_rest = "";  // line 1 is "0,0,0,0," and a NUL: four fields
  JwcWorkspace workspace;
  ASSERT_TRUE(ReadJwc(file.Bytes(), workspace).ok());
  for (std::size_t field = 4; field < 32; ++field) {
    if (field == JwcHeader::kField30) {
      EXPECT_EQ(workspace.header.Line1(field), 518);
    } else if (std::holds_alternative<float>(workspace.header.line1[field])) {
      EXPECT_EQ(std::get<float>(workspace.header.line1[field]), 0.0f) << field;
    } else {
      EXPECT_EQ(workspace.header.Line1(field), 0) << field;
    }
  }

  file = JwcFile();
  file.line1_rest = "7x,8 ,  9,$1F,1.5a";  // fields 4-8
  file.line2 = "2.5 ,  2.5,";
  file.heap_start = "G000:0010";  // a segment that is not hexadecimal counts as 0
  file.heap_end = "G000:0010";
  ASSERT_TRUE(ReadJwc(file.Bytes(), workspace).ok());
  EXPECT_EQ(workspace.header.Line1(4), 0);
  EXPECT_EQ(workspace.header.Line1(5), 0);
  EXPECT_EQ(workspace.header.Line1(6), 9);
  EXPECT_EQ(workspace.header.Line1(7), 31);
  EXPECT_EQ(workspace.header.Line1(8), 0);
  EXPECT_EQ(std::get<float>(workspace.header.line2[0]), 0.0f);
  EXPECT_EQ(std::get<float>(workspace.header.line2[1]), 2.5f);
  EXPECT_EQ(workspace.header.HeapStart(), 0x10);
}

TEST(JwcRead, TextsWithoutAHeapKeepEmptyStringsAndNoHeapBytesAreRead) {
  JwcFile file;
  file.texts = {"a", "b"};
  file.heap_end = file.heap_start;  // HeapEnd equal to HeapStart: no heap
  file.heap = "";
  file.points = {PointRecordBytes(5)};
  JwcWorkspace workspace;
  ASSERT_TRUE(ReadJwc(file.Bytes(), workspace).ok());
  ASSERT_EQ(workspace.records.texts.size(), 2u);
  EXPECT_EQ(workspace.records.texts[0].text, "");
  EXPECT_EQ(workspace.records.texts[1].text, "");
  EXPECT_EQ(AsText(workspace.records.points[0].bytes), PointRecordBytes(5));

  // Written back, the heap holds their two NULs.
  JwcFile expected = file;
  expected.heap.reset();
  expected.heap_end.clear();
  expected.texts = {"", ""};
  EXPECT_EQ(WriteJwc(workspace), expected.Bytes());
}

}  // namespace
}  // namespace penmorph::jw
