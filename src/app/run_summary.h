#pragma once

// What the end of a run says: how many files were converted, how many failed (each with its
// reason), how many were not done because of "中止", how many were passed over as no drawings
// (each with why), and which existing outputs were kept under which name. Files not done and
// files passed over are counts with their lists, never failures.

#include <cstddef>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "app/run_report.h"

namespace penmorph::app {

struct RunSummary {
  bool stopped = false;
  std::size_t converted = 0;
  std::vector<ReportedFile> backups;      // each output whose earlier file was kept, and its name
  std::vector<ReportedFile> failures;     // with their reasons; unreadable folders of a tree too
  std::vector<ReportedFile> not_done;     // left untouched after "中止"
  std::vector<ReportedFile> passed_over;  // no drawings, each with why
  // A backup had to take a name other than NAME.BAK: worth the report's opening.
  bool unusual_backup = false;
};

RunSummary SummariseRun(const RunReport& report);

// One line for the status bar.
std::string SummaryStatus(const RunSummary& summary);
// The report's lines above its list, one count a line.
std::vector<std::string> SummaryLines(const RunSummary& summary);
// The report window opens when there is more to say than the status bar holds.
bool NeedsReport(const RunSummary& summary);
// The report's rows: the failures, the files not done, those passed over, the backups kept.
std::vector<ReportedFile> SummaryRows(const RunSummary& summary);
// The whole report as text, for the clipboard and the saved file.
std::string SummaryText(const RunSummary& summary);

}  // namespace penmorph::app
