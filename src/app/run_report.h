#pragma once

// The report after a run: every file that was not converted - a failure, a file not done after
// "中止", or one passed over as no drawing - each with its reason, worded in Japanese.

#include <filesystem>
#include <string>
#include <vector>

#include "app/window_texts.h"
#include "common/result.h"
#include "convert/batch_converter.h"

namespace penmorph::app {

struct ReportedFile {
  std::filesystem::path file;
  std::string file_text;  // UTF-8
  std::string reason;     // Japanese, UTF-8
};

// True for an outcome the user has to hear about.
bool BelongsInReport(const FileOutcome& outcome);

// How a report window's save dialog is titled and what file name it offers: a run's report and
// a check's are told apart when saved.
struct ReportSaving {
  std::string_view title;
  std::string_view file_name;
};
inline constexpr ReportSaving kRunReportSaving{texts::kSaveReportTitle, "penmorph-report.txt"};
inline constexpr ReportSaving kCheckReportSaving{texts::kSaveCheckReportTitle,
                                                 "penmorph-check.txt"};

std::vector<ReportedFile> ReportedFiles(const BatchResult& result);

// The reason in Japanese: what happened, then why, from the kind and cause of its error.
std::string JapaneseReason(const OutcomeReason& reason);

// A reader's or writer's error in Japanese, with the byte it points at; the system's English
// words follow only for a failure of no known cause. Empty for none. The preview words its
// failures with it too, so that one failure reads the same everywhere.
std::string JapaneseErrorText(const std::optional<Error>& error);

// "次の N 個のファイルは変換できませんでした。"
std::string ReportHeading(std::size_t count);

// "次の N 個のファイルは jw_cad の図面ではないため飛ばしました。"
std::string PassedOverHeading(std::size_t count);

// The whole report as text: the heading, then each file and its reason on the line below.
std::string ReportText(const std::vector<ReportedFile>& files);

// Writes the report as a UTF-8 text file, replacing one of that name.
Status SaveReportText(const std::filesystem::path& file, std::string_view text);

// The message shown when the report could not be saved.
std::string ReportNotSavedText(const std::filesystem::path& file, const Error& error);

}  // namespace penmorph::app
