// "基準チェック" in the window's model: which drawings the tables would change, read in the
// background with progress and a stop, and the report of what would change in each.

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "app/archive_survey.h"
#include "app/dialog_texts.h"
#include "app/standards_check.h"
#include "app/survey_dialog.h"
#include "app/window_texts.h"
#include "app_fakes.h"
#include "common/text.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"
#include "layer_test_files.h"
#include "preview/display_list.h"
#include "preview_test_files.h"
#include "test_support.h"

namespace penmorph::app {
namespace {

namespace fs = std::filesystem;

// Runs a check or a survey to its end as a window would: woken, then polling. `on_wake` is
// called on the task's thread at every wake, with the task.
template <class Task, class... Arguments>
auto TaskToEnd(RunProgress* last, std::function<void(Task&)> on_wake, ConversionPlan plan,
               Arguments&&... arguments) {
  const FormatRegistry formats = MakeStandardFormats();
  std::mutex mutex;
  std::condition_variable woken;
  bool news = false;
  bool ready = false;
  Task* task = nullptr;
  Task run(std::move(plan), formats, std::forward<Arguments>(arguments)..., [&] {
    std::unique_lock lock(mutex);
    woken.wait(lock, [&] { return ready; });  // until `task` is set
    if (on_wake) {
      on_wake(*task);
    }
    news = true;
    woken.notify_all();
  });
  {
    std::lock_guard lock(mutex);
    task = &run;
    ready = true;
  }
  woken.notify_all();
  for (;;) {
    std::unique_lock lock(mutex);
    woken.wait(lock, [&] { return news; });
    news = false;
    lock.unlock();
    const RunProgress progress = run.Poll();
    if (progress.finished) {
      if (last != nullptr) {
        *last = progress;
      }
      return run.TakeReport();
    }
  }
}

StandardsCheckReport CheckToEnd(ConversionPlan plan, const ConversionTables& tables,
                                RunProgress* last = nullptr,
                                std::function<void(BackgroundCheck&)> on_wake = {}) {
  return TaskToEnd<BackgroundCheck>(last, std::move(on_wake), std::move(plan), tables);
}

class StandardsCheckTest : public ::testing::Test {
 protected:
  StandardsCheckTest() {
    testing::WriteBytes(scratch_ / "every.jww", testing::JwwOfEveryKind());
    testing::WriteBytes(scratch_ / "empty.jww", testing::EmptyJww(700));
    testing::WriteBytes(scratch_ / "broken.jww", "JwwData.broken");
    fs::create_directories(scratch_ / "sub");
    testing::WriteBytes(scratch_ / "sub" / "layers.jww", testing::JwwOnLayers());
    // Colour 2 to 8; layer 0-1 onto the hidden 1-4 and renamed.
    red_.jww.SetEntry(2, 8);
    red_.layers.SetTarget(LayerAddress{0, 1}.Index(), LayerAddress{1, 4});
    red_.layers.SetLayerName(LayerAddress{1, 4}.Index(), "壁");
  }

  StandardsCheckRequest Request(std::vector<fs::path> names) const {
    StandardsCheckRequest request;
    request.tree_ready = true;
    request.list_ready = true;
    request.source_folder = scratch_.path();
    request.file_names = std::move(names);
    return request;
  }

