// JWW drawings through the parts of the program that use them: the batch driver, the file
// list's memo and the command line.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "convert/batch_converter.h"
#include "convert/file_memo.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "formats/windows/jww_format.h"
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
  EXPECT_NE(failed.reason.find("cannot read: an object reference"), std::string::npos)
      << failed.reason;
  EXPECT_EQ(Snapshot(folder_ / "out"), (testing::FolderSnapshot{{"broken.jww", "previous"}}));
  EXPECT_EQ(converter.ConvertFile(In("good.jww"), Out("good.jww")).kind, OutcomeKind::kConverted);
  EXPECT_EQ(ReadBytes(Out("good.jww")), EmptyJww(700));
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
