#pragma once

// What the end of a run says: how many files were converted, how many failed (each with its
// reason), how many were not done because of "中止", and how many existing outputs were kept as
// .BAK. Files not done are a count with their list, never failures.

#include <cstddef>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "app/run_report.h"

namespace penmorph::app {

struct RunSummary {
  bool stopped = false;
  std::size_t converted = 0;
  std::size_t backups = 0;
  std::size_t skipped = 0;             // files of no jw_cad type among the selected ones
  std::vector<ReportedFile> failures;  // with their reasons; unreadable folders of a tree too
  std::vector<ReportedFile> not_done;  // left untouched after "中止"
};

RunSummary SummariseRun(const RunReport& report);

// One line for the status bar.
std::string SummaryStatus(const RunSummary& summary);
// The report's lines above its list, one count a line.
std::vector<std::string> SummaryLines(const RunSummary& summary);
// The report window opens when there is more to say than the status bar holds.
bool NeedsReport(const RunSummary& summary);
// The report's rows: the failures, then the files not done.
std::vector<ReportedFile> SummaryRows(const RunSummary& summary);
// The whole report as text, for the clipboard and the saved file.
std::string SummaryText(const RunSummary& summary);

}  // namespace penmorph::app
