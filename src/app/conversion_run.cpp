#include "app/conversion_run.h"

#include <algorithm>

#include "app/file_rows.h"
#include "app/path_text.h"
#include "app/window_texts.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {

class StatusObserver : public ConversionObserver {
 public:
  explicit StatusObserver(Prompts& prompts) : prompts_(prompts) {}
  void Converting(const fs::path& source, const fs::path& output) override {
    prompts_.SetStatus(ConvertingStatus(source, output));
  }

 private:
  Prompts& prompts_;
};

bool PassesChecks(const ConversionRequest& request, Prompts& prompts) {
  auto refuse = [&prompts](MessageKind kind, std::string_view text) {
    prompts.Beep();
    prompts.ShowMessage(kind, text);
    return false;
  };
  if (!request.tree_ready) {
    refuse(MessageKind::kError, texts::kNoTree);
    prompts.SetStatus(texts::kNoTree);
    return false;
  }
  if (!request.list_ready) {
    return refuse(MessageKind::kError, texts::kNoList);
  }
  if (request.destination_folder.empty()) {
    return refuse(MessageKind::kConfirmation, texts::kNoDestination);
  }
  const fs::path destination = PathFromText(request.destination_folder);
  // A link to a folder is a folder here.
  if (KindOfPath(destination) != PathKind::kFolder) {
    return refuse(MessageKind::kConfirmation, texts::kDestinationMissing);
  }
  if (SameFolder(destination, request.source_folder)) {
    return refuse(MessageKind::kConfirmation, texts::kSameFolder);
  }
  if (request.whole_tree && IsInsideTree(destination, request.source_folder)) {
    return refuse(MessageKind::kConfirmation, texts::kDestinationInsideTree);
  }
  return true;
}

// A tree's files of the list's type that a format takes: the tree walk passes over the rest.
bool WantedInTree(std::string_view name, const std::string& file_pattern,
                  const FormatRegistry& formats) {
  return MatchesPattern(name, file_pattern) && formats.FindForFile(name) != nullptr;
}

}  // namespace

std::string ConvertingStatus(const fs::path& source, const fs::path& output) {
  std::string text = "ファイル「";
  text += PathText(source);
  text += "」→「";
  text += PathText(output);
  text += "」変換中です。";
  return text;
}

std::optional<ConversionPlan> PlanConversion(const ConversionRequest& request, Prompts& prompts) {
  if (!PassesChecks(request, prompts)) {
    return std::nullopt;
  }
  if (!prompts.AskYesNo(texts::kConfirm)) {
    prompts.SetStatus(texts::kCancelled);
    return std::nullopt;
  }
  ConversionPlan plan;
  const fs::path destination = PathFromText(request.destination_folder);
  // One kind of separator in the names shown, whichever way the folder was spelled.
  const fs::path source_folder = fs::path(request.source_folder).make_preferred();
  if (request.whole_tree) {
    plan.tree = TreeToConvert{source_folder, destination, request.file_pattern};
    plan.create_folders = true;
  } else {
    for (const fs::path& name : request.file_names) {
      plan.jobs.push_back({source_folder / name, destination / name, {}});
    }
  }
  return plan;
}

PlannedJobs::PlannedJobs(const ConversionPlan& plan, const FormatRegistry& formats)
    : plan_(plan), list_(plan.jobs) {
  if (plan.tree) {
    tree_.emplace(plan.tree->root, [&formats, &plan](std::string_view name) {
      return WantedInTree(name, plan.tree->file_pattern, formats);
    });
  }
}

std::optional<BatchJob> PlannedJobs::Next() {
  if (std::optional<BatchJob> job = list_.Next()) {
    return job;
  }
  if (tree_) {
    if (std::optional<TreeFile> file = tree_->Next()) {
      return BatchJob{std::move(file->source), plan_.tree->destination / file->relative, {}};
    }
  }
  return std::nullopt;
}

std::vector<fs::path> PlannedJobs::UnreadableFolders() const {
  return tree_ ? tree_->unreadable() : std::vector<fs::path>();
}

std::size_t PlannedFileCount(const ConversionPlan& plan, const FormatRegistry& formats) {
  std::size_t count = plan.jobs.size();
  if (plan.tree) {
    count += CountTreeFiles(plan.tree->root, [&](std::string_view name) {
      return WantedInTree(name, plan.tree->file_pattern, formats);
    });
  }
  return count;
}

std::vector<ReportedFile> ReportedFiles(const RunReport& report) {
  std::vector<ReportedFile> files = ReportedFiles(report.result);
  for (const fs::path& folder : report.unreadable_folders) {
    files.push_back({folder, PathText(folder), std::string(texts::kFolderUnreadable)});
  }
  return files;
}

void ReportedOutcomes::Finished(std::size_t index, const BatchJob&, const FileOutcome& outcome) {
  if (BelongsInReport(outcome)) {
    kept_.emplace(index, outcome);
  }
}

std::vector<FileOutcome> ReportedOutcomes::Take() {
  std::vector<FileOutcome> outcomes;
  for (auto& [index, outcome] : kept_) {
    outcomes.push_back(std::move(outcome));
  }
  kept_.clear();
  return outcomes;
}

RunReport RunConversion(const ConversionRequest& request, const FormatRegistry& formats,
                        const ConversionTables& tables, FileSystem& file_system, Prompts& prompts) {
  RunReport report;
  std::optional<ConversionPlan> plan = PlanConversion(request, prompts);
  if (!plan) {
    return report;
  }
  report.ran = true;
  // One worker, this thread: the bar moves as each file begins.
  class Progress : public ReportedOutcomes {
   public:
    Progress(Prompts& prompts, std::size_t total) : prompts_(prompts), total_(total) {}
    void Started(std::size_t index, const BatchJob&) override {
      prompts_.ReportProgress(index, std::max(index, total_));
    }

   private:
    Prompts& prompts_;
    const std::size_t total_;
  } progress(prompts, PlannedFileCount(*plan, formats));
  StatusObserver observer(prompts);
  BatchConverter converter(formats, tables, observer, file_system);
  PlannedJobs jobs(*plan, formats);
  BatchOptions options;
  options.create_folders = plan->create_folders;
  report.counts = RunBatch(converter, file_system, jobs, options, progress);
  report.result.outcomes = progress.Take();
  report.unreadable_folders = jobs.UnreadableFolders();
  prompts.ReportProgress(report.counts.Total(), report.counts.Total());
  prompts.SetStatus(texts::kDone);
  return report;
}

}  // namespace penmorph::app
