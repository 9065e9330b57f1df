#pragma once

// "集計": what the selection, or the whole tree, holds - colours, line types and layer names over
// all its drawings - read on a thread of its own with progress and "中止" like a check. Each
// drawing is read once, without tables; nothing is written.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/background_task.h"
#include "app/run_report.h"
#include "app/standards_check.h"
#include "preview/survey.h"

namespace penmorph::app {

inline constexpr std::string_view kSurveyCommand = "集計";

struct SurveyReport {
  preview::Survey survey;  // its own failures are not used: ours are worded in Japanese
  // The files and folders that could not be read, in the order they were met, with why.
  std::vector<ReportedFile> unreadable;
  bool stopped = false;
};

// "図面 600 個 (JWW 420 個, JWS 30 個, JWC 150 個) を集計しました。読めなかったファイル 2 個"
std::string SurveySummary(const SurveyReport& report);

class BackgroundSurvey : public BackgroundTask<SurveyReport> {
 public:
  // Starts at once over the plan a check would read; see BackgroundTask for `wake`.
  BackgroundSurvey(ConversionPlan plan, const FormatRegistry& formats, std::function<void()> wake);
  ~BackgroundSurvey();

 private:
  void Run();
};

}  // namespace penmorph::app
