#pragma once

// "基準チェック": which drawings of the selection, or of the whole tree, the current tables
// would change, read on a thread of its own with progress and "中止" like a conversion run, and
// a report of the drawings that do not conform with what would change in each. Nothing is
// written. The report is copied and saved as the run's report is (ReportText's kin below,
// SaveReportText).

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/background_task.h"
#include "app/conversion_run.h"
#include "app/prompts.h"
#include "app/run_report.h"
#include "convert/file_preview.h"
#include "convert/format_registry.h"
#include "preview/inventory.h"
#include "settings/conv_settings.h"

namespace penmorph::app {

inline constexpr std::string_view kStandardsCheck = "基準チェック";

// What the window holds when the check is asked for.
struct StandardsCheckRequest {
  bool tree_ready = false;
  bool list_ready = false;
  std::filesystem::path source_folder;
  std::vector<std::filesystem::path> file_names;  // the selected rows, top to bottom
  bool whole_tree = false;                        // "サブフォルダも含める"
  std::string file_pattern = "*.*";
};

// The same refusals as before a conversion, but for the destination, which a check has none of;
// true when the check may start.
bool CheckStandardsRequest(const StandardsCheckRequest& request, Prompts& prompts);
// The files the check reads, walked as a conversion's are; nothing is written anywhere.
ConversionPlan StandardsCheckPlan(const StandardsCheckRequest& request);

// The counts: `failed` takes the folders of a tree that could not be read too.
struct StandardsCheckReport : CheckCounts {
  bool stopped = false;
  // The drawings that do not conform, each reason the changes a line each, and those that could
  // not be read, in the order they were read; then the files passed over, each with why.
  std::vector<ReportedFile> files;
  std::vector<ReportedFile> passed_over_files;
};

// What the check and the panel say when the tables hide entities:
// "12 個の図形が非表示レイヤに移ります"; empty for none.
std::string MovedToHiddenText(std::uint64_t count);

// What each rule by name took in a drawing: "名前「*壁*」→ 0-2: 120 個 (0-3, 0-5)"; and, when the
// file names no layers, that the rules by name do not apply to it.
std::vector<std::string> NameRuleTexts(const preview::Inventory& inventory);
// "名前「*壁*」→ 0-2"
std::string NameRuleLabel(const preview::NameRuleMoves& rule);

// What the tables would change in a drawing, a line each: "線色 2 → 8: 954 個",
// "レイヤ 0-3 → 2-5: 40 個", "12 個の図形が非表示レイヤに移ります", a setting's colour, a
// layer's or group's name.
std::vector<std::string> ChangeLines(const preview::Inventory& inventory);

// "基準に合う図面 3 個、合わない図面 2 個、読めなかったファイル 1
// 個、図面ではないため飛ばしたファイル 2 個"
std::string CheckSummary(const StandardsCheckReport& report);
// "次の 3 個のファイルは基準に合っていないか、読めませんでした。"
std::string CheckHeading(const StandardsCheckReport& report);
// The whole report as text, to copy or save: the heading, each file with its lines, the summary.
std::string CheckReportText(const StandardsCheckReport& report);

class BackgroundCheck : public BackgroundTask<StandardsCheckReport> {
 public:
  // Starts at once; see BackgroundTask for `wake` and the tables.
  BackgroundCheck(ConversionPlan plan, const FormatRegistry& formats, ConversionTables tables,
                  std::function<void()> wake);
  ~BackgroundCheck();

 private:
  void Run();
  void Checked(const std::filesystem::path& file, const Result<preview::Inventory>& inventory);
};

}  // namespace penmorph::app
