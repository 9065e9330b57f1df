#include "cli/cli_convert.h"

#include <filesystem>

#include "cli/convert_options.h"
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

SourceSelection SelectionOf(const ConvertOptions& options) {
  return {options.recursive, options.types};
}

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
std::optional<std::string> CheckArguments(const ConvertOptions& options,
                                          const fs::path& destination, bool& trees) {
  for (const std::string& file : options.files) {
    const fs::path source = PathFromUtf8(file);
    if (options.recursive && KindOfPath(source) == PathKind::kFolder &&
        IsInsideTree(destination, source)) {
      return "the destination folder " + PathToUtf8(destination) + " lies inside " + file +
             ": its outputs would be converted again";
    }
  }
  return CheckSources(options.files, SelectionOf(options), trees);
}

// `convert --dry-run`: the files read and remapped as a conversion would, nothing written; the
// destination, if given, is not even looked at.
int RunDryRun(const ConvertOptions& options, std::ostream& out, std::ostream& err,
              const FormatRegistry& formats, UsageErrorFunction* usage_error) {
  ConversionTables tables;
  if (options.tables_file && !LoadTablesOption(*options.tables_file, tables, err)) {
    return kExitUsage;
  }
  bool trees = false;
  const SourceSelection selection = SelectionOf(options);
  if (auto problem = CheckSources(options.files, selection, trees)) {
    return usage_error(err, formats, *problem);
  }
  SourceCursor files(options.files, selection, formats);
  const int status = PrintDryRun(files, tables, out, formats);
  ReportUnreadableFolders(files.unreadable(), err);
  return files.unreadable().empty() ? status : kExitFileFailed;
}

}  // namespace

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const FormatRegistry& formats, const CliContext& context,
               UsageErrorFunction* usage_error) {
  ConvertOptions options;
  if (auto problem = ParseConvertOptions(args, formats, options)) {
    return usage_error(err, formats, *problem);
  }
  if (options.dry_run) {
    return RunDryRun(options, out, err, formats, usage_error);
  }
  if (options.destination.empty()) {
    err << "penmorph-cli: the destination folder is empty\n";
    return kExitUsage;
  }
  const fs::path destination = PathFromUtf8(options.destination);
  switch (KindOfPath(destination)) {
    case PathKind::kMissing:
      err << "penmorph-cli: the destination folder " << options.destination << " does not exist\n";
      return kExitUsage;
    case PathKind::kFile:
    case PathKind::kOther:
      err << "penmorph-cli: " << options.destination << " is not a folder\n";
      return kExitUsage;
    case PathKind::kFolder:
      break;
  }

  ConversionTables tables;  // all 0: no conversion
  if (options.tables_file) {
    const fs::path tables_file = PathFromUtf8(*options.tables_file);
    if (KindOfPath(tables_file) != PathKind::kFile) {
      err << "penmorph-cli: cannot read the settings file " << *options.tables_file << "\n";
      return kExitUsage;
    }
    if (Status opened = OpenSettingsFile(tables_file, tables); !opened.ok()) {
      err << "penmorph-cli: " << opened.error().Describe() << "\n";
      return kExitUsage;
    }
  }

  bool trees = false;
  if (auto problem = CheckArguments(options, destination, trees)) {
    return usage_error(err, formats, *problem);
  }
  const SourceSelection selection = SelectionOf(options);
  // A progress line counts down from the number of files, found by a walk of its own: the run's
  // walk keeps no list of them.
  const std::size_t total =
      context.progress ? CountSources(options.files, selection, formats) : std::size_t{0};
  SilentObserver observer;
  RealFileSystem file_system;
  BatchConverter converter(formats, tables, observer, file_system);
  ConvertReport report(out, err, options.json, context.progress, total);
  BatchOptions batch;
  batch.workers = options.jobs.value_or(DefaultWorkers());
  batch.stop = context.stop;
  batch.create_folders = trees;
  ArgumentJobs jobs(options.files, selection, destination, formats);
  const BatchCounts counts = RunBatch(converter, file_system, jobs, batch, report);
  const bool stopped = context.stop != nullptr && context.stop->load();
  report.Close(counts, stopped);
  ReportUnreadableFolders(jobs.unreadable(), err);
  if (stopped) {
    return kExitInterrupted;
  }
  const bool all_listed = jobs.unreadable().empty();
  return counts.failed == 0 && all_listed ? kExitOk : kExitFileFailed;
}

}  // namespace penmorph
