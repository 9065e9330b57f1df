#pragma once

// What a conversion run and a standards check share: each works through a plan on a thread of
// its own while the window stays responsive. The window asks how far it has come whenever it is
// woken (on the window's own thread), may stop it between files, and takes its report at the end.

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/conversion_run.h"
#include "convert/format_registry.h"
#include "settings/conv_settings.h"

namespace penmorph::app {

struct RunProgress {
  std::size_t done = 0;
  std::size_t total = 0;
  bool counted = false;  // `total` is known
  std::string status;    // the status bar's text: the file last begun, then how the run ended
  std::optional<double> seconds_left;
  bool finished = false;
};

template <class Report>
class BackgroundTask {
 public:
  BackgroundTask(const BackgroundTask&) = delete;
  BackgroundTask& operator=(const BackgroundTask&) = delete;

  // "中止": the files in hand are finished, the rest left alone.
  void Stop() { stop_ = true; }
  RunProgress Poll() const {
    std::lock_guard lock(mutex_);
    return progress_;
  }
  // Once finished: what became of each file.
  Report TakeReport() {
    std::lock_guard lock(mutex_);
    return std::move(report_);
  }

 protected:
  // `wake` is called from the task's thread whenever there is news (at most every few tens of
  // milliseconds, and once at the end): it must only ask the window's thread to call Poll soon.
  // The tables are copied: editing them meanwhile changes nothing of the task.
  BackgroundTask(ConversionPlan plan, const FormatRegistry& formats, ConversionTables tables,
                 std::function<void()> wake)
      : formats_(formats),
        tables_(std::move(tables)),
        plan_(std::move(plan)),
        wake_(std::move(wake)) {}
  // The derived class starts the thread once it is whole, and stops and joins it before it is
  // taken apart.
  ~BackgroundTask() = default;
  void Start(std::function<void()> work) { thread_ = std::thread(std::move(work)); }
  void StopAndJoin() {
    stop_ = true;
    if (thread_.joinable()) {
      thread_.join();
    }
  }

  // The plan's files, counted first for the time left: a tree not counted for the question is
  // counted by a walk of its own. The time left is reckoned from here.
  void CountFiles() {
    const std::size_t total = PlannedFileCount(plan_, formats_);
    {
      std::lock_guard lock(mutex_);
      progress_.total = total;
      progress_.counted = true;
    }
    begin_ = std::chrono::steady_clock::now();
    wake_();
  }
  // Counts the plan's files, then hands each to `each` in turn, the status naming it as
  // `status` words it, until the plan ends or the task is stopped.
  template <class Status, class Each>
  void WorkThrough(PlannedJobs& jobs, Status status, Each each) {
    CountFiles();
    while (!stop_) {
      std::optional<BatchJob> job = jobs.Next();
      if (!job) {
        return;
      }
      SetStatus(status(job->source));
      each(job->source);
    }
  }
  void SetStatus(std::string status) {
    std::lock_guard lock(mutex_);
    progress_.status = std::move(status);
  }
  // One more file done, `record` putting it into the report under the same lock; the window is
  // woken when it has not been lately.
  template <class Record>
  void OneDone(Record record) {
    const auto now = std::chrono::steady_clock::now();
    {
      std::lock_guard lock(mutex_);
      record(report_);
      ++progress_.done;
      const double seconds = std::chrono::duration<double>(now - begin_).count();
      if (progress_.total >= progress_.done && seconds > 0) {
        progress_.seconds_left = seconds / static_cast<double>(progress_.done) *
                                 static_cast<double>(progress_.total - progress_.done);
      }
    }
    if (now - last_wake_ >= kWakeInterval) {
      last_wake_ = now;
      wake_();
    }
  }
  // The end: `record` completes the report, `status` says how the task ended.
  template <class Record>
  void Finish(std::string_view status, Record record) {
    {
      std::lock_guard lock(mutex_);
      record(report_);
      progress_.status = std::string(status);
      progress_.seconds_left = 0;
      progress_.finished = true;
    }
    wake_();
  }

  const FormatRegistry& formats_;
  const ConversionTables tables_;
  const ConversionPlan plan_;
  std::atomic<bool> stop_{false};

 private:
  static constexpr auto kWakeInterval = std::chrono::milliseconds(50);

  const std::function<void()> wake_;
  mutable std::mutex mutex_;
  RunProgress progress_;
  Report report_;
  std::chrono::steady_clock::time_point begin_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_wake_{};
  std::thread thread_;
};

}  // namespace penmorph::app
