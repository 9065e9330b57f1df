// The "変換" button's run: the checks in their order, the question, the status texts, and which
// files the report of the run holds.

#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "app/run_report.h"
#include "app_fakes.h"
#include "fakes.h"
#include "test_support.h"

namespace penmorph::app {
namespace {

namespace fs = std::filesystem;
using penmorph::testing::FakeDrawing;
using penmorph::testing::FakeFormat;
using penmorph::testing::FakePrompts;
using penmorph::testing::ReadBytes;
using penmorph::testing::ScratchFolder;
using penmorph::testing::Snapshot;
using penmorph::testing::WriteBytes;

class ConversionRunTest : public ::testing::Test {
 protected:
  ConversionRunTest() {
    fs::create_directory(source());
    fs::create_directory(destination());
    for (const char* name : {"JWW", "JWS", "JWC", "JWK"}) {
      auto format = std::make_unique<FakeFormat>(name, log_);
      formats_[name] = format.get();
      registry_.Add(std::move(format));
    }
  }

  fs::path source() const { return scratch_ / "src"; }
  fs::path destination() const { return scratch_ / "dst"; }

  ConversionRequest Request(std::vector<fs::path> names) const {
    ConversionRequest request;
    request.tree_ready = true;
    request.list_ready = true;
    request.source_folder = source().string() + "/";
    request.destination_folder = destination().string() + "/";
    request.file_names = std::move(names);
    return request;
  }

  RunReport Run(const ConversionRequest& request) {
    return RunConversion(request, registry_, tables_, files_, prompts_);
  }

  ScratchFolder scratch_;
  penmorph::testing::CallLog log_;
  FormatRegistry registry_;
  std::map<std::string, FakeFormat*> formats_;
  ConversionTables tables_;
  FakePrompts prompts_;
  RealFileSystem files_;
};

TEST_F(ConversionRunTest, ChecksComeInOrderEachWithItsBoxAndABeep) {
  struct Case {
    std::function<void(ConversionRequest&)> spoil;
    std::vector<std::string> events;
  };
  const std::vector<Case> cases = {
      {[](ConversionRequest& r) {
         r.tree_ready = false;
         r.list_ready = false;
         r.destination_folder = "";
       },
       {"beep", "error:検索フォルダを指定して下さい。", "status:検索フォルダを指定して下さい。"}},
      {[](ConversionRequest& r) {
         r.list_ready = false;
         r.destination_folder = "";
       },
       {"beep", "error:ファイル一覧が表示されていません。"}},
      {[](ConversionRequest& r) { r.destination_folder = ""; },
       {"beep", "confirmation:保存先フォルダを指定して下さい。"}},
      {[this](ConversionRequest& r) { r.destination_folder = (scratch_ / "missing/").string(); },
       {"beep", "confirmation:指定された保存先フォルダが存在しません。再指定して下さい。"}},
      {[](ConversionRequest& r) { r.destination_folder = r.source_folder.string(); },
       {"beep", "confirmation:保存先フォルダとファイルのフォルダが同じになっています。"}},
  };
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "x"));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    ConversionRequest request = Request({"a.jww"});
    cases[i].spoil(request);
    RunReport report = Run(request);
    EXPECT_FALSE(report.ran) << i;
    EXPECT_EQ(prompts_.Take(), cases[i].events) << i;
  }
  EXPECT_TRUE(log_.empty());
  EXPECT_TRUE(Snapshot(destination()).empty());
}

TEST_F(ConversionRunTest, AnsweringNoCancels) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "x"));
  prompts_.answer = false;
  EXPECT_FALSE(Run(Request({"a.jww"})).ran);
  EXPECT_EQ(prompts_.events, (std::vector<std::string>{"ask:変換を開始します。よろしいですか？",
                                                       "status:変換作業をキャンセルしました。"}));
  EXPECT_TRUE(log_.empty());
}

TEST_F(ConversionRunTest, SameFolderIsFoundThroughLinksAndDotSegments) {
  std::vector<std::string> spellings = {(scratch_ / "." / "src" / "").string(), source().string()};
  if (testing::SymlinksAvailable()) {
    fs::create_directory_symlink(source(), scratch_ / "link");
    spellings.push_back((scratch_ / "link").string() + "/");
  }
  for (const std::string& destination : spellings) {
    ConversionRequest request = Request({});
    request.destination_folder = destination;
    EXPECT_FALSE(Run(request).ran) << destination;
    EXPECT_EQ(prompts_.Take().back(),
              "confirmation:保存先フォルダとファイルのフォルダが同じになっています。");
  }
}

