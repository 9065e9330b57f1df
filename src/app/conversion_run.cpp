#include "app/conversion_run.h"

#include "app/file_rows.h"
#include "app/path_text.h"
#include "app/window_texts.h"
#include "convert/source_tree.h"

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
bool WantedInTree(std::string_view name, const ConversionRequest& request,
                  const FormatRegistry& formats) {
  return MatchesPattern(name, request.file_pattern) && formats.FindForFile(name) != nullptr;
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

std::optional<ConversionPlan> PlanConversion(const ConversionRequest& request,
                                             const FormatRegistry& formats, Prompts& prompts) {
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
    TreeWalk walk = ListTree(
        source_folder, [&](std::string_view name) { return WantedInTree(name, request, formats); });
    for (TreeFile& file : walk.files) {
      plan.jobs.push_back({std::move(file.source), destination / file.relative});
    }
    plan.unreadable_folders = std::move(walk.unreadable);
    plan.create_folders = true;
  } else {
    for (const fs::path& name : request.file_names) {
      plan.jobs.push_back({source_folder / name, destination / name});
    }
  }
  return plan;
}

std::vector<ReportedFile> ReportedFiles(const RunReport& report) {
  std::vector<ReportedFile> files = ReportedFiles(report.result);
  for (const fs::path& folder : report.unreadable_folders) {
    files.push_back({folder, PathText(folder), std::string(texts::kFolderUnreadable)});
  }
  return files;
}

RunReport RunConversion(const ConversionRequest& request, const FormatRegistry& formats,
                        const ConversionTables& tables, FileSystem& file_system, Prompts& prompts) {
  RunReport report;
  std::optional<ConversionPlan> plan = PlanConversion(request, formats, prompts);
  if (!plan) {
    return report;
  }
  report.ran = true;
  report.unreadable_folders = plan->unreadable_folders;
  StatusObserver observer(prompts);
  BatchConverter converter(formats, tables, observer, file_system);
  const std::size_t total = plan->jobs.size();
  for (std::size_t i = 0; i < total; ++i) {
    prompts.ReportProgress(i, total);
    const BatchJob& job = plan->jobs[i];
    if (plan->create_folders) {
      std::error_code ec;
      fs::create_directories(job.output.parent_path(), ec);  // a failure shows as the file's own
    }
    report.result.outcomes.push_back(converter.ConvertFile(job.source, job.output));
  }
  prompts.ReportProgress(total, total);
  prompts.SetStatus(texts::kDone);
  return report;
}

}  // namespace penmorph::app
