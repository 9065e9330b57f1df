// The "変換" button before a run: the checks in their order, the plan, the count and the
// question, and which files the report of a run holds.

#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "app/path_text.h"
#include "app/run_report.h"
#include "app/run_summary.h"
#include "app_fakes.h"
#include "common/text.h"
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

// The question names the drawings, where from and where to, the files it passes over as no
// drawings (by name or by content, as the run will), the outputs kept as .BAK or refused as
// read-only, and what the tables will do.
TEST_F(ConversionRunTest, TheQuestionCountsWhatTheRunWillDoWithEachFile) {
  fs::create_directories(source() / "sub" / "deeper");
  for (const char* name : {"a.jww", "b.jwc", "sub/c.jww", "sub/deeper/d.jwk"}) {
    const std::string format = ToUpperAscii(fs::path(name).extension().string().substr(1));
    WriteBytes(source() / name, FakeDrawing(format, name));
  }
  WriteBytes(source() / "sub" / "e.txt", "text");
  WriteBytes(source() / "random.jww", "random bytes, no signature");
  WriteBytes(source() / "f.jww", FakeDrawing("JWW", "f"));
  WriteBytes(destination() / "a.jww", "an earlier output");
  WriteBytes(destination() / "f.jww", "a read-only earlier output");
  fs::permissions(destination() / "f.jww", fs::perms::owner_read);
  fs::create_directories(destination() / "sub");
  WriteBytes(destination() / "sub" / "c.jww", "an earlier output");
  RealFileSystem files;

  ConversionPlan rows = MakePlan(Request({"a.jww", "b.jwc", "random.jww", "sub/e.txt", "f.jww"}));
  EXPECT_EQ(rows.jobs.size(), 5u);
  EXPECT_EQ(rows.jobs[0].output, destination() / "a.jww");
  PlanCount count = CountPlan(rows, registry_, files);
  EXPECT_EQ(count.files, 3u);
  EXPECT_EQ(count.passed_over, 2u);
  EXPECT_EQ(count.Jobs(), 5u);  // the run's counter goes over every file
  EXPECT_EQ(count.existing_outputs, 1u);
  EXPECT_EQ(count.read_only_outputs, 1u);
  tables_.jww.SetEntry(2, 8);
  EXPECT_EQ(RunQuestion(rows, count, tables_),
            "「図面」の 3 個のファイルを「変換後」に変換します。ほかの 2 個は jw_cad "
            "の図面ではないため飛ばします。同じ名前のファイルが 1 個あり、.BAK "
            "として残します。同じ名前のファイルのうち 1 個は読み取り専用のため、変換しません。"
            "よろしいですか？");
  fs::permissions(destination() / "f.jww", fs::perms::owner_all);

  ConversionRequest request = Request({});
  request.whole_tree = true;
  request.destination_folder = PathText(destination());  // without a trailing separator
  ConversionPlan tree = MakePlan(request);
  count = CountPlan(tree, registry_, files);
  EXPECT_EQ(count.files, 5u);        // the text file is no jw_cad type: the walk leaves it out
  EXPECT_EQ(count.passed_over, 1u);  // random.jww, by its content
  EXPECT_EQ(count.existing_outputs, 3u);
  EXPECT_FALSE(count.stopped);
  // Stopped after two files: it says so and counts no further.
  std::vector<std::size_t> heard;
  count = CountPlan(tree, registry_, files, [&](std::size_t judged) {
    heard.push_back(judged);
    return judged < 2;
  });
  EXPECT_TRUE(count.stopped);
  EXPECT_EQ(count.Jobs(), 2u);
  EXPECT_EQ(heard, (std::vector<std::size_t>{0, 1, 2}));
  // Every table 0: the copies are the drawings as they are, and the question says so.
  EXPECT_EQ(RunQuestion(tree, {4, 0, 0, 0}, ConversionTables{}),
            "「図面」以下の 4 個のファイルを「変換後」に変換します。変換表がすべて 0 "
            "のため、図面の内容は変わりません。よろしいですか？");
  ConversionTables layers;
  layers.layers.SetTarget(0, LayerAddress{0, 1});
  EXPECT_NE(RunQuestion(tree, {4, 0, 0, 0}, layers).find("図形が別のレイヤへ移ります"),
            std::string::npos);
  request.file_pattern = "*.jws";
  EXPECT_EQ(CountPlan(MakePlan(request), registry_, files).files, 0u);
  EXPECT_EQ(NothingToConvertText(MakePlan(request), {}),
            "「図面」以下に変換するファイルがありません。");
  EXPECT_EQ(
      NothingToConvertText(rows, {0, 2, 0, 0}),
      "選択した 2 個のファイルはどれも jw_cad の図面ではないため、変換するものがありません。");
  for (const std::string& call : log_) {
    EXPECT_EQ(call.rfind("probe ", 0), 0u) << call;  // counting reads first bytes only
  }
}

