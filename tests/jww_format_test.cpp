// JWW drawings through the parts of the program that use them: the batch driver, the file
// list's memo and the command line.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "cli/reason_text.h"
#include "convert/batch_converter.h"
#include "convert/file_memo.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "formats/windows/jww_format.h"
#include "formats/windows/stream_converter.h"
#include "jw_test_bytes.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

namespace fs = std::filesystem;
using testing::EmptyJww;
using testing::HeaderValues;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

class JwwFormatTest : public ::testing::Test {
 protected:
  JwwFormatTest() {
    fs::create_directory(folder_ / "in");
    fs::create_directory(folder_ / "out");
  }
  fs::path In(const std::string& name) { return folder_ / "in" / name; }
  fs::path Out(const std::string& name) { return folder_ / "out" / name; }

  ScratchFolder folder_;
  FormatRegistry formats_ = MakeStandardFormats();
};

TEST_F(JwwFormatTest, MemosComeFromTheHeaderInEitherStringForm) {
  HeaderValues values;
  values.memo = "\x95\xBD\x96\xCA\r\n";  // "平面" in Shift-JIS and a line break
  WriteBytes(In("plan.jww"), EmptyJww(700, values));
  HeaderMemo memo = FileMemo(formats_, In("plan.jww"));
  EXPECT_EQ(memo.text, "\x95\xBD\x96\xCA");
  EXPECT_FALSE(memo.utf8);
  WriteBytes(In("plan.jw$"), EmptyJww(600, values));
  EXPECT_EQ(FileMemo(formats_, In("plan.jw$")).text, "\x95\xBD\x96\xCA");
  WriteBytes(In("plan.bak"), EmptyJww(600, values));
  EXPECT_EQ(FileMemo(formats_, In("plan.bak")).text, "\x95\xBD\x96\xCA");

  // A wide memo: 255, 0xFFFE, two units "図A".
  std::string wide = EmptyJww(700, values);
  wide.replace(12, 1 + values.memo.size(), std::string("\xFF\xFE\xFF\x02\xF3\x56\x41\x00", 8));
  WriteBytes(In("wide.jww"), wide);
  memo = FileMemo(formats_, In("wide.jww"));
  EXPECT_EQ(memo.text, "図A");
  EXPECT_TRUE(memo.utf8);
  WriteBytes(In("junk.jww"), "JwwData.");
  EXPECT_EQ(FileMemo(formats_, In("junk.jww")).text, "");
}

TEST_F(JwwFormatTest, ReadingAMemoLeavesTheDrawingBeingConvertedAlone) {
  HeaderValues values;
  values.memo = "first";
  WriteBytes(In("first.jww"), EmptyJww(700, values));
  values.memo = "second";
  WriteBytes(In("second.jww"), EmptyJww(600, values));
  const JwwFormat format;
  auto converting = ByteReader::OpenFile(In("first.jww"));
  auto listing = ByteReader::OpenFile(In("second.jww"));
  ASSERT_TRUE(converting.ok() && listing.ok());
  ASSERT_EQ(format.ReadMemo(listing.value())->text, "second");
  VectorSink converted;
  ASSERT_TRUE(format.Convert(converting.value(), ConversionTables{}, converted).ok());
  JwwWorkspace workspace;
  auto reread = ByteReader::FromMemory(converted.bytes());
  ASSERT_TRUE(testing::IsOk(JwwRead(reread, workspace)));
  EXPECT_EQ(workspace.header.memo.bytes, "first");
  EXPECT_EQ(workspace.header.version, 700);
}

TEST_F(JwwFormatTest, ABrokenDrawingFailsWithItsReasonAndTouchesNothing) {
  std::string bytes = EmptyJww(700);
  bytes.resize(bytes.size() - 8);  // up to the entity count
  bytes += std::string("\x01\x00\x01\x00", 4) +
           std::string(60, '\x02');  // one entity: an object reference
  WriteBytes(In("broken.jww"), bytes);
  WriteBytes(Out("broken.jww"), "previous");
  WriteBytes(In("good.jww"), EmptyJww(700));
  ConversionTables tables;
  testing::FakeUi ui;
  RealFileSystem files;
  BatchConverter converter(formats_, tables, ui, files);
  FileOutcome failed = converter.ConvertFile(In("broken.jww"), Out("broken.jww"));
  EXPECT_EQ(failed.kind, OutcomeKind::kFailed);
  EXPECT_NE(EnglishReason(failed.why).find("cannot read: an object reference"), std::string::npos)
      << EnglishReason(failed.why);
  EXPECT_EQ(Snapshot(folder_ / "out"), (testing::FolderSnapshot{{"broken.jww", "previous"}}));
  EXPECT_EQ(converter.ConvertFile(In("good.jww"), Out("good.jww")).kind, OutcomeKind::kConverted);
  EXPECT_EQ(ReadBytes(Out("good.jww")), EmptyJww(700));
}

// Where a drawing holds a picture nothing refers to, which the output leaves out.
enum class Unused { kNone, kFirst, kLast };

