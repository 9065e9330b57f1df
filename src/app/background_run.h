#pragma once

// A conversion run on threads of its own (see BackgroundTask). Files are converted by several
// workers at once, as the command line does.

#include <string>

#include "app/background_task.h"
#include "app/conversion_run.h"
#include "common/file_system.h"

namespace penmorph::app {

class BackgroundRun : public BackgroundTask<RunReport> {
 public:
  // Starts at once; see BackgroundTask for `wake` and the tables.
  BackgroundRun(ConversionPlan plan, const FormatRegistry& formats, ConversionTables tables,
                unsigned workers, std::function<void()> wake);
  // Stops the run and waits for the files in hand.
  ~BackgroundRun();

 private:
  class Listener;
  void Run();

  const unsigned workers_;
  RealFileSystem file_system_;
};

// "12 / 340 ファイル　残り 0:42": the progress beside the bar.
std::string ProgressText(const RunProgress& progress);

}  // namespace penmorph::app
