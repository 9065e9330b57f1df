// JWC and JWK files through the real formats: the batch driver, the command line and the
// file list's memo column.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_app.h"
#include "cli/reason_text.h"
#include "common/text.h"
#include "convert/batch_converter.h"
#include "convert/file_memo.h"
#include "dos_round_trip.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::JwcFile;
using testing::JwkFile;
using testing::LineRecordBytes;
using testing::PointRecordBytes;
using testing::ReadBytes;
using testing::WriteBytes;

class DosDriverTest : public ::testing::Test {
 protected:
  DosDriverTest() {
    fs::create_directory(source());
    fs::create_directory(destination());
    drawing_.lines = {LineRecordBytes(1, 2), LineRecordBytes(3, 3)};
    drawing_.points = {PointRecordBytes(3)};
    drawing_.texts = {"^@BM%temp%x.bmp"};
    symbol_.lines = {LineRecordBytes(2, 3)};
    symbol_.texts = {"sym"};
  }
  fs::path source() const { return scratch_.path() / "src"; }
  fs::path destination() const { return scratch_.path() / "dst"; }

  BatchResult Run(std::vector<std::string> names) {
    BatchConverter converter(formats_, tables_, ui_, files_);
    return testing::ConvertAll(converter, source(), destination(), names);
  }

  testing::ScratchFolder scratch_;
  FormatRegistry formats_ = MakeStandardFormats();
  ConversionTables tables_;
  testing::FakeUi ui_;
  RealFileSystem files_;
  JwcFile drawing_;
  JwkFile symbol_;
};

TEST_F(DosDriverTest, ConvertsDrawingsAndSymbolsAndReportsEveryFailure) {
  WriteBytes(source() / "plan.jwc", drawing_.Bytes());
  WriteBytes(source() / "SYM.JWK", symbol_.Bytes());
  WriteBytes(source() / "cut.jwc", drawing_.Bytes().substr(0, 1500));
  WriteBytes(source() / "fake.jwk", "not a symbol");
  tables_.jwc.SetEntry(3, 6);

  BatchResult result = Run({"plan.jwc", "cut.jwc", "SYM.JWK", "fake.jwk"});
  ASSERT_EQ(result.outcomes.size(), 4u);
  EXPECT_EQ(result.outcomes[0].kind, OutcomeKind::kConverted)
      << EnglishReason(result.outcomes[0].why);
  EXPECT_EQ(result.outcomes[1].kind, OutcomeKind::kFailed);
  EXPECT_NE(EnglishReason(result.outcomes[1].why).find("the file ends early"), std::string::npos)
      << EnglishReason(result.outcomes[1].why);
  EXPECT_NE(EnglishReason(result.outcomes[1].why).find("(at byte 1500)"), std::string::npos);
  EXPECT_EQ(result.outcomes[2].kind, OutcomeKind::kConverted)
      << EnglishReason(result.outcomes[2].why);
  EXPECT_EQ(result.outcomes[3].kind, OutcomeKind::kSkipped);

  JwcFile expected_drawing = drawing_;
  expected_drawing.lines = {LineRecordBytes(1, 2), LineRecordBytes(3, 6)};
  expected_drawing.points = {PointRecordBytes(6)};
  expected_drawing.texts = {"^@BMx.bmp"};
  EXPECT_EQ(ReadBytes(destination() / "plan.jwc"), expected_drawing.Bytes());
  JwkFile expected_symbol = symbol_;
  expected_symbol.lines = {LineRecordBytes(2, 6)};
  EXPECT_EQ(ReadBytes(destination() / "SYM.JWK"), expected_symbol.Bytes());
  EXPECT_FALSE(fs::exists(destination() / "cut.jwc"));
}

TEST_F(DosDriverTest, ARangeFailureFailsThatFileOnlyAndLeavesItsOutputAlone) {
  WriteBytes(source() / "a.jwc", drawing_.Bytes());
  WriteBytes(source() / "b.jwk", symbol_.Bytes());
  WriteBytes(destination() / "a.jwc", "the previous output");
  tables_.jwc.SetEntry(JwcConvSettings::kChangeTextPen, 1);  // the drawing has PenNo 300
  testing::FolderSnapshot before = testing::Snapshot(destination());

  BatchResult result = Run({"a.jwc", "b.jwk"});
  ASSERT_EQ(result.outcomes.size(), 2u);
  EXPECT_EQ(result.outcomes[0].kind, OutcomeKind::kFailed);
  EXPECT_NE(EnglishReason(result.outcomes[0].why).find("text setting 9 holds pen number 65535"),
            std::string::npos)
      << EnglishReason(result.outcomes[0].why);
  EXPECT_EQ(result.outcomes[1].kind, OutcomeKind::kConverted);  // the batch goes on
  testing::FolderSnapshot after = testing::Snapshot(destination());
  after.erase("b.jwk");
  EXPECT_EQ(after, before);  // no backup, no partial file, the old output untouched
}