// A drawing larger than what is read whole: a text in pen 1 and the picture it shows, of 1.5 MB,
// and maybe one more picture.
std::string LargeDrawing(Unused unused) {
  testing::ByteBuilder out;
  testing::AppendJwwHeader(out, 700);
  out.u16(1).new_class("CDataMoji", 700);
  EntityBase base;
  base.PenColor = 1;
  base.PenStyle = 1;
  out.base(700, base).f64(0).f64(0).f64(10).f64(0).i32(0).f64(2).f64(2).f64(0).f64(0);
  out.str("font").str("^@BM%temp%pic.bmp,100,100,0,0,1,0");
  out.u16(0);  // no block definitions
  out.i32(unused == Unused::kNone ? 1 : 2);
  if (unused == Unused::kFirst) {
    out.str("old.bmp").i32(6).raw("BMxyzw");
  }
  const std::string picture = "BM" + std::string(1536 * 1024, 'p');
  out.str("pic.bmp").i32(static_cast<std::int32_t>(picture.size())).raw(picture);
  if (unused == Unused::kLast) {
    out.str("old.bmp").i32(6).raw("BMxyzw");
  }
  return out.bytes();
}

// Large files are made as copies of their sources changed in place where the file system
// allows it; whether the copy is kept, cut short (a picture left out at the end) or given up for
// the ordinary way (one left out before another, or a longer layer name, moves what follows),
// the output is the one the conversion writes, and a file that cannot be read leaves nothing.
TEST_F(JwwFormatTest, LargeDrawingsComeOutAsTheConversionWritesThem) {
  ConversionTables colors;
  colors.jww.SetEntry(1, 2);
  ConversionTables renamed = colors;
  renamed.layers.SetLayerName(0, "a layer name longer than the one it replaces");
  testing::FakeUi ui;
  RealFileSystem files;
  for (const ConversionTables* tables : {&colors, &renamed}) {
    BatchConverter converter(formats_, *tables, ui, files);
    for (Unused unused : {Unused::kNone, Unused::kFirst, Unused::kLast}) {
      const std::string bytes = LargeDrawing(unused);
      WriteBytes(In("large.jww"), bytes);
      auto in = ByteReader::FromMemory(
          {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
      VectorSink expected;
      ASSERT_TRUE(ConvertJwwStream(in, tables->jww, expected, tables->layers).ok());
      const FileOutcome outcome = converter.ConvertFile(In("large.jww"), Out("large.jww"));
      ASSERT_EQ(outcome.kind, OutcomeKind::kConverted) << EnglishReason(outcome.why);
      const std::string written = ReadBytes(Out("large.jww"));
      EXPECT_TRUE(written == std::string(expected.bytes().begin(), expected.bytes().end()))
          << "unused picture " << static_cast<int>(unused) << ", " << written.size()
          << " bytes written";
      fs::remove(Out("large.jww"));
    }
  }
  std::string cut = LargeDrawing(Unused::kNone);
  cut.resize(cut.size() - 100);  // the picture ends early
  WriteBytes(In("cut.jww"), cut);
  BatchConverter converter(formats_, colors, ui, files);
  EXPECT_EQ(converter.ConvertFile(In("cut.jww"), Out("cut.jww")).kind, OutcomeKind::kFailed);
  EXPECT_EQ(Snapshot(folder_ / "out"), testing::FolderSnapshot{});
}

TEST_F(JwwFormatTest, CommandLineConvertsAndDescribes) {
  HeaderValues values;
  values.memo = "\x95\xBD\x96\xCA";
  values.layer_name = "";  // no layer named or used: info lists none
  WriteBytes(In("a.jww"), EmptyJww(420, values));
  WriteBytes(In("cut.jww"), EmptyJww(420).substr(0, 5000));
  std::ostringstream out, err;
  int status = RunCli({"convert", "--dest", (folder_ / "out").string(), In("a.jww").string(),
                       In("cut.jww").string()},
                      out, err, formats_);
  EXPECT_EQ(status, 1);
  EXPECT_NE(out.str().find("converted " + In("a.jww").string()), std::string::npos);
  EXPECT_NE(out.str().find("failed " + In("cut.jww").string() + ": cannot read: the file ends"),
            std::string::npos)
      << out.str();
  EXPECT_NE(out.str().find("1 converted, 0 skipped, 1 failed"), std::string::npos);

  std::ostringstream info;
  EXPECT_EQ(RunCli({"info", In("a.jww").string()}, info, err, formats_), 0);
  EXPECT_EQ(info.str(), In("a.jww").string() +
                            "\n  format: JWW\n  version: 420\n  memo: 平面\n  lines: 0\n"
                            "  arcs: 0\n  points: 0\n  texts: 0\n  dimensions: 0\n  solids: 0\n"
                            "  block insertions: 0\n  block definitions: 0\n"
                            "  block definition members: 0\n  images: 0\n");
}

}  // namespace
}  // namespace penmorph::jw
