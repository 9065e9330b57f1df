// Files converted by several workers: the outcomes and outputs of one, files that share an
// output or a backup name converted in their order, and a stop that leaves the rest untouched.

#include "convert/batch_runner.h"
#include "cli/reason_text.h"

#include <gtest/gtest.h>

#include "dos_test_files.h"
#include "fakes.h"
#include "formats/standard_formats.h"
#include "jw_test_bytes.h"
#include "test_support.h"

namespace penmorph {
namespace {

namespace fs = std::filesystem;
using testing::FakeUi;
using testing::FolderSnapshot;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Snapshot;
using testing::WriteBytes;

class RecordingListener : public BatchListener {
 public:
  std::vector<std::size_t> started;
  std::vector<std::size_t> finished;
  void Started(std::size_t index, const BatchJob&) override { started.push_back(index); }
  void Finished(std::size_t index, const BatchJob&, const FileOutcome&) override {
    finished.push_back(index);
  }
};

class RunnerTest : public ::testing::Test {
 protected:
  RunnerTest() : formats_(MakeStandardFormats()) {
    fs::create_directory(scratch_ / "src");
    fs::create_directory(scratch_ / "dst");
  }

  BatchResult Run(const std::vector<BatchJob>& jobs, unsigned workers,
                  const std::atomic<bool>* stop = nullptr) {
    BatchConverter converter(formats_, tables_, ui_, files_);
    BatchOptions options;
    options.workers = workers;
    options.stop = stop;
    options.create_folders = true;
    return RunBatch(converter, files_, jobs, options, listener_);
  }

  ScratchFolder scratch_;
  FormatRegistry formats_;
  ConversionTables tables_;
  FakeUi ui_;
  RealFileSystem files_;
  RecordingListener listener_;
};

// A mix of every format, failures and foreign files, four rounds of them into one folder, each
// round's files other bytes than the last's, and a.jww and a.jwc sharing the backup a.BAK.
std::vector<BatchJob> MixedJobs(const fs::path& src, const fs::path& dst) {
  std::vector<BatchJob> jobs;
  for (int round = 0; round < 4; ++round) {
    const std::string memo = "round " + std::to_string(round);
    testing::HeaderValues values;
    values.memo = memo;
    testing::JwcFile drawing;
    drawing.lines = testing::LinesOfEveryPenAndLineType();
    drawing.memo_a = memo;
    testing::JwkFile symbol;
    symbol.memo_a = memo;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"a.jww", testing::EmptyJww(600, values)},
        {"a.jwc", drawing.Bytes()},
        {"b.jws", testing::JwsWithOneLine(300 + round)},
        {"c.jwk", symbol.Bytes()},
        {"broken.jww", testing::EmptyJww(600, values).substr(0, 900)},
        {"notes.txt", memo},
        {"image.jww", testing::JwwWithImage()}};
    const fs::path folder = src / ("r" + std::to_string(round));
    fs::create_directories(folder);
    for (const auto& [name, bytes] : files) {
      WriteBytes(folder / name, bytes);
      jobs.push_back({folder / name, dst / "sub" / name, {}});
    }
  }
  return jobs;
}

TEST_F(RunnerTest, ManyWorkersGiveTheOutcomesAndBytesOfOne) {
  const std::vector<BatchJob> one_jobs = MixedJobs(scratch_ / "src", scratch_ / "one");
  const BatchResult one = Run(one_jobs, 1);
  const FolderSnapshot expected = Snapshot(scratch_ / "one" / "sub");
  ASSERT_EQ(one.Count(OutcomeKind::kConverted), 20u);
  for (int attempt = 0; attempt < 10; ++attempt) {
    const fs::path many = scratch_ / ("many" + std::to_string(attempt));
    const BatchResult result = Run(MixedJobs(scratch_ / "src", many), 4);
    ASSERT_EQ(result.outcomes.size(), one.outcomes.size());
    for (std::size_t i = 0; i < result.outcomes.size(); ++i) {
      EXPECT_EQ(result.outcomes[i].kind, one.outcomes[i].kind) << i;
      EXPECT_EQ(EnglishReason(result.outcomes[i].why), EnglishReason(one.outcomes[i].why)) << i;
    }
    // The last round's outputs, and the round before's as their backups: files that share a
    // name were written one after the other, in their order.
    EXPECT_EQ(Snapshot(many / "sub"), expected) << "attempt " << attempt;
  }
}

