#include "cli/cli_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "child_process.h"
#include "common/path_text.h"
#include "common/text_decoding.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::CallLog;
using testing::FakeDrawing;
using testing::FakeFormat;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun RunWith(const FormatRegistry& formats, std::vector<std::string> args) {
  std::ostringstream out;
  std::ostringstream err;
  int status = RunCli(args, out, err, formats);
  return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    fs::create_directory(scratch_ / "in");
    fs::create_directory(scratch_ / "out");
    auto jww = std::make_unique<FakeFormat>("JWW", log_);
    jww_ = jww.get();
    fakes_.Add(std::move(jww));
    fakes_.Add(std::make_unique<FakeFormat>("JWC", log_));
  }
  std::string In(const std::string& name) const { return (scratch_ / "in" / name).string(); }
  std::string Out() const { return (scratch_ / "out").string(); }

  ScratchFolder scratch_;
  CallLog log_;
  FormatRegistry fakes_;
  FakeFormat* jww_ = nullptr;
};

TEST_F(CliTest, ForeignFilesAreSkippedOneLineEach) {
  WriteBytes(In("readme.txt"), "hello");
  WriteBytes(In("photo.jpg"), "\xFF\xD8");
  WriteBytes(In("empty.jww"), "");
  FormatRegistry standard = MakeStandardFormats();
  CliRun run = RunWith(
      standard, {"convert", "--dest", Out(), In("readme.txt"), In("photo.jpg"), In("empty.jww")});
  EXPECT_EQ(run.status, 0);
  std::istringstream lines(run.out);
  std::string line;
  int skipped = 0;
  while (std::getline(lines, line) && line.rfind("skipped ", 0) == 0) {
    ++skipped;
  }
  EXPECT_EQ(skipped, 3) << run.out;
  EXPECT_EQ(line, "0 converted, 3 skipped, 0 failed");
  EXPECT_NE(run.out.find("skipped " + In("readme.txt") + ": "), std::string::npos);
  EXPECT_TRUE(testing::Snapshot(Out()).empty());
}

TEST_F(CliTest, ReportsEachFileInOrderAndFailsWithStatusOne) {
  WriteBytes(In("a.jww"), FakeDrawing("JWW", "a"));
  WriteBytes(In("b.txt"), "b");
  WriteBytes(In("c.jwc"), FakeDrawing("JWC", "c"));
  jww_->fail_read = true;
  WriteBytes(In("d.jww"), FakeDrawing("JWW", "d"));
  CliRun run = RunWith(fakes_, {"convert", "--dest", Out(), In("c.jwc"), In("b.txt"), In("a.jww")});
  EXPECT_EQ(run.status, 1);
  const std::string dst = (fs::path(Out()) / "c.jwc").string();
  EXPECT_EQ(run.out, "converted " + In("c.jwc") + " -> " + dst + "\n" + "skipped " + In("b.txt") +
                         ": not a jw_cad file type (.txt)\n" + "failed " + In("a.jww") +
                         ": cannot read: bad record (at byte 17)\n" +
                         "1 converted, 1 skipped, 1 failed\n");
}

TEST_F(CliTest, SettingsAndIniFilesLoadTheTables) {
  WriteBytes(In("a.jwc"), FakeDrawing("JWC", "a"));
  WriteBytes(scratch_ / "t.set", "[JWC]\nC1=5\n");
  WriteBytes(scratch_ / "p.ini", "[Form]\nF1_X=3\n[jwc]\nc1=6\n");
  ASSERT_EQ(RunWith(fakes_, {"convert", "--dest", Out(), "--settings",
                             (scratch_ / "t.set").string(), In("a.jwc")})
                .status,
            0);
  EXPECT_EQ(ReadBytes(fs::path(Out()) / "a.jwc"), FakeDrawing("JWC", "converted(5):a"));
  ASSERT_EQ(RunWith(fakes_, {"convert", "--ini=" + (scratch_ / "p.ini").string(), "--dest", Out(),
                             In("a.jwc")})
                .status,
            0);
  EXPECT_EQ(ReadBytes(fs::path(Out()) / "a.jwc"), FakeDrawing("JWC", "converted(6):a"));
  // Without a file the tables are all 0: no conversion.
  ASSERT_EQ(RunWith(fakes_, {"convert", "--dest", Out(), In("a.jwc")}).status, 0);
  EXPECT_EQ(ReadBytes(fs::path(Out()) / "a.jwc"), FakeDrawing("JWC", "converted(1):a"));
}

