#include "app/run_summary.h"

#include "app/path_text.h"
#include "app/window_texts.h"

namespace penmorph::app {

namespace {

std::string Count(std::size_t count) {
  return std::to_string(count) + " 個";
}

}  // namespace

RunSummary SummariseRun(const RunReport& report) {
  RunSummary summary;
  summary.stopped = report.stopped;
  summary.converted = report.counts.converted;
  summary.backups = report.backups;
  std::vector<ReportedFile> files = ReportedFiles(report.result);
  std::size_t at = 0;
  for (const FileOutcome& outcome : report.result.outcomes) {
    if (!BelongsInReport(outcome)) {
      continue;
    }
    ReportedFile& file = files[at++];
    (outcome.kind == OutcomeKind::kNotDone ? summary.not_done : summary.failures)
        .push_back(std::move(file));
  }
  for (const std::filesystem::path& folder : report.unreadable_folders) {
    summary.failures.push_back({folder, PathText(folder), std::string(texts::kFolderUnreadable)});
  }
  // Files of other types were passed over silently, as intended; those without their format's
  // signature are among the failures.
  const std::size_t unrecognised =
      summary.failures.size() - report.counts.failed - report.unreadable_folders.size();
  summary.skipped = report.counts.skipped - unrecognised;
  return summary;
}

std::string SummaryStatus(const RunSummary& summary) {
  std::string text(summary.stopped ? texts::kStopped : texts::kDone);
  text += Count(summary.converted) + "を変換";
  if (summary.backups > 0) {
    text += "（.BAK " + Count(summary.backups) + "）";
  }
  if (!summary.failures.empty()) {
    text += "、" + Count(summary.failures.size()) + "は変換できませんでした";
  }
  if (!summary.not_done.empty()) {
    text += "、" + Count(summary.not_done.size()) + "は中止したため変換していません";
  }
  text += "。";
  return text;
}

std::vector<std::string> SummaryLines(const RunSummary& summary) {
  std::vector<std::string> lines;
  lines.push_back(std::string(summary.stopped ? texts::kStopped : texts::kDone));
  lines.push_back("変換したファイル：" + Count(summary.converted));
  lines.push_back("既存のファイルを .BAK として残したもの：" + Count(summary.backups));
  lines.push_back("変換できなかったファイル：" + Count(summary.failures.size()));
  if (summary.stopped || !summary.not_done.empty()) {
    lines.push_back("中止したため変換していないファイル：" + Count(summary.not_done.size()));
  }
  if (summary.skipped > 0) {
    lines.push_back("jw_cad のファイルではないため飛ばしたファイル：" + Count(summary.skipped));
  }
  return lines;
}

bool NeedsReport(const RunSummary& summary) {
  return !summary.failures.empty() || !summary.not_done.empty();
}

std::vector<ReportedFile> SummaryRows(const RunSummary& summary) {
  std::vector<ReportedFile> rows = summary.failures;
  rows.insert(rows.end(), summary.not_done.begin(), summary.not_done.end());
  return rows;
}

std::string SummaryText(const RunSummary& summary) {
  std::string text;
  for (const std::string& line : SummaryLines(summary)) {
    text += line + "\n";
  }
  text += "\n";
  for (const ReportedFile& file : SummaryRows(summary)) {
    text += file.file_text + "\n    " + file.reason + "\n";
  }
  return text;
}

}  // namespace penmorph::app
