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
  std::vector<ReportedFile> files = ReportedFiles(report.result);
  std::size_t at = 0;
  for (const FileOutcome& outcome : report.result.outcomes) {
    if (!BelongsInReport(outcome)) {
      continue;
    }
    ReportedFile& file = files[at++];
    switch (outcome.kind) {
      case OutcomeKind::kNotDone:
        summary.not_done.push_back(std::move(file));
        break;
      case OutcomeKind::kSkipped:
        summary.passed_over.push_back(std::move(file));
        break;
      default:
        summary.failures.push_back(std::move(file));
        break;
    }
  }
  for (const std::filesystem::path& folder : report.unreadable_folders) {
    summary.failures.push_back({folder, PathText(folder), std::string(texts::kFolderUnreadable)});
  }
  for (const KeptBackup& kept : report.backups) {
    summary.unusual_backup |= kept.backup != BackupPath(kept.output);
    summary.backups.push_back(
        {kept.output, PathText(kept.output),
         "以前のファイルを「" + PathText(kept.backup.filename()) + "」として残しました"});
  }
  return summary;
}

std::string SummaryStatus(const RunSummary& summary) {
  std::string text(summary.stopped ? texts::kStopped : texts::kDone);
  text += Count(summary.converted) + "を変換";
  if (!summary.backups.empty()) {
    text += "（.BAK " + Count(summary.backups.size()) + "）";
  }
  if (!summary.failures.empty()) {
    text += "、" + Count(summary.failures.size()) + "は変換できませんでした";
  }
  if (!summary.not_done.empty()) {
    text += "、" + Count(summary.not_done.size()) + "は中止したため変換していません";
  }
  if (!summary.passed_over.empty()) {
    text += "、" + Count(summary.passed_over.size()) + "は図面ではないため飛ばしました";
  }
  text += "。";
  return text;
}

std::vector<std::string> SummaryLines(const RunSummary& summary) {
  std::vector<std::string> lines;
  lines.push_back(std::string(summary.stopped ? texts::kStopped : texts::kDone));
  lines.push_back("変換したファイル：" + Count(summary.converted));
  lines.push_back("既存のファイルを .BAK として残したもの：" + Count(summary.backups.size()));
  lines.push_back("変換できなかったファイル：" + Count(summary.failures.size()));
  if (summary.stopped || !summary.not_done.empty()) {
    lines.push_back("中止したため変換していないファイル：" + Count(summary.not_done.size()));
  }
  if (!summary.passed_over.empty()) {
    lines.push_back("jw_cad の図面ではないため飛ばしたファイル：" +
                    Count(summary.passed_over.size()));
  }
  return lines;
}

bool NeedsReport(const RunSummary& summary) {
  return !summary.failures.empty() || !summary.not_done.empty() || !summary.passed_over.empty() ||
         summary.unusual_backup;
}

std::vector<ReportedFile> SummaryRows(const RunSummary& summary) {
  std::vector<ReportedFile> rows = summary.failures;
  for (const auto* group : {&summary.not_done, &summary.passed_over, &summary.backups}) {
    rows.insert(rows.end(), group->begin(), group->end());
  }
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
