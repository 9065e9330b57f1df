#pragma once

// The "変換" button: the checks in their order, each with its box and beep, the question, then
// every selected file through the batch driver, with the status bar naming each file.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/prompts.h"
#include "app/run_report.h"
#include "common/file_system.h"
#include "convert/batch_converter.h"
#include "convert/batch_runner.h"
#include "convert/format_registry.h"
#include "convert/source_tree.h"
#include "settings/conv_settings.h"

namespace penmorph::app {

// What the window holds when the button is pressed.
struct ConversionRequest {
  bool tree_ready = false;  // a folder tree has been built
  bool list_ready = false;  // the file list shows at least one file
  std::filesystem::path source_folder;
  std::string destination_folder;                 // as the destination field shows it
  std::vector<std::filesystem::path> file_names;  // the selected rows, top to bottom
  // "サブフォルダも含める": every file of the source folder's tree whose name matches
  // `file_pattern` (the list's file type), each to the same place under the destination.
  bool whole_tree = false;
  std::string file_pattern = "*.*";
};

// "サブフォルダも含める": the files of a tree, found while the run converts them.
struct TreeToConvert {
  std::filesystem::path root;
  std::filesystem::path destination;
  std::string file_pattern;  // the list's file type
};

// The files a run converts, once the checks passed and the user said yes: the selected rows, or
// a whole tree.
struct ConversionPlan {
  std::vector<BatchJob> jobs;
  std::optional<TreeToConvert> tree;
  bool create_folders = false;  // a tree's layout: folders are made under the destination
};

// The plan's files one at a time: a tree is walked as the run asks for its files, so that an
// archive of any size is never held as a list.
class PlannedJobs : public JobSource {
 public:
  PlannedJobs(const ConversionPlan& plan, const FormatRegistry& formats);
  std::optional<BatchJob> Next() override;
  // The folders of a tree that could not be listed, complete once Next has found no more files.
  std::vector<std::filesystem::path> UnreadableFolders() const;

 private:
  const ConversionPlan& plan_;
  JobList list_;
  std::optional<TreeCursor> tree_;
};

// How many files the plan converts; a tree's are counted by a walk that keeps none of them.
std::size_t PlannedFileCount(const ConversionPlan& plan, const FormatRegistry& formats);

// The checks in their order, each with its box and beep, then the question; the plan, or
// nullopt when a check refused or the user said no (the status says which).
std::optional<ConversionPlan> PlanConversion(const ConversionRequest& request, Prompts& prompts);

struct RunReport {
  bool ran = false;    // the checks passed and the user said yes
  BatchResult result;  // the outcomes that belong in the report, in the files' order
  BatchCounts counts;  // every file's
  std::vector<std::filesystem::path> unreadable_folders;
};

// Keeps, of a run's outcomes, those the report lists, in the files' order: a tree of any size
// costs only what it has to report.
class ReportedOutcomes : public BatchListener {
 public:
  void Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) override;
  std::vector<FileOutcome> Take();

 private:
  std::map<std::size_t, FileOutcome> kept_;
};

// What the report window lists: the files of the report, then the folders of a tree that could
// not be read (their files were neither converted nor looked at).
std::vector<ReportedFile> ReportedFiles(const RunReport& report);

// The plan and the run in the window's own thread, file after file (the windows run theirs on
// threads of its own: background_run.h).
RunReport RunConversion(const ConversionRequest& request, const FormatRegistry& formats,
                        const ConversionTables& tables, FileSystem& file_system, Prompts& prompts);

// "ファイル「source」→「output」変換中です。"
std::string ConvertingStatus(const std::filesystem::path& source,
                             const std::filesystem::path& output);

}  // namespace penmorph::app