TEST_F(RunnerTest, FilesSharingAnOutputOrABackupAreConvertedInTheirOrder) {
  // a.jww and a.jwc share the backup a.BAK; x/p.jww and y/p.jww share their output.
  const std::vector<BatchJob> jobs = MixedJobs(scratch_ / "src", scratch_ / "dst");
  Run(jobs, 4);
  std::vector<std::size_t> last_of_name;
  for (const char* name : {"a.jww", "a.jwc"}) {
    std::size_t previous = 0;
    bool first = true;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
      if (jobs[i].output.filename() != name) {
        continue;
      }
      const auto at = std::find(listener_.started.begin(), listener_.started.end(), i);
      ASSERT_NE(at, listener_.started.end());
      const auto position = static_cast<std::size_t>(at - listener_.started.begin());
      EXPECT_TRUE(first || position > previous) << name << " " << i;
      previous = position;
      first = false;
    }
  }
}

TEST_F(RunnerTest, AStopLeavesEveryFileCompleteOrUntouchedAndTheRestNotDone) {
  std::vector<BatchJob> jobs;
  const std::string drawing = testing::EmptyJww(700);
  for (int i = 0; i < 200; ++i) {
    const std::string name = "d" + std::to_string(i) + ".jww";
    WriteBytes(scratch_ / "src" / name, drawing);
    jobs.push_back({scratch_ / "src" / name, scratch_ / "dst" / name, {}});
  }
  // The stop comes once a few files are through, from the listener as from a Ctrl+C.
  std::atomic<bool> stop{false};
  class StopAfter : public BatchListener {
   public:
    explicit StopAfter(std::atomic<bool>& stop) : stop_(stop) {}
    void Finished(std::size_t, const BatchJob&, const FileOutcome&) override {
      if (++finished_ == 5) {
        stop_ = true;
      }
    }

   private:
    std::atomic<bool>& stop_;
    int finished_ = 0;
  } listener(stop);
  BatchConverter converter(formats_, tables_, ui_, files_);
  BatchOptions options;
  options.workers = 3;
  options.stop = &stop;
  const BatchResult result = RunBatch(converter, files_, jobs, options, listener);
  const std::size_t converted = result.Count(OutcomeKind::kConverted);
  EXPECT_GE(converted, 5u);
  EXPECT_LE(converted, 7u);  // the files in hand when the stop came
  EXPECT_EQ(result.Count(OutcomeKind::kNotDone), jobs.size() - converted);
  const FolderSnapshot written = Snapshot(scratch_ / "dst");
  EXPECT_EQ(written.size(), converted);
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    const bool done = result.outcomes[i].kind == OutcomeKind::kConverted;
    EXPECT_EQ(written.count(jobs[i].output.filename().string()), done ? 1u : 0u) << i;
    if (!done) {
      EXPECT_EQ(result.outcomes[i].why.kind, ReasonKind::kStopped);
    }
  }
}

// The files of a long run are asked for as the workers need them, not listed first, and each
// outcome is passed on rather than kept: what a run holds does not grow with the archive.
TEST_F(RunnerTest, ALongRunTakesItsFilesAsItGoes) {
  constexpr std::size_t kFiles = 5000;
  class CountingSource : public JobSource {
   public:
    CountingSource(fs::path folder, const std::atomic<std::size_t>& finished)
        : folder_(std::move(folder)), finished_(finished) {}
    std::optional<BatchJob> Next() override {
      if (taken_ == kFiles) {
        return std::nullopt;
      }
      // Nothing yet finished when the run reaches this far would mean a list made first.
      most_ahead_ = std::max(most_ahead_, taken_ - std::min(taken_, finished_.load()));
      const std::string name = "gone" + std::to_string(taken_++) + ".jww";
      return BatchJob{folder_ / "src" / name, folder_ / "dst" / name, name};
    }
    std::size_t taken_ = 0;
    std::size_t most_ahead_ = 0;

   private:
    fs::path folder_;
    const std::atomic<std::size_t>& finished_;
  };
  class OrderCheck : public BatchListener {
   public:
    void Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) override {
      ++finished;
      EXPECT_EQ(job.shown, "gone" + std::to_string(index) + ".jww");
      EXPECT_EQ(outcome.source, job.source);
      EXPECT_EQ(outcome.why.kind, ReasonKind::kUnreadable);
    }
    std::atomic<std::size_t> finished{0};
  } listener;
  CountingSource source(scratch_.path(), listener.finished);
  BatchConverter converter(formats_, tables_, ui_, files_);
  BatchOptions options;
  options.workers = 3;
  const BatchCounts counts = RunBatch(converter, files_, source, options, listener);
  EXPECT_EQ(counts.failed, kFiles);
  EXPECT_EQ(counts.Total(), kFiles);
  EXPECT_EQ(listener.finished, kFiles);
  EXPECT_LE(source.most_ahead_, 1024u + options.workers);
}

}  // namespace
}  // namespace penmorph
