#include "app/conversion_run.h"

#include <algorithm>

#include "app/file_rows.h"
#include "app/path_text.h"
#include "app/window_texts.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {

// A refusal: the beep and the box; false, for the caller to return.
bool Refuse(Prompts& prompts, MessageKind kind, std::string_view text) {
  prompts.Beep();
  prompts.ShowMessage(kind, text);
  return false;
}

}  // namespace

bool CheckSources(bool tree_ready, bool list_ready, bool has_files, std::string_view nothing_chosen,
                  Prompts& prompts) {
  if (!tree_ready) {
    Refuse(prompts, MessageKind::kError, texts::kNoTree);
    prompts.SetStatus(texts::kNoTree);
    return false;
  }
  if (!list_ready) {
    return Refuse(prompts, MessageKind::kError, texts::kNoList);
  }
  if (!has_files) {
    return Refuse(prompts, MessageKind::kWarning, nothing_chosen);
  }
  return true;
}

bool CheckConversion(const ConversionRequest& request, Prompts& prompts) {
  if (!CheckSources(request.tree_ready, request.list_ready,
                    request.whole_tree || !request.file_names.empty(), texts::kNothingSelected,
                    prompts)) {
    return false;
  }
  if (request.destination_folder.empty()) {
    return Refuse(prompts, MessageKind::kWarning, texts::kNoDestination);
  }
  const fs::path destination = PathFromText(request.destination_folder);
  // A link to a folder is a folder here.
  if (KindOfPath(destination) != PathKind::kFolder) {
    return Refuse(prompts, MessageKind::kWarning, texts::kDestinationMissing);
  }
  if (SameFolder(destination, request.source_folder)) {
    return Refuse(prompts, MessageKind::kWarning, texts::kSameFolder);
  }
  if (request.whole_tree && IsInsideTree(destination, request.source_folder)) {
    return Refuse(prompts, MessageKind::kWarning, texts::kDestinationInsideTree);
  }
  return true;
}

namespace {

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

ConversionPlan MakePlan(const ConversionRequest& request) {
  ConversionPlan plan;
  const fs::path destination = PathFromText(request.destination_folder);
  // One kind of separator in the names shown, whichever way the folder was spelled.
  const fs::path source_folder = fs::path(request.source_folder).make_preferred();
  plan.source_folder = source_folder;
  plan.destination = destination;
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
  if (plan.file_count) {
    return *plan.file_count;
  }
  std::size_t count = plan.jobs.size();
  if (plan.tree) {
    count += CountTreeFiles(plan.tree->root, [&](std::string_view name) {
      return WantedInTree(name, plan.tree->file_pattern, formats);
    });
  }
  return count;
}

PlanCount CountPlan(const ConversionPlan& plan, const FormatRegistry& formats, FileSystem& files,
                    const std::function<bool(std::size_t judged)>& keep_going) {
  PlanCount count;
  PlannedJobs jobs(plan, formats);
  while (std::optional<BatchJob> job = jobs.Next()) {
    if (keep_going && !keep_going(count.Jobs())) {
      count.stopped = true;
      return count;
    }
    if (JudgeSource(formats, job->source).kind == SourceKind::kPassedOver) {
      ++count.passed_over;
      continue;
    }
    ++count.files;
    if (KindOfPath(job->output) == PathKind::kFile) {
      const Status replaceable = files.CheckReplaceable(job->output);
      const bool read_only =
          !replaceable.ok() && replaceable.error().cause == SystemCause::kReadOnlyFile;
      ++(read_only ? count.read_only_outputs : count.existing_outputs);
    }
  }
  return count;
}

namespace {

// A folder as the question names it: its own name, or the whole path for a drive's root.
std::string FolderName(const fs::path& folder) {
  fs::path name = folder;
  if (!name.has_filename()) {
    name = name.parent_path();  // "D:/drawings/" ends in a separator
  }
  std::string text = PathText(name.filename());
  return text.empty() ? PathText(folder) : text;
}

}  // namespace

std::string RunQuestion(const ConversionPlan& plan, const PlanCount& count,
                        const ConversionTables& tables) {
  std::string text = "「" + FolderName(plan.source_folder) + "」";
  text += plan.tree ? "以下の " : "の ";
  text += std::to_string(count.files) + " 個のファイルを「" + FolderName(plan.destination) +
          "」に変換します。";
  if (count.passed_over > 0) {
    text += "ほかの " + std::to_string(count.passed_over) +
            " 個は jw_cad の図面ではないため飛ばします。";
  }
  if (count.existing_outputs > 0) {
    text += "同じ名前のファイルが " + std::to_string(count.existing_outputs) +
            " 個あり、.BAK として残します。";
  }
  if (count.read_only_outputs > 0) {
    text += "同じ名前のファイルのうち " + std::to_string(count.read_only_outputs) +
            " 個は読み取り専用のため、変換しません。";
  }
  text += TablesEffectText(tables);
  text += "よろしいですか？";
  return text;
}

std::string NothingToConvertText(const ConversionPlan& plan, const PlanCount& count) {
  if (count.passed_over > 0) {
    return "選択した " + std::to_string(count.passed_over) +
           " 個のファイルはどれも jw_cad の図面ではないため、変換するものがありません。";
  }
  return "「" + FolderName(plan.source_folder) + "」以下に変換するファイルがありません。";
}

std::string TablesEffectText(const ConversionTables& tables) {
  if (tables == ConversionTables{}) {
    return "変換表がすべて 0 のため、図面の内容は変わりません。";
  }
  if (tables.layers.MovesLayers()) {
    return "レイヤ設定により、図形が別のレイヤへ移ります。";
  }
  return {};
}

std::vector<ReportedFile> ReportedFiles(const RunReport& report) {
  std::vector<ReportedFile> files = ReportedFiles(report.result);
  for (const fs::path& folder : report.unreadable_folders) {
    files.push_back({folder, PathText(folder), std::string(texts::kFolderUnreadable)});
  }
  return files;
}

void ReportedOutcomes::Finished(std::size_t index, const BatchJob&, const FileOutcome& outcome) {
  if (outcome.kept_backup()) {
    backups_.emplace(index, KeptBackup{outcome.output, outcome.backup});
  }
  if (BelongsInReport(outcome)) {
    kept_.emplace(index, outcome);
  }
}

namespace {

// The values of a map kept by file index, in the files' order; the map is left empty.
template <class T>
std::vector<T> TakeInOrder(std::map<std::size_t, T>& kept) {
  std::vector<T> values;
  for (auto& [index, value] : kept) {
    values.push_back(std::move(value));
  }
  kept.clear();
  return values;
}

}  // namespace

std::vector<FileOutcome> ReportedOutcomes::Take() {
  return TakeInOrder(kept_);
}

std::vector<KeptBackup> ReportedOutcomes::TakeBackups() {
  return TakeInOrder(backups_);
}

}  // namespace penmorph::app
