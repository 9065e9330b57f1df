// The window's run on threads of its own: a whole tree planned with its layout, the progress
// the window polls, and "中止" between files.

#include "app/background_run.h"
#include "app/news_latch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/run_report.h"
#include "app/run_summary.h"
#include "app/window_texts.h"
#include "app_fakes.h"
#include "common/path_text.h"
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

class BackgroundRunTest : public ::testing::Test {
 protected:
  BackgroundRunTest() {
    fs::create_directory(source());
    fs::create_directory(destination());
    for (const char* name : {"JWW", "JWC"}) {
      auto format = std::make_unique<FakeFormat>(name, log_);
      if (std::string_view(name) == "JWW") {
        jww_ = format.get();
      }
      registry_.Add(std::move(format));
    }
  }

  fs::path source() const { return scratch_ / "src"; }
  fs::path destination() const { return scratch_ / "dst"; }

  ConversionRequest TreeRequest(fs::path folder, std::string destination) const {
    ConversionRequest request;
    request.tree_ready = true;
    request.list_ready = true;
    request.source_folder = std::move(folder);
    request.destination_folder = std::move(destination);
    request.whole_tree = true;
    return request;
  }

  std::optional<ConversionPlan> Plan(const ConversionRequest& request) {
    return CheckConversion(request, prompts_) ? std::optional(MakePlan(request)) : std::nullopt;
  }

  RunReport RunToEnd(ConversionPlan plan, unsigned workers) {
    return testing::RunToEnd(std::move(plan), registry_, tables_, workers, &last_progress_,
                             [this](BackgroundRun* run) { started_ = run; });
  }

  // The run in hand once it has started, for hooks on its worker threads.
  std::atomic<BackgroundRun*> started_{nullptr};
  FakeFormat* jww_ = nullptr;
  ScratchFolder scratch_;
  penmorph::testing::CallLog log_;
  FormatRegistry registry_;
  ConversionTables tables_;
  FakePrompts prompts_;
  RunProgress last_progress_;
};

TEST_F(BackgroundRunTest, ATreeIsPlannedWithItsLayoutAndOnlyTheListsFileType) {
  const fs::path floor = PathFromUtf8("一階");
  const fs::path deep = floor / PathFromUtf8("東") / PathFromUtf8("詳細.jww");
  const fs::path top = PathFromUtf8("平面図.jww");
  const fs::path dos = floor / PathFromUtf8("古い.jwc");
  fs::create_directories(source() / deep.parent_path());
  fs::create_directories(source() / ".hidden");
  WriteBytes(source() / top, FakeDrawing("JWW", "top"));
  WriteBytes(source() / deep, FakeDrawing("JWW", "deep"));
  WriteBytes(source() / dos, FakeDrawing("JWC", "dos"));
  WriteBytes(source() / floor / "memo.txt", "text");
  WriteBytes(source() / ".hidden" / "x.jww", FakeDrawing("JWW", "hidden"));
  ConversionRequest request = TreeRequest(source(), destination().string());
  request.file_pattern = "*.jww";
  std::optional<ConversionPlan> plan = Plan(request);
  ASSERT_TRUE(plan);
  EXPECT_TRUE(plan->create_folders);
  EXPECT_TRUE(plan->jobs.empty());  // the tree is walked while it is converted
  std::vector<std::pair<fs::path, fs::path>> jobs;
  PlannedJobs planned(*plan, registry_);
  while (std::optional<BatchJob> job = planned.Next()) {
    jobs.emplace_back(job->source.lexically_relative(source()),
                      job->output.lexically_relative(destination()));
  }
  EXPECT_EQ(jobs, (std::vector<std::pair<fs::path, fs::path>>{{top, top}, {deep, deep}}));
  EXPECT_EQ(PlannedFileCount(*plan, registry_), 2u);

  request.file_pattern = "*.*";
  RunReport report = RunToEnd(*Plan(request), 2);
  EXPECT_EQ(report.counts.converted, 3u);
  EXPECT_EQ(report.counts.Total(), 3u);
  EXPECT_TRUE(report.result.outcomes.empty());  // nothing to report
  EXPECT_EQ(ReadBytes(destination() / deep), FakeDrawing("JWW", "converted(1):deep"));
  EXPECT_EQ(ReadBytes(destination() / dos), FakeDrawing("JWC", "converted(1):dos"));
  EXPECT_FALSE(fs::exists(destination() / floor / "memo.txt"));
  EXPECT_FALSE(fs::exists(destination() / ".hidden"));
}

TEST_F(BackgroundRunTest, ADestinationInsideTheTreeIsRefusedOnlyForATree) {
  fs::create_directories(source() / "out");
  ConversionRequest request = TreeRequest(source(), (source() / "out").string());
  EXPECT_FALSE(Plan(request));
  EXPECT_EQ(prompts_.Take(), (std::vector<std::string>{
                                 "beep", "warning:" + std::string(texts::kDestinationInsideTree)}));
  request.whole_tree = false;
  request.file_names = {"a.jww"};
  EXPECT_TRUE(Plan(request));
}