TEST_F(ConversionRunTest, FoldersDifferingOnlyInCaseAreDifferentHere) {
  fs::create_directory(scratch_ / "SRC");
  if (fs::equivalent(scratch_ / "SRC", source())) {
    GTEST_SKIP() << "this file system ignores case";
  }
  ConversionRequest request = Request({});
  request.destination_folder = (scratch_ / "SRC/").string();
  EXPECT_TRUE(Run(request).ran);
}

TEST_F(ConversionRunTest, StatusNamesEachConvertedFileAndEndsWithTheCompletionText) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  WriteBytes(source() / "b.txt", "text");
  WriteBytes(source() / "c.jwc", FakeDrawing("JWC", "c"));
  RunReport report = Run(Request({"a.jww", "b.txt", "c.jwc"}));
  ASSERT_TRUE(report.ran);
  EXPECT_EQ(report.counts.converted, 2u);
  EXPECT_EQ(report.counts.skipped, 1u);
  const std::string a_status = "status:ファイル「" + (source() / "a.jww").string() + "」→「" +
                               (destination() / "a.jww").string() + "」変換中です。";
  EXPECT_EQ(
      prompts_.events,
      (std::vector<std::string>{
          "ask:変換を開始します。よろしいですか？", "progress:0/3", a_status, "progress:1/3",
          "progress:2/3", "status:" + ConvertingStatus(source() / "c.jwc", destination() / "c.jwc"),
          "progress:3/3", "status:変換作業を完了しました。"}));
  EXPECT_EQ(ReadBytes(destination() / "c.jwc"), FakeDrawing("JWC", "converted(1):c"));
}

TEST_F(ConversionRunTest, NothingConvertibleStillEndsWithTheCompletionText) {
  WriteBytes(source() / "b.txt", "text");
  RunReport report = Run(Request({"b.txt"}));
  EXPECT_TRUE(report.ran);
  EXPECT_EQ(prompts_.events.back(), "status:変換作業を完了しました。");
  EXPECT_TRUE(ReportedFiles(report.result).empty());
}

TEST_F(ConversionRunTest, DestinationWithoutTrailingSeparatorStillGetsTheFile) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  ConversionRequest request = Request({"a.jww"});
  request.destination_folder = destination().string();
  Run(request);
  EXPECT_TRUE(fs::exists(destination() / "a.jww"));
}

// A ".jww" that is no JWW drawing is reported with failures; other extensions are passed over.
TEST_F(ConversionRunTest, TheReportHoldsFailuresAndUnrecognisedJwCadFilesOnly) {
  WriteBytes(source() / "good.jww", FakeDrawing("JWW", "good"));
  WriteBytes(source() / "fake.jww", "no signature");
  WriteBytes(source() / "notes.txt", "text");
  WriteBytes(source() / "plan.bak", FakeDrawing("JWW", "backup"));
  WriteBytes(source() / "broken.jwc", FakeDrawing("JWC", "broken"));
  formats_["JWC"]->fail_read = true;
  RunReport report =
      Run(Request({"broken.jwc", "fake.jww", "good.jww", "notes.txt", "plan.bak", "gone.jwk"}));
  std::vector<ReportedFile> reported = ReportedFiles(report.result);
  ASSERT_EQ(reported.size(), 3u);
  EXPECT_EQ(reported[0].file, source() / "broken.jwc");
  EXPECT_EQ(reported[0].reason,
            "読み込めません：ファイルの内容が形式に合いません（bad record (at byte 17)）");
  EXPECT_EQ(reported[1].file, source() / "fake.jww");
  EXPECT_EQ(reported[1].reason, "JWWファイルとして認識できません（JWWの識別子がありません）");
  EXPECT_EQ(reported[2].file, source() / "gone.jwk");
  EXPECT_EQ(reported[2].reason, "ファイルを開けません（no such file）");
  EXPECT_EQ(reported[2].file_text, (source() / "gone.jwk").string());

  // A folder of a tree that could not be listed follows the files, so nothing goes unsaid.
  report.unreadable_folders = {source() / "locked"};
  reported = ReportedFiles(report);
  ASSERT_EQ(reported.size(), 4u);
  EXPECT_EQ(reported[2].file, source() / "gone.jwk");
  EXPECT_EQ(reported[3].file, source() / "locked");
  EXPECT_EQ(reported[3].reason, "フォルダの中を読めないため、その中のファイルは変換していません");
}

}  // namespace
}  // namespace penmorph::app