// The report names every file not converted, each with its reason: failures, and files passed
// over as no drawings, whatever the reason (no jw_cad extension, or not what the extension says).
TEST_F(ConversionRunTest, TheReportNamesFailuresAndFilesPassedOverEachWithItsReason) {
  WriteBytes(source() / "good.jww", FakeDrawing("JWW", "good"));
  WriteBytes(source() / "fake.jww", "no signature");
  WriteBytes(source() / "notes.txt", "text");
  WriteBytes(source() / "plan.bak", FakeDrawing("JWW", "backup"));
  WriteBytes(source() / "broken.jwc", FakeDrawing("JWC", "broken"));
  WriteBytes(destination() / "good.jww", "an earlier output");
  formats_["JWC"]->fail_read = true;
  RunReport report =
      Run(Request({"broken.jwc", "fake.jww", "good.jww", "notes.txt", "plan.bak", "gone.jwk"}));
  ASSERT_EQ(report.backups.size(), 1u);
  EXPECT_EQ(report.backups[0].backup, destination() / "good.BAK");
  std::vector<ReportedFile> reported = ReportedFiles(report.result);
  ASSERT_EQ(reported.size(), 5u);
  EXPECT_EQ(reported[0].file, source() / "broken.jwc");
  EXPECT_EQ(reported[1].file, source() / "fake.jww");
  EXPECT_EQ(reported[1].reason, "JWWファイルとして認識できません（JWWの識別子がありません）");
  EXPECT_EQ(reported[2].reason, "jw_cadのファイルの種類ではありません（.txt）");
  EXPECT_EQ(reported[3].file, source() / "plan.bak");
  EXPECT_EQ(reported[4].file, source() / "gone.jwk");
  EXPECT_EQ(reported[4].file_text, PathText(source() / "gone.jwk"));

  const RunSummary summary = SummariseRun(report);
  EXPECT_EQ(summary.failures.size(), 2u);     // broken.jwc, gone.jwk
  EXPECT_EQ(summary.passed_over.size(), 3u);  // fake.jww, notes.txt, plan.bak
  EXPECT_TRUE(NeedsReport(summary));
  EXPECT_EQ(SummaryStatus(summary),
            "変換作業を完了しました。1 個を変換（.BAK 1 個）、2 個は変換できませんでした、3 "
            "個は図面ではないため飛ばしました。");
  const std::vector<ReportedFile> rows = SummaryRows(summary);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[5].reason, "以前のファイルを「good.BAK」として残しました");

  // A folder of a tree that could not be listed follows the files, so nothing goes unsaid.
  report.unreadable_folders = {source() / "locked"};
  reported = ReportedFiles(report);
  ASSERT_EQ(reported.size(), 6u);
  EXPECT_EQ(reported[5].file, source() / "locked");
  EXPECT_EQ(reported[5].reason, "フォルダの中を読めないため、その中のファイルは変換していません");
}

// Outputs that differ only in their extension share NAME.BAK: converted twice into one folder,
// all three earlier outputs are kept, the first as NAME.BAK, the others under their own names,
// and the report names each.
TEST_F(ConversionRunTest, OutputsOfOneNameKeepEveryEarlierOutputAsItsOwnBackup) {
  for (const char* format : {"JWW", "JWS", "JWK"}) {
    WriteBytes(source() / (std::string("zumen.") + format), FakeDrawing(format, format));
  }
  const ConversionRequest request = Request({"zumen.JWW", "zumen.JWS", "zumen.JWK"});
  RunReport first = Run(request);
  EXPECT_EQ(first.counts.converted, 3u);
  EXPECT_TRUE(first.backups.empty());
  RunReport second = Run(request);
  EXPECT_EQ(second.counts.converted, 3u);
  ASSERT_EQ(second.backups.size(), 3u);
  EXPECT_EQ(second.backups[0].backup, destination() / "zumen.BAK");
  EXPECT_EQ(second.backups[1].backup, destination() / "zumen.JWS.BAK");
  EXPECT_EQ(second.backups[2].backup, destination() / "zumen.JWK.BAK");
  for (const KeptBackup& kept : second.backups) {
    // Each backup holds the earlier output of its own file.
    const std::string format = kept.output.extension().string().substr(1);
    EXPECT_EQ(testing::ReadBytes(kept.backup), testing::ReadBytes(kept.output)) << format;
  }
  const RunSummary summary = SummariseRun(second);
  EXPECT_TRUE(summary.unusual_backup);
  EXPECT_TRUE(NeedsReport(summary));
  EXPECT_EQ(SummaryStatus(summary), "変換作業を完了しました。3 個を変換（.BAK 3 個）。");
}

// An existing output its owner made read-only is refused with the reason; nothing is touched.
TEST_F(ConversionRunTest, AReadOnlyOutputIsRefusedAndLeftAsItWas) {
  WriteBytes(source() / "a.jww", FakeDrawing("JWW", "a"));
  WriteBytes(destination() / "a.jww", "kept by its owner");
  WriteBytes(destination() / "a.BAK", "an older backup");
  fs::permissions(destination() / "a.jww", fs::perms::owner_read | fs::perms::group_read);
  const testing::FolderSnapshot before = Snapshot(destination());
  RunReport report = Run(Request({"a.jww"}));
  fs::permissions(destination() / "a.jww", fs::perms::owner_all);
  EXPECT_EQ(Snapshot(destination()), before);
  EXPECT_EQ(report.counts.failed, 1u);
  EXPECT_TRUE(report.backups.empty());
  const std::vector<ReportedFile> reported = ReportedFiles(report.result);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].reason, "書き込めません：ファイルが読み取り専用です");
}

}  // namespace
}  // namespace penmorph::app
