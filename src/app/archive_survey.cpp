#include "app/archive_survey.h"

#include "app/path_text.h"
#include "convert/file_preview.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSurveyed = "集計を完了しました。";
constexpr std::string_view kSurveyStopped = "集計を中止しました。";
constexpr std::string_view kFolderNotSurveyed =
    "フォルダの中を読めないため、その中のファイルは集計していません";

std::string SurveyingStatus(const fs::path& file) {
  return "ファイル「" + PathText(file) + "」を集計しています。";
}

}  // namespace

std::string SurveySummary(const SurveyReport& report) {
  std::string formats;
  for (const auto& [format, files] : report.survey.formats()) {
    formats += (formats.empty() ? "" : ", ") + format + " " + std::to_string(files) + " 個";
  }
  std::string text = report.stopped ? std::string(kSurveyStopped) + "それまでに読んだ" : "";
  text += "図面 " + std::to_string(report.survey.files()) + " 個" +
          (formats.empty() ? "" : " (" + formats + ")") + " を集計しました。";
  if (!report.unreadable.empty()) {
    text += "読めなかったファイル " + std::to_string(report.unreadable.size()) + " 個";
  }
  return text;
}

BackgroundSurvey::BackgroundSurvey(ConversionPlan plan, const FormatRegistry& formats,
                                   std::function<void()> wake)
    : BackgroundTask(std::move(plan), formats, ConversionTables{}, std::move(wake)) {
  Start([this] { Run(); });
}

BackgroundSurvey::~BackgroundSurvey() {
  StopAndJoin();
}

void BackgroundSurvey::Run() {
  PlannedJobs jobs(plan_, formats_);
  WorkThrough(jobs, &SurveyingStatus, [this](const fs::path& file) {
    // Without tables: what the drawing holds as it is.
    const auto inventory = InventoryOfFile(formats_, file, tables_);
    OneDone([&](SurveyReport& report) {
      if (inventory.ok()) {
        report.survey.Add(inventory.value());
      } else if (inventory.error().kind != ErrorKind::kNotADrawing) {
        report.unreadable.push_back({file, PathText(file), JapaneseErrorText(inventory.error())});
      }
    });
  });
  const bool stopped = stop_;
  Finish(stopped ? kSurveyStopped : kSurveyed, [&](SurveyReport& report) {
    if (!stopped) {
      for (const fs::path& folder : jobs.UnreadableFolders()) {
        report.unreadable.push_back({folder, PathText(folder), std::string(kFolderNotSurveyed)});
      }
    }
    report.stopped = stopped;
  });
}

}  // namespace penmorph::app
