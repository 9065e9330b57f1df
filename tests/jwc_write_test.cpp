#include <gtest/gtest.h>

#include <random>

#include "dos_round_trip.h"
#include "formats/dos/jwc_file.h"

namespace penmorph::jw {
namespace {

using testing::ArcRecordBytes;
using testing::JwcFile;
using testing::LineRecordBytes;
using testing::PointRecordBytes;
using testing::TextRecordBytes;

std::string Convert(const std::string& bytes, const JwcConvSettings& table = {}) {
  return testing::Convert<JwcWorkspace>(bytes, table);
}

constexpr auto Read = testing::Read<JwcWorkspace>;
constexpr auto ReadFailure = testing::ReadFailure<JwcWorkspace>;
using testing::Mentions;
constexpr auto WriteFailure = testing::WriteFailure<JwcWorkspace>;

JwcFile FullDrawing() {
  JwcFile file;
  file.lines = {LineRecordBytes(1, 2, 0x10), LineRecordBytes(9, 6, 0x20)};
  file.arcs = {ArcRecordBytes(1234, 0x160DFFF, -98304, 7, 2, 3)};
  file.texts = {"first", "", "\x93\xfa\x96\x7b"};
  file.points = {PointRecordBytes(4)};
  file.heap_start = "6000:0003";
  return file;
}

TEST(JwcWrite, RebuildsOnlyWhatTheWriterNormalises) {
  JwcFile source = FullDrawing();
  source.line0_tail = "bytes jw_cad left after the memo";
  source.line1_rest =
      "5,6,7,8,9,1.500000,-10,3,0,0,0.250000,-0.5,100,1E15,11,12,13,14,15,16,17,0.1,2,3,4,5,0,"
      "-2147483648";
  source.line2 =
      "1.000000,2.5,-3.75,0.125,1,2,3,4,5,6,7.5,8,9,10,11,12,13,14,15,0.5,0,0,0,0,0,0,0,"
      "1152921504606846976,";
  source.line3_rest = "0.00001,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,2.0,20,21,";
  // The heap holds an unreferenced string, and one text refers to an embedded image.
  source.texts = {"A", "B", "^@BM%temp%pic.bmp"};
  source.heap = std::string("A\0junk\0B\0^@BM%temp%pic.bmp\0", 27);
  source.heap_end = "6000:001E";
  source.text_records = {TextRecordBytes(3, 0x6000, 0x70), TextRecordBytes(10, 0x6000, 0x71),
                         TextRecordBytes(12, 0x6000, 0x72)};
  source.trailing = "bytes after the last section";

  JwcFile expected = FullDrawing();  // canonical numbers, spaces in line 0, a rebuilt heap
  expected.texts = {"A", "B", "^@BMpic.bmp"};
  EXPECT_EQ(Convert(source.Bytes()), expected.Bytes());
}

TEST(JwcWrite, ADrawingWithoutTextsWritesNoHeap) {
  JwcFile source;
  source.heap_start = "6000:0005";
  source.heap_end = "6000:0020";
  source.heap = std::string(27, 'x');  // a heap no text refers to
  source.points = {PointRecordBytes(2)};
  JwcFile expected = source;
  expected.heap_end = "6000:0005";  // the start's offset
  expected.heap = "";
  std::string written = Convert(source.Bytes());
  EXPECT_EQ(written, expected.Bytes());
  EXPECT_NE(written.find("6000:0005,6000:0005,"), std::string::npos);
}

TEST(JwcWrite, TextsSharingAStringEachGetTheirOwnCopy) {
  JwcFile source;
  source.texts = {"same", "same"};
  source.heap = std::string("same\0", 5);
  source.heap_end = "6000:0005";
  source.text_records = {TextRecordBytes(0, 0x6000, 0x70), TextRecordBytes(0, 0x6000, 0x71)};
  JwcFile expected;
  expected.texts = {"same", "same"};
  EXPECT_EQ(Convert(source.Bytes()), expected.Bytes());
}

TEST(JwcWrite, OnlyTheExactImagePrefixIsShortened) {
  JwcFile source;
  source.texts = {"^@BM%temp%", "^@BM%temp", "^@bm%temp%x", "x^@BM%temp%"};
  JwcWorkspace workspace = Read(source.Bytes());
  std::string written = testing::Written(workspace);
  EXPECT_EQ(workspace.records.texts[0].text, "^@BM");  // the workspace holds the output string
  JwcFile expected;
  expected.texts = {"^@BM", "^@BM%temp", "^@bm%temp%x", "x^@BM%temp%"};
  EXPECT_EQ(written, expected.Bytes());
}

TEST(JwcWrite, EveryU16GroupValueComesBack) {
  for (int first = 0; first < 65536; first += 16) {
    JwcFile file;
    for (int i = 0; i < 16; ++i) {
      file.group_values.push_back(testing::Le16(static_cast<std::uint16_t>(first + i)));
    }
    std::string bytes = file.Bytes();
    ASSERT_EQ(Convert(bytes), bytes) << first;
  }
}

TEST(JwcWrite, AHeaderLineTooLongFor15DigitsTakesTheShortestExactNumbers) {
  JwcFile source;
  // 19 floats written back with 15 digits each need more than the 199 bytes of a line; in
  // their shortest exact form they fit, and every value reads back the same.
  source.line2 =
      "0.1,0.1,0.1,0.1,1,2,3,4,5,6,0.1,0.1,0.1,0.1,0.1,0.1,1,2,3,0.1,0.1,0.1,0.1,0.1,0.1,"
      "0.1,0.1,0.1,";
  JwcWorkspace workspace = Read(source.Bytes());
  EXPECT_EQ(std::get<float>(workspace.header.line2[27]), 0.1f);
  std::string bytes;
  ASSERT_TRUE(testing::WriteTo(bytes, workspace).ok());
  EXPECT_EQ(bytes.substr(400, source.line2.size()), source.line2);
  EXPECT_EQ(Read(bytes).header.line2, workspace.header.line2);
}

TEST(JwcWrite, AHeaderLineThatFitsInNoFormFailsInsteadOfLosingNumbers) {
  JwcFile source;
  // Written without their leading 0, seven-digit values fit the line as read; written back,
  // even in their shortest exact form, they take one byte more each: 208 in all.
  std::string line2;
  for (int field = 0; field < 28; ++field) {
    bool integer = (field >= 4 && field <= 9) || (field >= 16 && field <= 18);
    line2 += integer ? "1," : ".1234568,";
  }
  source.line2 = line2;
  JwcWorkspace workspace = Read(source.Bytes());
  Error error = WriteFailure(workspace);
  EXPECT_EQ(error.kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(error, "header line 2")) << error.message;
}

TEST(JwcRemap, WithChangeTextPenOffThePenNumbersOfTextSettingsStayAsRead) {
  JwcFile file;  // its PenNo values include 0, 7, 255, -1 and 300
  JwcConvSettings table;
  for (int pen = 1; pen <= 6; ++pen) {
    table.SetEntry(pen, 7 - pen);
  }
  for (int off : {0, 2}) {
    table.SetEntry(JwcConvSettings::kChangeTextPen, off);
    EXPECT_EQ(Convert(file.Bytes(), table), file.Bytes()) << off;
  }
}

TEST(JwcRemap, WithChangeTextPenOnThePenNumbersOfTextSettingsAreMapped) {
  JwcFile file;
  file.pen_nos = {1, 2, 3, 4, 5, 6, 0, 7, 255, 3, 6};
  JwcConvSettings table;
  table.SetEntry(3, 5);
  table.SetEntry(6, 2);
  table.SetEntry(JwcConvSettings::kChangeTextPen, 1);
  JwcFile expected = file;
  expected.pen_nos = {1, 2, 5, 4, 5, 2, 1, 1, 1, 5, 2};
  EXPECT_EQ(Convert(file.Bytes(), table), expected.Bytes());
}

TEST(JwcRemap, APenNumberOutsideAByteFailsTheFileNamingTheSetting) {
  JwcFile file;  // setting 9 holds -1 (65535 unsigned), setting 10 holds 300
  JwcWorkspace workspace = Read(file.Bytes());
  JwcConvSettings table;
  table.SetEntry(JwcConvSettings::kChangeTextPen, 1);
  Status remapped = JwcRemap(workspace, table);
  ASSERT_FALSE(remapped.ok());
  EXPECT_EQ(remapped.error().kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(remapped.error(), "text setting 9 holds pen number 65535"))
      << remapped.error().message;
}

// A drawing whose lines, arcs and points have every pen 0-7 and every line type 0-19.
JwcFile EveryPenAndLineType(const JwcConvSettings* table = nullptr) {
  auto pen = [table](int p) {
    return static_cast<std::uint8_t>(table ? MapJwcPen(*table, static_cast<std::uint8_t>(p)) : p);
  };
  auto type = [table](int t) {
    return static_cast<std::uint8_t>(table ? MapJwcLineType(*table, static_cast<std::uint8_t>(t))
                                           : t);
  };
  JwcFile file;
  for (int t = 0; t < 20; ++t) {
    for (int p = 0; p < 8; ++p) {
      file.lines.push_back(LineRecordBytes(type(t), pen(p)));
      file.arcs.push_back(ArcRecordBytes(10000, 65536, 0, -65536, type(t), pen(p)));
    }
  }
  for (int p = 0; p < 8; ++p) {
    file.points.push_back(PointRecordBytes(pen(p)));
  }
  file.texts = {"text records keep every field"};
  return file;
}

TEST(JwcRemap, EveryTableEntryRewritesExactlyItsPenOrLineType) {
  const std::string source = EveryPenAndLineType().Bytes();
  for (int entry = 0; entry <= 23; ++entry) {
    JwcConvSettings table;
    if (entry > 0) {
      table.SetEntry(entry, entry <= 6 ? 7 - entry : (entry % 17) + 1);
    }
    EXPECT_EQ(Convert(source, table), EveryPenAndLineType(&table).Bytes()) << entry;
  }
  JwcConvSettings all;
  for (int entry = 1; entry <= 23; ++entry) {
    all.SetEntry(entry, entry <= 6 ? 7 - entry : 24 - entry);
  }
  all.SetEntry(2, -5);  // a negative entry keeps the source pen
  EXPECT_EQ(Convert(source, all), EveryPenAndLineType(&all).Bytes());
}

TEST(JwcRemap, AnEntryTooLargeForItsByteFailsTheFileNamingTheEntry) {
  JwcWorkspace workspace = Read(EveryPenAndLineType().Bytes());
  JwcConvSettings table;
  table.SetEntry(3, 300);
  Status remapped = JwcRemap(workspace, table);
  ASSERT_FALSE(remapped.ok());
  EXPECT_EQ(remapped.error().kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(remapped.error(), "line record 4 of 160: table entry C3 maps pen 3 to 300"))
      << remapped.error().message;

  JwcConvSettings types;
  types.SetEntry(JwcConvSettings::LineTypeEntry(11), 256);
  workspace = Read(EveryPenAndLineType().Bytes());
  remapped = JwcRemap(workspace, types);
  ASSERT_FALSE(remapped.ok());
  EXPECT_TRUE(Mentions(remapped.error(), "table entry C16 maps line type 11 to 256"))
      << remapped.error().message;
}

TEST(JwcWrite, AHeapStartBeyondTwentyBitsFailsTheFile) {
  JwcFile file;
  file.heap_start = "FFFF:FFFF";  // 0x10FFEF
  file.heap_end = "FFFF:FFFF";
  file.heap = "";
  JwcWorkspace workspace = Read(file.Bytes());
  Error error = WriteFailure(workspace);
  EXPECT_EQ(error.kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(error, "0x10FFEF")) << error.message;
}

TEST(JwcWrite, AHeapPastItsSegmentFailsNamingTheText) {
  JwcWorkspace workspace = Read(JwcFile().Bytes());
  workspace.records.texts.resize(300);
  for (TMoji2& text : workspace.records.texts) {
    text.text = std::string(255, 'x');  // 256 heap bytes each
  }
  Error error = WriteFailure(workspace);
  EXPECT_EQ(error.kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(error, "text record 256 of 300")) << error.message;

  workspace.records.texts.resize(255);  // ends at offset 65280: fits
  workspace.records.texts.push_back({});
  workspace.records.texts.back().text = std::string(254, 'y');  // and now at 65535
  EXPECT_EQ(Read(testing::Written(workspace)).records.texts.size(), 256u);
}

TEST(JwcWrite, AStringLongerThan255BytesFailsNamingTheText) {
  JwcWorkspace workspace = Read(JwcFile().Bytes());
  workspace.records.texts.resize(2);
  workspace.records.texts[0].text = "^@BM%temp%" + std::string(251, 'x');  // 255 once shortened
  workspace.records.texts[1].text = std::string(255, 'x');
  JwcWorkspace fits = workspace;
  EXPECT_EQ(Read(testing::Written(fits)).records.texts[0].text, "^@BM" + std::string(251, 'x'));
  workspace.records.texts[1].text += 'x';
  Error error = WriteFailure(workspace);
  EXPECT_EQ(error.kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(error, "text record 2 of 2: its string is 256 bytes")) << error.message;
}

TEST(JwcWrite, AnArcValueOutsideItsFieldFailsNamingTheRecord) {
  JwcWorkspace workspace = Read(FullDrawing().Bytes());
  workspace.records.arcs[0].fixed[0] = 32768.0f;  // 2^31 in 16.16
  Error error = WriteFailure(workspace);
  EXPECT_EQ(error.kind, ErrorKind::kRange);
  EXPECT_TRUE(Mentions(error, "circle/arc record 1 of 1: the value at offset 14")) << error.message;
}

TEST(JwcRead, ATextPointingOutsideTheHeapFailsTheRead) {
  for (std::uint16_t offset : {5, 200}) {  // just past the heap's end; far past it
    JwcFile file;
    file.texts = {"ab", "cd"};  // a 6-byte heap at 6000:0000
    file.text_records = {TextRecordBytes(0, 0x6000, 0x70), TextRecordBytes(offset + 1, 0x6000)};
    Error error = ReadFailure(file.Bytes());
    EXPECT_EQ(error.kind, ErrorKind::kMalformed);
    EXPECT_TRUE(Mentions(error, "text record 2 of 2")) << error.message;
    EXPECT_EQ(error.offset, 800u + 101 * 9 + 88 + 32 + 560 + 24);
  }
  JwcFile below;
  below.texts = {"ab"};
  below.text_records = {TextRecordBytes(0xF, 0x5FFF)};  // one byte before the heap
  EXPECT_TRUE(Mentions(ReadFailure(below.Bytes()), "heap position -1"));
}

TEST(JwcRead, AStringWithoutNulEndsAtTheHeapsEnd) {
  JwcFile file;
  file.texts = {"abc"};
  file.heap = "abc";
  file.heap_end = "6000:0003";
  EXPECT_EQ(Read(file.Bytes()).records.texts[0].text, "abc");
}

TEST(JwcRead, CountsAreCheckedBeforeAnythingIsAllocated) {
  struct Case {
    const char* counts;
    const char* reason;
  };
  for (Case c : {Case{"-1,0,0,0,", "negative line count (-1)"},
                 Case{"0,0,-5,0,", "negative text count (-5)"},
                 Case{"100000000,0,0,0,", "100000000 line records cannot fit"},
                 Case{"0,2147483647,0,0,", "2147483647 circle/arc records cannot fit"},
                 Case{"0,0,0,1000,", "1000 point records cannot fit"}}) {
    JwcFile file;
    file.counts = c.counts;
    Error error = ReadFailure(file.Bytes());
    EXPECT_EQ(error.kind, ErrorKind::kMalformed) << c.counts;
    EXPECT_TRUE(Mentions(error, c.reason)) << error.message;
  }
}

TEST(JwcRead, ADrawingCutAnywhereFailsCleanly) {
  const std::string bytes = FullDrawing().Bytes();
  ASSERT_TRUE(Read(bytes).records.texts.size() == 3);
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    JwcWorkspace workspace;
    Status read = testing::ReadFrom(bytes.substr(0, length), workspace);
    ASSERT_FALSE(read.ok()) << length;
    ASSERT_FALSE(read.error().message.empty());
    ASSERT_TRUE(read.error().offset.has_value()) << read.error().message;
    ASSERT_LE(*read.error().offset, length) << read.error().message;
  }
}

// Damaged drawings never crash the reader, and whatever the writer accepts reads back as it
// was written.
TEST(JwcRead, DamagedDrawingsReadOrFailWithoutHarm) {
  const std::string original = FullDrawing().Bytes();
  std::mt19937 random(3);
  JwcConvSettings table;
  table.SetEntry(1, 4);
  int written = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = original;
    int changes = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < changes; ++i) {
      // Half the changes go into the header lines, where the counts and addresses are.
      std::size_t at = random() % 2 ? random() % 800 : random() % bytes.size();
      bytes[at] = static_cast<char>(random() % 3 ? "0123456789-,:$fF "[random() % 17] : random());
    }
    JwcWorkspace workspace;
    if (!testing::ReadFrom(bytes, workspace).ok() || !JwcRemap(workspace, table).ok()) {
      continue;
    }
    std::string output;
    if (!testing::WriteTo(output, workspace).ok()) {
      continue;
    }
    JwcWorkspace again;
    ASSERT_TRUE(testing::ReadFrom(output, again).ok()) << round;
    ASSERT_TRUE(again == workspace) << round;
    ++written;
  }
  EXPECT_GT(written, 100);
}

}  // namespace
}  // namespace penmorph::jw
