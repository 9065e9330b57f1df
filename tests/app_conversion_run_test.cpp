// The "変換" button before a run: the checks in their order, the plan, the count and the
// question, and which files the report of a run holds.

#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "app/path_text.h"
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

  fs::path source() const { return scratch_ / fs::path(u8"図面"); }
  fs::path destination() const { return scratch_ / fs::path(u8"変換後"); }

  ConversionRequest Request(std::vector<fs::path> names) const {
    ConversionRequest request;
    request.tree_ready = true;
    request.list_ready = true;
    request.source_folder = source() / "";
    request.destination_folder = PathText(destination() / "");
    request.file_names = std::move(names);
    return request;
  }

  RunReport Run(const ConversionRequest& request) {
    EXPECT_TRUE(CheckConversion(request, prompts_));
    return testing::RunToEnd(MakePlan(request), registry_, tables_, 2);
  }

  ScratchFolder scratch_;
  penmorph::testing::CallLog log_;
  FormatRegistry registry_;
  std::map<std::string, FakeFormat*> formats_;
  ConversionTables tables_;
  FakePrompts prompts_;
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
      // Nothing selected: said so, and nothing else is asked.
      {[](ConversionRequest& r) {
         r.file_names.clear();
         r.destination_folder = "";
       },
       {"beep", "warning:変換するファイルが選択されていません。"}},
      {[](ConversionRequest& r) { r.destination_folder = ""; },
       {"beep", "warning:保存先フォルダを指定して下さい。"}},
      {[this](ConversionRequest& r) { r.destination_folder = (scratch_ / "missing/").string(); },
       {"beep", "warning:指定された保存先フォルダが存在しません。再指定して下さい。"}},
      {[](ConversionRequest& r) { r.destination_folder = r.source_folder.string(); },
       {"beep", "warning:保存先フォルダとファイルのフォルダが同じになっています。"}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    ConversionRequest request = Request({"a.jww"});
    cases[i].spoil(request);
    EXPECT_FALSE(CheckConversion(request, prompts_)) << i;
    EXPECT_EQ(prompts_.Take(), cases[i].events) << i;
  }
  // A tree takes no rows, so nothing selected is no obstacle there.
  ConversionRequest tree = Request({});
  tree.whole_tree = true;
  EXPECT_TRUE(CheckConversion(tree, prompts_));
  EXPECT_TRUE(prompts_.Take().empty());
}

TEST_F(ConversionRunTest, SameFolderIsFoundThroughLinksAndDotSegments) {
  std::vector<std::string> spellings = {PathText(source() / "." / ""), PathText(source())};
  if (testing::SymlinksAvailable()) {
    fs::create_directory_symlink(source(), scratch_ / "link");
    spellings.push_back((scratch_ / "link").string() + "/");
  }
  for (const std::string& destination : spellings) {
    ConversionRequest request = Request({"a.jww"});
    request.destination_folder = destination;
    EXPECT_FALSE(CheckConversion(request, prompts_)) << destination;
    EXPECT_EQ(prompts_.Take().back(),
              "warning:保存先フォルダとファイルのフォルダが同じになっています。");
  }
  fs::create_directory(scratch_ / "SRC");
  fs::create_directory(scratch_ / "src");
  if (!fs::equivalent(scratch_ / "SRC", scratch_ / "src")) {
    ConversionRequest request = Request({"a.jww"});
    request.source_folder = scratch_ / "src";
    request.destination_folder = (scratch_ / "SRC/").string();
    EXPECT_TRUE(CheckConversion(request, prompts_));  // folders differing only in case differ
  }
}

// The question names the files, where from and where to, and the outputs kept as .BAK.
TEST_F(ConversionRunTest, TheQuestionCountsTheFilesAndTheOutputsKeptAsBak) {
  fs::create_directories(source() / "sub" / "deeper");
  for (const char* name : {"a.jww", "b.jwc", "sub/c.jww", "sub/deeper/d.jwk", "sub/e.txt"}) {
    WriteBytes(source() / name, FakeDrawing("JWW", name));
  }
  WriteBytes(destination() / "a.jww", "an earlier output");
  fs::create_directories(destination() / "sub");
  WriteBytes(destination() / "sub" / "c.jww", "an earlier output");

  ConversionPlan rows = MakePlan(Request({"a.jww", "b.jwc"}));
  EXPECT_EQ(rows.jobs.size(), 2u);
  EXPECT_EQ(rows.jobs[0].output, destination() / "a.jww");
  PlanCount count = CountPlan(rows, registry_);
  EXPECT_EQ(count.files, 2u);
  EXPECT_EQ(count.existing_outputs, 1u);
  EXPECT_EQ(RunQuestion(rows, count),
            "「図面」の 2 個のファイルを「変換後」に変換します。同じ名前のファイルが 1 個あり、"
            ".BAK として残します。よろしいですか？");

  ConversionRequest request = Request({});
  request.whole_tree = true;
  request.destination_folder = PathText(destination());  // without a trailing separator
  ConversionPlan tree = MakePlan(request);
  count = CountPlan(tree, registry_);
  EXPECT_EQ(count.files, 4u);  // the text file is no drawing
  EXPECT_EQ(count.existing_outputs, 2u);
  EXPECT_EQ(RunQuestion(tree, {4, 0}),
            "「図面」以下の 4 個のファイルを「変換後」に変換します。よろしいですか？");
  request.file_pattern = "*.jws";
  EXPECT_EQ(CountPlan(MakePlan(request), registry_).files, 0u);
  EXPECT_EQ(NothingInTreeText(MakePlan(request)), "「図面」以下に変換するファイルがありません。");
  EXPECT_TRUE(log_.empty());  // counting reads no file
}

// A ".jww" that is no JWW drawing is reported with failures; other extensions are passed over.
TEST_F(ConversionRunTest, TheReportHoldsFailuresAndUnrecognisedJwCadFilesOnly) {
  WriteBytes(source() / "good.jww", FakeDrawing("JWW", "good"));
  WriteBytes(source() / "fake.jww", "no signature");
  WriteBytes(source() / "notes.txt", "text");
  WriteBytes(source() / "plan.bak", FakeDrawing("JWW", "backup"));
  WriteBytes(source() / "broken.jwc", FakeDrawing("JWC", "broken"));
  WriteBytes(destination() / "good.jww", "an earlier output");
  formats_["JWC"]->fail_read = true;
  RunReport report =
      Run(Request({"broken.jwc", "fake.jww", "good.jww", "notes.txt", "plan.bak", "gone.jwk"}));
  EXPECT_EQ(report.backups, 1u);
  std::vector<ReportedFile> reported = ReportedFiles(report.result);
  ASSERT_EQ(reported.size(), 3u);
  EXPECT_EQ(reported[0].file, source() / "broken.jwc");
  EXPECT_EQ(reported[1].file, source() / "fake.jww");
  EXPECT_EQ(reported[2].file, source() / "gone.jwk");
  EXPECT_EQ(reported[2].file_text, PathText(source() / "gone.jwk"));

  // A folder of a tree that could not be listed follows the files, so nothing goes unsaid.
  report.unreadable_folders = {source() / "locked"};
  reported = ReportedFiles(report);
  ASSERT_EQ(reported.size(), 4u);
  EXPECT_EQ(reported[3].file, source() / "locked");
  EXPECT_EQ(reported[3].reason, "フォルダの中を読めないため、その中のファイルは変換していません");
}

}  // namespace
}  // namespace penmorph::app