TEST_F(BackgroundRunTest, ProgressCountsEveryFileAndEndsWithTheCompletionText) {
  ConversionPlan plan;
  for (int i = 0; i < 20; ++i) {
    const std::string name = "f" + std::to_string(i) + ".jww";
    WriteBytes(source() / name, FakeDrawing("JWW", name));
    plan.jobs.push_back({source() / name, destination() / name, {}});
  }
  RunReport report = RunToEnd(plan, 3);
  EXPECT_TRUE(report.ran);
  EXPECT_EQ(last_progress_.done, 20u);
  EXPECT_EQ(last_progress_.total, 20u);
  EXPECT_EQ(last_progress_.status, texts::kDone);
  EXPECT_TRUE(ReportedFiles(report.result).empty());
  EXPECT_EQ(Snapshot(destination()).size(), 20u);
  EXPECT_EQ(ProgressText(last_progress_), "20 / 20 ファイル");
}

TEST_F(BackgroundRunTest, StopFinishesTheFileInHandAndReportsTheRestAsNotDone) {
  ConversionPlan plan;
  for (int i = 0; i < 6; ++i) {
    const std::string name = "f" + std::to_string(i) + ".jww";
    WriteBytes(source() / name, FakeDrawing("JWW", name));
    plan.jobs.push_back({source() / name, destination() / name, {}});
  }
  WriteBytes(destination() / "f5.jww", "kept as it was");
  // Stopped while the first file is being converted: it is finished, no other is begun.
  jww_->before_convert = [&] {
    BackgroundRun* run = nullptr;
    while ((run = started_.load()) == nullptr) {
      std::this_thread::yield();
    }
    run->Stop();
  };
  RunReport report = RunToEnd(plan, 1);
  EXPECT_EQ(last_progress_.status, texts::kStopped);
  EXPECT_EQ(report.counts.converted, 1u);
  EXPECT_EQ(report.counts.not_done, 5u);
  ASSERT_EQ(report.result.outcomes.size(), 5u);  // the files not done, for the report
  EXPECT_EQ(ReadBytes(destination() / "f0.jww"), FakeDrawing("JWW", "converted(1):f0.jww"));
  EXPECT_EQ(ReadBytes(destination() / "f5.jww"), "kept as it was");
  std::vector<ReportedFile> reported = ReportedFiles(report.result);
  ASSERT_EQ(reported.size(), 5u);
  for (std::size_t i = 0; i < reported.size(); ++i) {
    EXPECT_EQ(reported[i].file, source() / ("f" + std::to_string(i + 1) + ".jww"));
    EXPECT_EQ(reported[i].reason, "中止したため変換していません");
  }
  EXPECT_EQ(Snapshot(destination()).size(), 2u);

  // The end says what happened: one converted, five not done because of the stop, none failed.
  const RunSummary summary = SummariseRun(report);
  EXPECT_TRUE(summary.stopped);
  EXPECT_EQ(summary.converted, 1u);
  EXPECT_TRUE(summary.failures.empty());
  EXPECT_EQ(summary.not_done.size(), 5u);
  EXPECT_EQ(SummaryStatus(summary),
            "変換作業を中止しました。1 個を変換、5 個は中止したため変換していません。");
  EXPECT_EQ(SummaryLines(summary),
            (std::vector<std::string>{"変換作業を中止しました。", "変換したファイル：1 個",
                                      "既存のファイルを .BAK として残したもの：0 個",
                                      "変換できなかったファイル：0 個",
                                      "中止したため変換していないファイル：5 個"}));
}

// However many threads have news, the window is asked once until it looks in; what comes after
// it has looked asks again, so the news of a run's end is never left unread.
TEST(NewsLatch, AsksOnceUntilTheWindowHasLookedIn) {
  std::atomic<int> asked{0};
  NewsLatch latch([&] { ++asked; });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 1000; ++i) {
        latch.Wake();
      }
    });
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(asked.load(), 1);
  latch.Taken();
  latch.Wake();
  latch.Wake();
  EXPECT_EQ(asked.load(), 2);
}

TEST(ProgressText, ShowsTheFilesAndTheTimeLeftInMinutesOrHours) {
  RunProgress progress;
  progress.done = 12;
  EXPECT_EQ(ProgressText(progress), "12 ファイル");  // a tree still being counted
  progress.total = 340;
  progress.counted = true;
  EXPECT_EQ(ProgressText(progress), "12 / 340 ファイル");
  progress.seconds_left = 41.6;
  EXPECT_EQ(ProgressText(progress), "12 / 340 ファイル　残り 0:42");
  progress.seconds_left = 3 * 3600 + 5 * 60 + 9;
  EXPECT_EQ(ProgressText(progress), "12 / 340 ファイル　残り 3:05:09");
  progress.finished = true;
  EXPECT_EQ(ProgressText(progress), "12 / 340 ファイル");
}

}  // namespace
}  // namespace penmorph::app