TEST_F(CliTest, UsageErrorsAndUnusableDestinationsExitWithTwo) {
  WriteBytes(In("a.jwc"), FakeDrawing("JWC", "a"));
  WriteBytes(scratch_ / "file", "x");
  WriteBytes(scratch_ / "t.set", "");
  auto joined = [](const std::vector<std::string>& args) {
    std::string text;
    for (const auto& arg : args) {
      text += arg + " ";
    }
    return text;
  };
  // Every command's usage errors in one form: the problem, then where the usage is shown.
  const std::vector<std::vector<std::string>> usage_errors = {
      {},
      {"frobnicate"},
      {"convert", In("a.jwc")},
      {"convert", "--dest", Out()},
      {"convert", "--dest"},
      {"convert", "--dest", Out(), "--bogus", In("a.jwc")},
      {"convert", "--dest", Out(), "--settings", (scratch_ / "t.set").string(), "--ini",
       (scratch_ / "t.set").string(), In("a.jwc")},
      {"convert", "--dest", Out(), "-j", "0", In("a.jwc")},
      {"info"},
      {"inventory", "--out", "x.svg", In("a.jwc")},
      {"render", In("a.jwc")},
  };
  for (const auto& args : usage_errors) {
    CliRun run = RunWith(fakes_, args);
    EXPECT_EQ(run.status, 2) << joined(args);
    EXPECT_TRUE(run.out.empty()) << joined(args);
    const std::string command = args.empty() || args[0] == "frobnicate" ? "" : args[0] + " ";
    EXPECT_EQ(run.err.rfind("penmorph-cli: ", 0), 0u) << run.err;
    EXPECT_TRUE(run.err.ends_with("\n(penmorph-cli " + command + "--help shows the usage)\n"))
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
  }
  // A destination or settings file that cannot be used: the reason alone.
  const std::vector<std::vector<std::string>> unusable = {
      {"convert", "--dest", "", In("a.jwc")},
      {"convert", "--dest", (scratch_ / "nowhere").string(), In("a.jwc")},
      {"convert", "--dest", (scratch_ / "file").string(), In("a.jwc")},
      {"convert", "--dest", Out(), "--settings", (scratch_ / "none.set").string(), In("a.jwc")},
  };
  for (const auto& args : unusable) {
    CliRun run = RunWith(fakes_, args);
    EXPECT_EQ(run.status, 2) << joined(args);
    EXPECT_FALSE(run.err.empty()) << joined(args);
    EXPECT_TRUE(run.out.empty()) << joined(args);
  }
  EXPECT_TRUE(testing::Snapshot(Out()).empty());
}

TEST_F(CliTest, HelpAndVersion) {
  CliRun help = RunWith(fakes_, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("penmorph-cli convert --dest DIR"), std::string::npos);
  EXPECT_EQ(RunWith(fakes_, {"convert", "--help"}).status, 0);
  CliRun version = RunWith(fakes_, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("penmorph-cli ", 0), 0u);
}

TEST_F(CliTest, InfoDescribesFilesAndDecodesTheMemo) {
  WriteBytes(In("a.jww"), FakeDrawing("JWW", "\x82\xA0\x88\xEA"));  // "あ一" in Shift-JIS
  WriteBytes(In("b.txt"), "b");
  CliRun run = RunWith(fakes_, {"info", In("a.jww"), In("b.txt")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, In("a.jww") + "\n  format: JWW\n  version: 1\n  memo: あ一\n  lines: 4\n" +
                         In("b.txt") + ": not a jw_cad file type\n");
}

TEST(ShiftJis, DecodesAndMarksBrokenBytes) {
  EXPECT_EQ(ShiftJisToUtf8("plan \x90\x7D\x96\xCA"), "plan 図面");
  EXPECT_EQ(ShiftJisToUtf8("\xB1"), "ｱ");               // half-width katakana
  EXPECT_EQ(ShiftJisToUtf8("a\x82"), "a\xEF\xBF\xBD");  // a lead byte without its partner
}

// The installed program itself, end to end.
TEST(CliProgram, RunsFromTheBuildFolder) {
  ScratchFolder scratch;
  WriteBytes(scratch / "notes.txt", "n");
  fs::create_directory(scratch / "out");
  const fs::path report = scratch / "report.txt";
  EXPECT_EQ(testing::RunProgram({PENMORPH_CLI_PATH, "convert", "--dest",
                                 PathToUtf8(scratch / "out"), PathToUtf8(scratch / "notes.txt")},
                                report),
            0);
  EXPECT_NE(ReadBytes(report).find("0 converted, 1 skipped, 0 failed\n"), std::string::npos);
  EXPECT_EQ(testing::RunProgram({PENMORPH_CLI_PATH, "convert"}, scratch / "usage.txt"), 2);
}

}  // namespace
}  // namespace penmorph
