#include "cli/cli_convert.h"

#include <filesystem>

#include "cli/convert_report.h"
#include "cli/preview_commands.h"
#include "cli/source_arguments.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "convert/batch_runner.h"
#include "convert/source_tree.h"
#include "settings/settings_store.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// The command line shows no status: its report is what it prints.
class SilentObserver : public ConversionObserver {
 public:
  void Converting(const fs::path&, const fs::path&) override {}
};

// The files of the FILE arguments, each to its place under the destination, found as the
// workers ask for them.
class ArgumentJobs : public JobSource {
 public:
  ArgumentJobs(const std::vector<std::string>& files, const SourceSelection& selection,
               const fs::path& destination, const FormatRegistry& formats)
      : destination_(destination), cursor_(files, selection, formats) {}

  std::optional<BatchJob> Next() override {
    std::optional<SourceFile> file = cursor_.Next();
    if (!file) {
      return std::nullopt;
    }
    return BatchJob{std::move(file->source), destination_ / file->relative, std::move(file->shown)};
  }
  const std::vector<std::string>& unreadable() const { return cursor_.unreadable(); }

 private:
  const fs::path& destination_;
  SourceCursor cursor_;
};

// A usage error's text when the FILE arguments cannot be taken; `trees` tells whether a folder
// is among them.
std::optional<std::string> CheckArguments(const CommandLine& line, const fs::path& destination,
                                          bool& trees) {
  for (const std::string& file : line.files) {
    const fs::path source = PathFromUtf8(file);
    if (line.selection.recursive && KindOfPath(source) == PathKind::kFolder &&
        IsInsideTree(destination, source)) {
      return line.language == Language::kJapanese
                 ? "保存先フォルダ " + PathToUtf8(destination) + " が " + file +
                       " の中にあります。書き出したファイルがまた変換されてしまいます"
                 : "the destination folder " + PathToUtf8(destination) + " lies inside " + file +
                       ": its outputs would be converted again";
    }
  }
  return CheckSources(line.files, line.selection, trees, line.language);
}

// `convert --dry-run`: the files read and remapped as a conversion would, nothing written; the
// destination, if given, is not even looked at.
int RunDryRun(const CommandLine& line, std::ostream& out, std::ostream& err,
              const FormatRegistry& formats) {
  return ReadEachSource(
      line, out, err, formats,
      [](SourceCursor& files, const ConversionTables& tables, const CommandLine& line,
         std::ostream& out, const FormatRegistry& formats) {
        return PrintDryRun(files, tables, out, formats, line.language);
      });
}

}  // namespace

int RunConvert(const CommandLine& line, std::ostream& out, std::ostream& err,
               const FormatRegistry& formats, const CliContext& context) {
  if (line.dry_run) {
    return RunDryRun(line, out, err, formats);
  }
  const Language language = line.language;
  const bool japanese = language == Language::kJapanese;
  const std::string& destination_text = *line.destination;
  if (destination_text.empty()) {
    err << "penmorph-cli: "
        << Say(language, "the destination folder is empty", "保存先フォルダが空です") << "\n";
    return kExitUsage;
  }
  const fs::path destination = PathFromUtf8(destination_text);
  switch (KindOfPath(destination)) {
    case PathKind::kMissing:
      err << "penmorph-cli: "
          << (japanese ? "保存先フォルダ " + destination_text + " がありません"
                       : "the destination folder " + destination_text + " does not exist")
          << "\n";
      return kExitUsage;
    case PathKind::kFile:
    case PathKind::kOther:
      err << "penmorph-cli: " << destination_text
          << Say(language, " is not a folder", " はフォルダではありません") << "\n";
      return kExitUsage;
    case PathKind::kFolder:
      break;
  }

  ConversionTables tables;  // all 0: no conversion
  if (line.tables_file && !LoadTablesOption(*line.tables_file, tables, err, language)) {
    return kExitUsage;
  }

  bool trees = false;
  if (auto problem = CheckArguments(line, destination, trees)) {
    return UsageError(err, language, line.command, *problem);
  }
  const SourceSelection& selection = line.selection;
  // A progress line counts down from the number of files, found by a walk of its own: the run's
  // walk keeps no list of them.
  const std::size_t total =
      context.progress ? CountSources(line.files, selection, formats) : std::size_t{0};
  SilentObserver observer;
  RealFileSystem file_system;
  BatchConverter converter(formats, tables, observer, file_system);
  ConvertReport report(out, err, line.json, context.progress, total, language);
  BatchOptions batch;
  batch.workers = line.jobs.value_or(DefaultWorkers());
  batch.stop = context.stop;
  batch.create_folders = trees;
  ArgumentJobs jobs(line.files, selection, destination, formats);
  const BatchCounts counts = RunBatch(converter, file_system, jobs, batch, report);
  const bool stopped = context.stop != nullptr && context.stop->load();
  report.Close(counts, stopped);
  ReportUnreadableFolders(jobs.unreadable(), err, language);
  if (stopped) {
    return kExitInterrupted;
  }
  const bool all_listed = jobs.unreadable().empty();
  return counts.failed == 0 && all_listed ? kExitOk : kExitFileFailed;
}

}  // namespace penmorph
