#include "app/background_run.h"

#include "app/window_texts.h"
#include "common/text.h"
#include "convert/batch_runner.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {
constexpr auto kWakeInterval = std::chrono::milliseconds(50);
}  // namespace

// Keeps the progress as the workers report it, and the outcomes for the report; called one at
// a time by the runner.
class BackgroundRun::Listener : public ReportedOutcomes, public ConversionObserver {
 public:
  explicit Listener(BackgroundRun& run) : run_(run) {}

  void Converting(const fs::path& source, const fs::path& output) override {
    std::lock_guard lock(run_.mutex_);
    run_.progress_.status = ConvertingStatus(source, output);
  }
  void Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) override {
    ReportedOutcomes::Finished(index, job, outcome);
    if (outcome.kind == OutcomeKind::kNotDone) {
      return;  // passed by after a stop: no progress to show
    }
    const auto now = std::chrono::steady_clock::now();
    {
      std::lock_guard lock(run_.mutex_);
      RunProgress& progress = run_.progress_;
      ++progress.done;
      const double seconds = std::chrono::duration<double>(now - run_.begin_).count();
      if (progress.total >= progress.done && seconds > 0) {
        progress.seconds_left = seconds / static_cast<double>(progress.done) *
                                static_cast<double>(progress.total - progress.done);
      }
    }
    if (now - run_.last_wake_ >= kWakeInterval) {
      run_.last_wake_ = now;
      run_.wake_();
    }
  }

 private:
  BackgroundRun& run_;
};

BackgroundRun::BackgroundRun(ConversionPlan plan, const FormatRegistry& formats,
                             ConversionTables tables, unsigned workers, std::function<void()> wake)
    : formats_(formats),
      tables_(std::move(tables)),
      plan_(std::move(plan)),
      workers_(workers),
      wake_(std::move(wake)) {
  thread_ = std::thread([this] { Run(); });
}

BackgroundRun::~BackgroundRun() {
  stop_ = true;
  thread_.join();
}

void BackgroundRun::Run() {
  // The total first, for the time left: a tree not counted for the question is counted by a
  // walk of its own.
  const std::size_t total = PlannedFileCount(plan_, formats_);
  {
    std::lock_guard lock(mutex_);
    progress_.total = total;
    progress_.counted = true;
  }
  begin_ = std::chrono::steady_clock::now();  // the time left is reckoned from the conversion
  wake_();
  Listener listener(*this);
  // The observer is told from the workers; the listener's calls are one at a time, the
  // observer's guarded by the same lock as the progress.
  BatchConverter converter(formats_, tables_, listener, file_system_);
  BatchOptions options;
  options.workers = workers_;
  options.stop = &stop_;
  options.create_folders = plan_.create_folders;
  PlannedJobs jobs(plan_, formats_);
  const BatchCounts counts = RunBatch(converter, file_system_, jobs, options, listener);
  {
    std::lock_guard lock(mutex_);
    report_.ran = true;
    report_.stopped = stop_;
    report_.backups = listener.TakeBackups();
    report_.result.outcomes = listener.Take();
    report_.counts = counts;
    report_.unreadable_folders = jobs.UnreadableFolders();
    progress_.status = stop_ ? texts::kStopped : texts::kDone;
    progress_.seconds_left = 0;
    progress_.finished = true;
  }
  wake_();
}

RunProgress BackgroundRun::Poll() const {
  std::lock_guard lock(mutex_);
  return progress_;
}

RunReport BackgroundRun::TakeReport() {
  std::lock_guard lock(mutex_);
  return std::move(report_);
}

std::string ProgressText(const RunProgress& progress) {
  // Until the files are counted, only how many are done.
  std::string text = progress.counted ? std::to_string(progress.done) + " / " +
                                            std::to_string(progress.total) + " ファイル"
                                      : std::to_string(progress.done) + " ファイル";
  if (progress.seconds_left && !progress.finished) {
    text += "　残り ";
    text += DurationText(*progress.seconds_left);
  }
  return text;
}

}  // namespace penmorph::app
