#include "cli/cli_convert.h"

#include <algorithm>
#include <filesystem>

#include "cli/convert_options.h"
#include "cli/convert_report.h"
#include "cli/preview_commands.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text.h"
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

struct Plan {
  std::vector<BatchJob> jobs;
  std::vector<std::string> shown;  // each file as the report names it
  bool trees = false;              // folders were walked: their layouts need folders made
};

// Files of a tree: those of the types asked for, or of any jw_cad type.
bool WantedInTree(std::string_view name, const ConvertOptions& options,
                  const FormatRegistry& formats) {
  const std::string extension = ToUpperAscii(FileExtension(name));
  if (!options.types.empty()) {
    return std::find(options.types.begin(), options.types.end(), extension) != options.types.end();
  }
  return formats.FindByExtension(extension) != nullptr;
}

// The jobs for the FILE arguments: files as they are, folders (with -r) as their trees. A
// usage error's text when an argument cannot be taken.
std::optional<std::string> PlanJobs(const ConvertOptions& options, const fs::path& destination,
                                    const FormatRegistry& formats, Plan& plan) {
  for (const std::string& file : options.files) {
    const fs::path source = PathFromUtf8(file);
    if (KindOfPath(source) != PathKind::kFolder) {
      plan.jobs.push_back({source, destination / source.filename()});
      plan.shown.push_back(file);
      continue;
    }
    if (!options.recursive) {
      return file + " is a folder: add -r to convert the files of its whole tree";
    }
    if (IsInsideTree(destination, source)) {
      return "the destination folder " + PathToUtf8(destination) + " lies inside " + file +
             ": its outputs would be converted again";
    }
    TreeWalk walk = ListTree(
        source, [&](std::string_view name) { return WantedInTree(name, options, formats); });
    for (TreeFile& found : walk.files) {
      plan.shown.push_back(PathToUtf8(found.source));
      plan.jobs.push_back({std::move(found.source), destination / found.relative});
    }
    plan.trees = true;
  }
  return std::nullopt;
}

// `convert --dry-run`: the files read and remapped as a conversion would, nothing written; the
// destination, if given, is not even looked at.
int RunDryRun(const ConvertOptions& options, std::ostream& out, std::ostream& err,
              const FormatRegistry& formats) {
  ConversionTables tables;
  if (options.tables_file && !LoadTablesOption(*options.tables_file, tables, err)) {
    return kExitUsage;
  }
  return PrintDryRun(options.files, tables, out, formats);
}

}  // namespace

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const FormatRegistry& formats, const CliContext& context,
               int (*usage_error)(std::ostream& err, std::string_view message)) {
  ConvertOptions options;
  if (auto problem = ParseConvertOptions(args, options)) {
    return usage_error(err, *problem);
  }
  if (options.dry_run) {
    return RunDryRun(options, out, err, formats);
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

  Plan plan;
  if (auto problem = PlanJobs(options, destination, formats, plan)) {
    return usage_error(err, *problem);
  }
  SilentObserver observer;
  RealFileSystem file_system;
  BatchConverter converter(formats, tables, observer, file_system);
  ConvertReport report(out, err, plan.jobs, std::move(plan.shown), options.json, context.progress);
  BatchOptions batch;
  batch.workers = options.jobs.value_or(DefaultWorkers());
  batch.stop = context.stop;
  batch.create_folders = plan.trees;
  const BatchResult result = RunBatch(converter, file_system, plan.jobs, batch, report);
  const bool stopped = context.stop != nullptr && context.stop->load();
  report.Close(result, stopped);
  if (stopped) {
    return kExitInterrupted;
  }
  return result.Count(OutcomeKind::kFailed) == 0 ? kExitOk : kExitFileFailed;
}

}  // namespace penmorph