  testing::ScratchFolder scratch_;
  ConversionTables red_;
};

TEST_F(StandardsCheckTest, RefusesAsTheConversionDoesButNeedsNoDestination) {
  testing::FakePrompts prompts;
  StandardsCheckRequest request = Request({});
  EXPECT_FALSE(CheckStandardsRequest(request, prompts));
  EXPECT_EQ(prompts.Take(),
            (std::vector<std::string>{"beep", "warning:調べるファイルが選択されていません。"}));
  request.whole_tree = true;
  EXPECT_TRUE(CheckStandardsRequest(request, prompts));
  request.list_ready = false;
  EXPECT_FALSE(CheckStandardsRequest(request, prompts));
  EXPECT_EQ(prompts.Take(),
            (std::vector<std::string>{"beep", "error:" + std::string(texts::kNoList)}));
}

TEST_F(StandardsCheckTest, ReportsTheDrawingsThatDoNotConformWithWhatWouldChange) {
  const testing::FolderSnapshot before = testing::Snapshot(scratch_.path());
  RunProgress last;
  StandardsCheckReport report = CheckToEnd(
      StandardsCheckPlan(Request({"every.jww", "empty.jww", "broken.jww"})), red_, &last);
  EXPECT_EQ(testing::Snapshot(scratch_.path()), before);  // nothing written
  EXPECT_TRUE(last.finished);
  EXPECT_EQ(last.done, 3u);
  EXPECT_EQ(last.status, "基準チェックを完了しました。");
  EXPECT_FALSE(report.stopped);
  EXPECT_EQ(report.conform, 0u);  // the empty drawing's layer 1-4 would be renamed
  EXPECT_EQ(report.differ, 2u);
  EXPECT_EQ(report.failed, 1u);
  ASSERT_EQ(report.files.size(), 3u);
  EXPECT_EQ(report.files[0].file.filename(), "every.jww");
  EXPECT_EQ(report.files[0].reason, "線色 2 → 8: 1 個\nレイヤ 1-4 の名前「L」→「壁」");
  EXPECT_EQ(report.files[1].reason, "レイヤ 1-4 の名前「L」→「壁」");
  EXPECT_EQ(report.files[2].file.filename(), "broken.jww");
  EXPECT_FALSE(report.files[2].reason.empty());

  const std::string text = CheckReportText(report);
  EXPECT_EQ(text.rfind("次の 3 個のファイルは基準に合っていないか、読めませんでした。\n\n", 0), 0u)
      << text;
  EXPECT_NE(text.find("every.jww\n    線色 2 → 8: 1 個\n    レイヤ 1-4 の名前「L」→「壁」\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\n基準に合う図面 0 個、合わない図面 2 個、読めなかったファイル 1 "
                      "個、図面ではないため飛ばしたファイル 0 個\n"),
            std::string::npos);
}

// Files that are no drawings - a ".jww" of random bytes, a text file - are passed over, each
// named with why, as a conversion passes them over: neither unreadable nor failing the standard.
TEST_F(StandardsCheckTest, FilesThatAreNoDrawingsArePassedOverNotUnreadable) {
  testing::WriteBytes(scratch_ / "random.jww", "random bytes where the signature should be");
  testing::WriteBytes(scratch_ / "notes.txt", "text");
  StandardsCheckReport report = CheckToEnd(
      StandardsCheckPlan(Request({"every.jww", "random.jww", "notes.txt"})), ConversionTables{});
  EXPECT_EQ(report.conform, 1u);
  EXPECT_EQ(report.failed, 0u);
  EXPECT_EQ(report.passed_over, 2u);
  EXPECT_TRUE(report.files.empty());
  ASSERT_EQ(report.passed_over_files.size(), 2u);
  EXPECT_EQ(report.passed_over_files[0].reason,
            "JWWファイルとして認識できません（JWWの識別子がありません）");
  EXPECT_EQ(report.passed_over_files[1].reason, "jw_cadのファイルの種類ではありません（.txt）");
  const std::string text = CheckReportText(report);
  EXPECT_EQ(text.rfind("すべての図面が基準に合っています。\n\n\n次の 2 個のファイルは jw_cad "
                       "の図面ではないため飛ばしました。\n\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("基準に合う図面 1 個、合わない図面 0 個、読めなかったファイル 0 "
                      "個、図面ではないため飛ばしたファイル 2 個\n"),
            std::string::npos);
}

TEST_F(StandardsCheckTest, TheWholeTreeWithLayersMovedOntoHiddenOnes) {
  StandardsCheckRequest request = Request({});
  request.whole_tree = true;
  request.file_pattern = "*.JWW";
  StandardsCheckReport report = CheckToEnd(StandardsCheckPlan(request), red_);
  EXPECT_EQ(report.differ + report.failed, 4u);
  const auto layered =
      std::find_if(report.files.begin(), report.files.end(),
                   [](const ReportedFile& f) { return f.file.filename() == "layers.jww"; });
  ASSERT_NE(layered, report.files.end());
  EXPECT_EQ(layered->reason,
            "線色 2 → 8: 2 個\nレイヤ 0-1 → 1-4: 2 個\n2 個の図形が非表示レイヤに移ります\n"
            "レイヤ 1-4 の名前「L」→「壁」");

  // No tables: every drawing that can be read conforms.
  StandardsCheckReport plain = CheckToEnd(StandardsCheckPlan(request), ConversionTables{});
  EXPECT_EQ(plain.conform, 3u);
  EXPECT_EQ(plain.differ, 0u);
  EXPECT_EQ(plain.failed, 1u);
  StandardsCheckReport readable =
      CheckToEnd(StandardsCheckPlan(Request({"every.jww", "empty.jww"})), ConversionTables{});
  EXPECT_EQ(CheckHeading(readable), "すべての図面が基準に合っています。");
}

TEST_F(StandardsCheckTest, StopLeavesTheRestUnread) {
  RunProgress last;
  // Stopped at the first news, once the files are counted and before any is read.
  StandardsCheckReport report =
      CheckToEnd(StandardsCheckPlan(Request({"every.jww", "empty.jww", "broken.jww"})), red_, &last,
                 [](BackgroundCheck& check) { check.Stop(); });
  EXPECT_TRUE(report.stopped);
  EXPECT_EQ(last.status, "基準チェックを中止しました。");
  EXPECT_EQ(last.total, 3u);
  EXPECT_EQ(last.done, 0u);
  EXPECT_EQ(report.conform + report.differ + report.failed, 0u);
  EXPECT_NE(CheckReportText(report).find("基準チェックを中止しました。"), std::string::npos);
}

// "集計" reads what the drawings hold, whatever the tables; its report's tables say the same in
// the window, on the clipboard and in CSV, and its names become patterns a settings file holds.
TEST_F(StandardsCheckTest, ASurveyTotalsTheDrawingsAndItsReportSaysSoInEveryForm) {
  StandardsCheckRequest request = Request({});
  request.whole_tree = true;
  SurveyReport report = TaskToEnd<BackgroundSurvey>(nullptr, {}, StandardsCheckPlan(request));
  preview::Survey expected;
  for (const char* name : {"empty.jww", "every.jww", "sub/layers.jww"}) {
    expected.Add(
        InventoryOfFile(MakeStandardFormats(), scratch_ / name, ConversionTables{}).value());
  }
  EXPECT_EQ(report.survey.files(), 3u);
  EXPECT_EQ(report.survey.colors(), expected.colors());
  EXPECT_EQ(report.survey.line_types(), expected.line_types());
  EXPECT_EQ(report.survey.LayerNames(), expected.LayerNames());
  ASSERT_EQ(report.unreadable.size(), 1u);
  EXPECT_EQ(report.unreadable[0].file, scratch_ / "broken.jww");
  EXPECT_EQ(report.unreadable[0].reason,
            JapaneseErrorText(
                InventoryOfFile(MakeStandardFormats(), scratch_ / "broken.jww", ConversionTables{})
                    .error()));
  EXPECT_EQ(SurveySummary(report),
            "図面 3 個 (JWW 3 個) を集計しました。読めなかったファイル 1 個");

  SurveyDialog dialog;
  dialog.SetReport(report);
  DialogValues values = dialog.Open();
  const ControlValue& colours = values[dialog.grid(SurveyDialog::kColours)];
  ASSERT_EQ(colours.bars.size(), colours.columns[0].size());
  double fullest = 0;
  for (std::size_t row = 0; row < colours.bars.size(); ++row) {
    fullest = std::max(fullest, colours.bars[row].fill);
    if (colours.columns[1][row] == "2") {
      EXPECT_EQ(colours.bars[row].rgb,
                preview::StandardPenColor(2, preview::Background::kWhite));  // the pen's own
    }
  }
  EXPECT_EQ(fullest, 1.0);
  const ControlValue& names = values[dialog.grid(SurveyDialog::kLayerNames)];
  EXPECT_EQ(names.columns[0], std::vector<std::string>{"L"});
  EXPECT_EQ(names.columns[2],
            std::vector<std::string>{std::to_string(expected.LayerNames()[0].count.files)});
  EXPECT_EQ(values[dialog.grid(SurveyDialog::kUnreadable)].columns[0],
            std::vector<std::string>{report.unreadable[0].file_text});

  const DialogReply copied = dialog.Press(dialog.copy_button(), values);
  EXPECT_NE(copied.clipboard.find("\r\n線色\r\n種類\t線色\t図形数\tファイル数\r\n"),
            std::string::npos)
      << copied.clipboard;
  const DialogReply saved = dialog.Press(dialog.save_button(), values);
  ASSERT_TRUE(saved.save);
  EXPECT_EQ(saved.save->extension, "csv");
  EXPECT_TRUE(saved.save->contents.starts_with("\xEF\xBB\xBF"));
  // A reason with a comma is one field.
  EXPECT_NE(saved.save->contents.find(CsvField(report.unreadable[0].reason)), std::string::npos);
  EXPECT_EQ(dialog.Press(dialog.names_button(), values).close, DialogReply::Close::kAccept);
  EXPECT_EQ(dialog.TakeChosenNames(), std::vector<std::string>{"L"});
  EXPECT_EQ(PatternForName("[A=B]"), "?A?B]");
  EXPECT_EQ(PatternForName(";="), "??");

  // Nothing named: the button says so and the dialog stays.
  dialog.SetReport({});
  values = dialog.Open();
  EXPECT_EQ(dialog.Press(dialog.names_button(), values).error, dialog_texts::kNoNamesFound);
  EXPECT_TRUE(dialog.TakeChosenNames().empty());
}

}  // namespace
}  // namespace penmorph::app