TEST_F(DosDriverTest, AValueThatDoesNotFitOnWritingLeavesTheDestinationAsItWas) {
  JwcFile drawing = drawing_;
  drawing.line2.clear();  // numbers that fit as read but in no form written back
  for (int field = 0; field < 28; ++field) {
    bool integer = (field >= 4 && field <= 9) || (field >= 16 && field <= 18);
    drawing.line2 += integer ? "1," : ".1234568,";
  }
  WriteBytes(source() / "long.jwc", drawing.Bytes());
  JwkFile symbol = symbol_;
  symbol.texts = {std::string(300, 'x')};  // readable, but no text may be written that long
  WriteBytes(source() / "text.jwk", symbol.Bytes());
  WriteBytes(destination() / "text.jwk", "the previous output");
  testing::FolderSnapshot before = testing::Snapshot(destination());

  BatchResult result = Run({"long.jwc", "text.jwk"});
  ASSERT_EQ(result.outcomes.size(), 2u);
  EXPECT_EQ(result.outcomes[0].kind, OutcomeKind::kFailed);
  EXPECT_NE(EnglishReason(result.outcomes[0].why).find("cannot write: header line 2 needs"),
            std::string::npos)
      << EnglishReason(result.outcomes[0].why);
  EXPECT_EQ(result.outcomes[1].kind, OutcomeKind::kFailed);
  EXPECT_NE(EnglishReason(result.outcomes[1].why)
                .find("text record 1 of 1: its string is 300 bytes long"),
            std::string::npos)
      << EnglishReason(result.outcomes[1].why);
  EXPECT_EQ(testing::Snapshot(destination()), before);
}

TEST_F(DosDriverTest, TheFileListShowsBothMemoHalves) {
  drawing_.memo_a = std::string("\x90\x7d\x96\xca\x01", 5);  // "図面" and a control byte
  drawing_.memo_b = "B";
  WriteBytes(source() / "a.jwc", drawing_.Bytes());
  WriteBytes(source() / "a.bak", drawing_.Bytes());
  WriteBytes(source() / "s.jwk", symbol_.Bytes());
  WriteBytes(source() / "short.jwc", drawing_.Bytes().substr(0, 799));
  EXPECT_EQ(FileMemo(formats_, source() / "a.jwc").text, "\x90\x7d\x96\xca B");
  EXPECT_EQ(FileMemo(formats_, source() / "a.bak").text, "\x90\x7d\x96\xca B");
  EXPECT_EQ(FileMemo(formats_, source() / "s.jwk").text, "sym A sym B");
  EXPECT_EQ(FileMemo(formats_, source() / "short.jwc").text, "");
  // The format holds no file: a memo read while a conversion has its file open leaves that
  // conversion alone.
  WriteBytes(source() / "other.jwc", JwcFile().Bytes());
  const FileFormat* jwc = formats_.FindByExtension(".JWC");
  auto converting = ByteReader::OpenFile(source() / "a.jwc");
  auto listing = ByteReader::OpenFile(source() / "other.jwc");
  ASSERT_TRUE(converting.ok() && listing.ok());
  ASSERT_TRUE(jwc->ReadMemo(listing.value()).has_value());
  VectorSink sink;
  ASSERT_TRUE(jwc->Convert(converting.value(), ConversionTables{}, sink).ok());
  JwcFile expected = drawing_;
  expected.texts = {"^@BMx.bmp"};
  EXPECT_EQ(std::string(sink.bytes().begin(), sink.bytes().end()), expected.Bytes());
}

TEST_F(DosDriverTest, CommandLineConvertsAndDescribes) {
  WriteBytes(source() / "a.jwc", drawing_.Bytes());
  WriteBytes(source() / "b.jwk", symbol_.Bytes());
  std::ostringstream out;
  std::ostringstream err;
  int status = RunCli({"info", (source() / "a.jwc").string(), (source() / "b.jwk").string()}, out,
                      err, formats_);
  EXPECT_EQ(status, kExitOk) << err.str();
  const std::string info = out.str();
  for (const char* line :
       {"  format: JWC\n", "  memo: memo A memo B\n", "  lines: 2\n", "  circles/arcs: 0\n",
        "  texts: 1\n", "  points: 1\n", "  layer-group values: u16\n", "  paper size code: 3\n",
        "  text heap: 16 bytes from address 6000:0000\n", "  format: JWK\n",
        "  memo: sym A sym B\n", "  text heap: 4 bytes\n"}) {
    EXPECT_NE(info.find(line), std::string::npos) << line << " in\n" << info;
  }
  EXPECT_EQ(info.find("version"), std::string::npos);

  std::ostringstream converted;
  status = RunCli({"convert", "--dest", destination().string(), (source() / "a.jwc").string(),
                   (source() / "b.jwk").string()},
                  converted, err, formats_);
  EXPECT_EQ(status, kExitOk) << converted.str();
  EXPECT_NE(converted.str().find("2 converted, 0 skipped, 0 failed"), std::string::npos);
  EXPECT_EQ(ReadBytes(destination() / "b.jwk"), symbol_.Bytes());
}

TEST_F(DosDriverTest, SampleSymbolsConvertThroughTheCommandLine) {
  std::vector<std::string> args = {"convert", "--dest", destination().string()};
  for (const fs::path& sample : testing::SampleFiles(".jwk")) {
    args.push_back(sample.string());
  }
  if (args.size() == 3) {
    GTEST_SKIP() << "no JWK samples in " << PENMORPH_SAMPLES_DIR;
  }
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunCli(args, out, err, formats_), kExitOk) << out.str();
  EXPECT_NE(out.str().find(std::to_string(args.size() - 3) + " converted, 0 skipped, 0 failed"),
            std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace penmorph
