#include "app/background_run.h"

#include "app/window_texts.h"
#include "common/text.h"
#include "convert/batch_runner.h"

namespace penmorph::app {

namespace fs = std::filesystem;

// Keeps the progress as the workers report it, and the outcomes for the report; called one at
// a time by the runner.
class BackgroundRun::Listener : public ReportedOutcomes, public ConversionObserver {
 public:
  explicit Listener(BackgroundRun& run) : run_(run) {}

  void Converting(const fs::path& source, const fs::path& output) override {
    run_.SetStatus(ConvertingStatus(source, output));
  }
  void Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) override {
    ReportedOutcomes::Finished(index, job, outcome);
    if (outcome.kind != OutcomeKind::kNotDone) {  // passed by after a stop: no progress to show
      run_.OneDone([](RunReport&) {});
    }
  }

 private:
  BackgroundRun& run_;
};

BackgroundRun::BackgroundRun(ConversionPlan plan, const FormatRegistry& formats,
                             ConversionTables tables, unsigned workers, std::function<void()> wake)
    : BackgroundTask(std::move(plan), formats, std::move(tables), std::move(wake)),
      workers_(workers) {
  Start([this] { Run(); });
}

BackgroundRun::~BackgroundRun() {
  StopAndJoin();
}

void BackgroundRun::Run() {
  CountFiles();
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
  const bool stopped = stop_;
  Finish(stopped ? texts::kStopped : texts::kDone, [&](RunReport& report) {
    report.ran = true;
    report.stopped = stopped;
    report.backups = listener.TakeBackups();
    report.result.outcomes = listener.Take();
    report.counts = counts;
    report.unreadable_folders = jobs.UnreadableFolders();
  });
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
