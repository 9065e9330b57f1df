#pragma once

// A conversion run on threads of its own, so that the window stays responsive: the window starts
// it with a plan, asks it how far it has come whenever it is woken (on the window's own thread),
// may stop it between files, and takes its report at the end. Files are converted by several
// workers at once, as the command line does.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/conversion_run.h"
#include "common/file_system.h"
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

class BackgroundRun {
 public:
  // Starts at once. `wake` is called from the run's threads whenever there is news (at most
  // every few tens of milliseconds, and once at the end): it must only ask the window's thread
  // to call Poll soon. The tables are copied: editing them meanwhile changes nothing of the run.
  BackgroundRun(ConversionPlan plan, const FormatRegistry& formats, ConversionTables tables,
                unsigned workers, std::function<void()> wake);
  // Stops the run and waits for the files in hand.
  ~BackgroundRun();
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;

  // "中止": the files in hand are finished, the rest left untouched.
  void Stop() { stop_ = true; }
  RunProgress Poll() const;
  // Once finished: what became of each file.
  RunReport TakeReport();

 private:
  class Listener;
  void Run();

  const FormatRegistry& formats_;
  const ConversionTables tables_;
  const ConversionPlan plan_;
  const unsigned workers_;
  const std::function<void()> wake_;
  std::atomic<bool> stop_{false};
  RealFileSystem file_system_;
  mutable std::mutex mutex_;
  RunProgress progress_;
  RunReport report_;
  std::chrono::steady_clock::time_point begin_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_wake_{};
  std::thread thread_;
};

// "12 / 340 ファイル　残り 0:42": the progress beside the bar.
std::string ProgressText(const RunProgress& progress);

}  // namespace penmorph::app
