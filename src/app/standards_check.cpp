#include "app/standards_check.h"

#include "app/code_labels.h"
#include "app/path_text.h"
#include "app/preview_panel.h"
#include "app/window_texts.h"
#include "convert/file_preview.h"

namespace penmorph::app {

namespace fs = std::filesystem;
using preview::CodeFamily;
using preview::Inventory;

namespace {

constexpr std::string_view kNothingToCheck = "調べるファイルが選択されていません。";
constexpr std::string_view kChecked = "基準チェックを完了しました。";
constexpr std::string_view kCheckStopped = "基準チェックを中止しました。";
constexpr std::string_view kFolderNotChecked =
    "フォルダの中を読めないため、その中のファイルは調べていません";

std::string CheckingStatus(const fs::path& file) {
  return "ファイル「" + PathText(file) + "」を調べています。";
}

void AddMoves(std::vector<std::string>& lines, const std::string& head,
              const preview::CodeMoves& moves, std::string (*label)(int)) {
  for (const auto& [move, count] : moves.moves()) {
    lines.push_back(head + " " + label(move.first) + " → " + label(move.second) + ": " +
                    std::to_string(count) + " 個");
  }
}

}  // namespace

bool CheckStandardsRequest(const StandardsCheckRequest& request, Prompts& prompts) {
  return CheckSources(request.tree_ready, request.list_ready,
                      request.whole_tree || !request.file_names.empty(), kNothingToCheck, prompts);
}

ConversionPlan StandardsCheckPlan(const StandardsCheckRequest& request) {
  // A conversion's plan without a destination: the jobs' outputs are never looked at.
  ConversionPlan plan;
  const fs::path folder = fs::path(request.source_folder).make_preferred();
  plan.source_folder = folder;
  if (request.whole_tree) {
    plan.tree = TreeToConvert{folder, folder, request.file_pattern};
  } else {
    for (const fs::path& name : request.file_names) {
      plan.jobs.push_back({folder / name, folder / name, {}});
    }
  }
  return plan;
}

std::string MovedToHiddenText(std::uint64_t count) {
  if (count == 0) {
    return {};
  }
  return std::to_string(count) + " 個の図形が非表示レイヤに移ります";
}

std::string NameRuleLabel(const preview::NameRuleMoves& rule) {
  return "名前「" + rule.pattern + "」→ " + preview::LayerLabel(rule.target);
}

std::vector<std::string> NameRuleTexts(const Inventory& inventory) {
  std::vector<std::string> texts;
  for (const preview::NameRuleMoves& rule : inventory.name_rules) {
    texts.push_back(NameRuleLabel(rule) + ": " + std::to_string(rule.parts) + " 個 (" +
                    preview::LayerLabels(rule.layers) + ")");
  }
  if (inventory.names_unused) {
    texts.emplace_back(texts::kNameRulesUnused);
  }
  return texts;
}

std::vector<std::string> ChangeLines(const Inventory& inventory) {
  std::vector<std::string> lines;
  const bool dos = inventory.family == CodeFamily::kDos;
  if (dos) {
    AddMoves(lines, "ペン", inventory.moves.colors,
             [](int code) { return ColorText(CodeFamily::kDos, code); });
    AddMoves(lines, "線種", inventory.moves.line_types,
             [](int code) { return preview::LineTypeLabel(CodeFamily::kDos, code); });
  } else {
    AddMoves(lines, "線色", inventory.moves.colors,
             [](int code) { return ColorText(CodeFamily::kWindows, code); });
    AddMoves(lines, "線種", inventory.moves.line_types,
             [](int code) { return preview::LineTypeLabel(CodeFamily::kWindows, code); });
  }
  AddMoves(lines, "レイヤ", inventory.moves.layers, &preview::LayerLabel);
  for (std::string& text : NameRuleTexts(inventory)) {
    lines.push_back(std::move(text));
  }
  if (inventory.moved_to_hidden > 0) {
    lines.push_back(MovedToHiddenText(inventory.moved_to_hidden));
  }
  if (inventory.moved_block_definitions > 0) {
    lines.push_back(
        "レイヤが変わるブロック定義: " + std::to_string(inventory.moved_block_definitions) + " 個");
  }
  for (std::size_t i = 0; i < inventory.settings.size(); ++i) {
    const preview::SettingColor& setting = inventory.settings[i];
    if (setting.before != setting.after) {
      lines.push_back(SettingName(inventory, i) + ": " + std::to_string(setting.before) + " → " +
                      std::to_string(setting.after));
    }
  }
  const preview::LayerSheet& before = inventory.before.sheet;
  const preview::LayerSheet& after = inventory.after.sheet;
  for (int index = 0; index < kLayerCount; ++index) {
    if (before.names[index] != after.names[index]) {
      lines.push_back("レイヤ " + preview::LayerLabel(index) + " の名前「" + before.names[index] +
                      "」→「" + after.names[index] + "」");
    }
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    if (before.group_names[group] != after.group_names[group]) {
      lines.push_back("グループ " + LayerGroupText(group) + " の名前「" +
                      before.group_names[group] + "」→「" + after.group_names[group] + "」");
    }
  }
  return lines;
}

std::string CheckSummary(const StandardsCheckReport& report) {
  return "基準に合う図面 " + std::to_string(report.conform) + " 個、合わない図面 " +
         std::to_string(report.differ) + " 個、読めなかったファイル " +
         std::to_string(report.failed) + " 個、図面ではないため飛ばしたファイル " +
         std::to_string(report.passed_over) + " 個";
}

std::string CheckHeading(const StandardsCheckReport& report) {
  if (report.files.empty()) {
    return "すべての図面が基準に合っています。";
  }
  return "次の " + std::to_string(report.files.size()) +
         " 個のファイルは基準に合っていないか、読めませんでした。";
}

std::string CheckReportText(const StandardsCheckReport& report) {
  auto list = [](const std::vector<ReportedFile>& files) {
    std::string text;
    for (const ReportedFile& file : files) {
      text += file.file_text + "\n";
      // Each line of the reason indented under its file.
      std::size_t begin = 0;
      while (begin < file.reason.size()) {
        const std::size_t end = std::min(file.reason.find('\n', begin), file.reason.size());
        text += "    " + file.reason.substr(begin, end - begin) + "\n";
        begin = end + 1;
      }
    }
    return text;
  };
  std::string text = CheckHeading(report) + "\n\n" + list(report.files);
  if (!report.passed_over_files.empty()) {
    text += "\n" + PassedOverHeading(report.passed_over_files.size()) + "\n\n" +
            list(report.passed_over_files);
  }
  if (report.stopped) {
    text += "\n" + std::string(kCheckStopped) + "\n";
  }
  text += "\n" + CheckSummary(report) + "\n";
  return text;
}

BackgroundCheck::BackgroundCheck(ConversionPlan plan, const FormatRegistry& formats,
                                 ConversionTables tables, std::function<void()> wake)
    : BackgroundTask(std::move(plan), formats, std::move(tables), std::move(wake)) {
  Start([this] { Run(); });
}

BackgroundCheck::~BackgroundCheck() {
  StopAndJoin();
}

void BackgroundCheck::Run() {
  PlannedJobs jobs(plan_, formats_);
  WorkThrough(jobs, &CheckingStatus, [this](const fs::path& file) {
    Checked(file, InventoryOfFile(formats_, file, tables_));
  });
  const bool stopped = stop_;
  Finish(stopped ? kCheckStopped : kChecked, [&](StandardsCheckReport& report) {
    if (!stopped) {
      for (const fs::path& folder : jobs.UnreadableFolders()) {
        report.files.push_back({folder, PathText(folder), std::string(kFolderNotChecked)});
        ++report.failed;
      }
    }
    report.stopped = stopped;
  });
}

void BackgroundCheck::Checked(const fs::path& file, const Result<Inventory>& inventory) {
  OneDone([&](StandardsCheckReport& report) {
    const CheckVerdict verdict = VerdictOf(inventory);
    report.Add(verdict);
    if (verdict == CheckVerdict::kPassedOver) {
      report.passed_over_files.push_back(
          {file, PathText(file), JapaneseErrorText(inventory.error())});
    } else if (!inventory.ok()) {
      // The tables' own refusal (a scale clash, say) breaks the standard; the file was read.
      report.files.push_back({file, PathText(file), JapaneseErrorText(inventory.error())});
    } else if (verdict == CheckVerdict::kDiffers) {
      std::string reason;
      for (const std::string& line : ChangeLines(inventory.value())) {
        reason += (reason.empty() ? "" : "\n") + line;
      }
      report.files.push_back({file, PathText(file), std::move(reason)});
    }
  });
}

}  // namespace penmorph::app
