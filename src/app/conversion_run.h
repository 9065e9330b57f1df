#pragma once

// The "変換" button: the checks in their order, each with its box and beep, the plan of what the
// run converts, its count for the question, and the plan's files one at a time for the run.

#include <filesystem>
#include <functional>
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

// The files a run converts, once the checks passed: the selected rows, or a whole tree.
struct ConversionPlan {
  std::filesystem::path source_folder;
  std::filesystem::path destination;
  std::vector<BatchJob> jobs;
  std::optional<TreeToConvert> tree;
  bool create_folders = false;            // a tree's layout: folders are made under the destination
  std::optional<std::size_t> file_count;  // known once counted for the question
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

// What the question before a run names: the drawings it converts, the files it passes over,
// and the outputs that already exist: kept as .BAK, or refused when they are read-only.
struct PlanCount {
  std::size_t files = 0;        // drawings, and files that will fail (those cannot be opened)
  std::size_t passed_over = 0;  // no drawings, by their names or their first bytes
  std::size_t existing_outputs = 0;
  std::size_t read_only_outputs = 0;
  bool stopped = false;  // the count was stopped before its end
  std::size_t Jobs() const { return files + passed_over; }
};
// Walks the plan's files once, keeping none of them, and judges each as the run will.
// `keep_going`, when given, hears how many files were judged after each and stops the count by
// answering false.
PlanCount CountPlan(const ConversionPlan& plan, const FormatRegistry& formats, FileSystem& files,
                    const std::function<bool(std::size_t judged)>& keep_going = {});

// The refusals a conversion and a standards check share, in their order: a folder tree and a
// file list to work on, and something chosen in them (else `nothing_chosen`).
bool CheckSources(bool tree_ready, bool list_ready, bool has_files, std::string_view nothing_chosen,
                  Prompts& prompts);

// The checks in their order, each with its box and beep; true when the run may go on to the
// question.
bool CheckConversion(const ConversionRequest& request, Prompts& prompts);
// The files the request names, once it passed the checks.
ConversionPlan MakePlan(const ConversionRequest& request);

// "「図面」以下の 328 個のファイルを「変換後」に変換します。同じ名前のファイルが 12 個あり、
// .BAK として残します。よろしいですか？", with what the tables will do and what is passed over.
std::string RunQuestion(const ConversionPlan& plan, const PlanCount& count,
                        const ConversionTables& tables);
// What the tables will do to every drawing, when that is worth a word before a run: nothing at
// all (every table 0), or layers that move. Empty otherwise.
std::string TablesEffectText(const ConversionTables& tables);
// Nothing to convert (no drawing selected, or none in a tree): nothing to ask about.
std::string NothingToConvertText(const ConversionPlan& plan, const PlanCount& count);

// An existing output kept under another name by a run.
struct KeptBackup {
  std::filesystem::path output;
  std::filesystem::path backup;
};

struct RunReport {
  bool ran = false;                 // the checks passed and the user said yes
  bool stopped = false;             // "中止" was pressed
  BatchResult result;               // the outcomes that belong in the report, in the files' order
  BatchCounts counts;               // every file's
  std::vector<KeptBackup> backups;  // existing outputs kept as .BAK, in the files' order
  std::vector<std::filesystem::path> unreadable_folders;
};

// Keeps, of a run's outcomes, those the report lists and the backups made, in the files' order:
// a tree of any size costs only what it has to report.
class ReportedOutcomes : public BatchListener {
 public:
  void Finished(std::size_t index, const BatchJob& job, const FileOutcome& outcome) override;
  std::vector<FileOutcome> Take();
  std::vector<KeptBackup> TakeBackups();

 private:
  std::map<std::size_t, FileOutcome> kept_;
  std::map<std::size_t, KeptBackup> backups_;
};

// What the report window lists: the files of the report, then the folders of a tree that could
// not be read (their files were neither converted nor looked at).
std::vector<ReportedFile> ReportedFiles(const RunReport& report);

// "ファイル「source」→「output」変換中です。"
std::string ConvertingStatus(const std::filesystem::path& source,
                             const std::filesystem::path& output);

}  // namespace penmorph::app
