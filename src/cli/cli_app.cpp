#include "cli/cli_app.h"

#include <filesystem>
#include <optional>
#include <string_view>

#include "cli/preview_commands.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text_decoding.h"
#include "convert/batch_converter.h"
#include "convert/source_file.h"
#include "settings/settings_store.h"

#ifndef PENMORPH_VERSION
#define PENMORPH_VERSION "dev"
#endif

namespace penmorph {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsage =
    "Usage:\n"
    "  penmorph-cli convert --dest DIR [--settings FILE | --ini FILE] FILE...\n"
    "  penmorph-cli convert --dry-run [--settings FILE | --ini FILE] FILE...\n"
    "  penmorph-cli info FILE...\n"
    "  penmorph-cli inventory [--settings FILE | --ini FILE] [--json] FILE...\n"
    "  penmorph-cli render [--settings FILE | --ini FILE] [--after] [--black] FILE --out SVG\n"
    "  penmorph-cli --help | --version\n"
    "\n"
    "convert  writes a converted copy of each jw_cad file (JWW, JWS, JWC, JWK) into DIR,\n"
    "         remapping pens and line types through the tables of a settings (.set) or\n"
    "         ini file (all tables 0, no conversion, without one). An existing output is\n"
    "         kept as NAME.BAK. Prints one line per FILE and a summary.\n"
    "         --dry-run reads and remaps each file, writes nothing and prints how many\n"
    "         entities the tables would change.\n"
    "info     prints the format, version, memo and record counts of each file.\n"
    "inventory  prints, per file and in total, how many entities use each pen colour and\n"
    "         line type, by kind, before and after the tables (--json: as JSON).\n"
    "render   draws FILE as an SVG picture, as it is or (--after) as the tables would write\n"
    "         it, on white or (--black) black.\n"
    "\n"
    "Exit status: 0 success, 1 a file failed, 2 usage error or unusable DIR,\n"
    "130 stopped by Ctrl+C (after the file in hand).\n";

// The command line shows no status: its report is what it prints.
class SilentUi : public ConversionObserver {
 public:
  void Converting(const fs::path&, const fs::path&) override {}
};

int UsageError(std::ostream& err, std::string_view message) {
  err << "penmorph-cli: " << message << "\n" << kUsage;
  return kExitUsage;
}

struct ConvertOptions {
  std::string destination;
  bool has_destination = false;
  std::optional<std::string> tables_file;
  std::vector<std::string> files;
  bool dry_run = false;
};

// Parses what follows "convert"; returns an error text on a usage error.
std::optional<std::string> ParseConvert(const std::vector<std::string>& args,
                                        ConvertOptions& options) {
  bool options_done = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      options.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    if (arg == "--dry-run") {
      options.dry_run = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (auto equals = arg.find('='); equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    if (name != "--dest" && name != "--settings" && name != "--ini") {
      return "unknown option " + arg;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        return name + " needs a value";
      }
      value = args[++i];
    }
    if (name == "--dest") {
      if (options.has_destination) {
        return "--dest given twice";
      }
      options.destination = *value;
      options.has_destination = true;
    } else {
      if (options.tables_file) {
        return "give one of --settings and --ini, once";
      }
      options.tables_file = *value;
    }
  }
  if (!options.has_destination && !options.dry_run) {
    return "convert needs --dest DIR";
  }
  if (options.files.empty()) {
    return "convert needs at least one FILE";
  }
  return std::nullopt;
}

// `convert --dry-run`: the destination, if given, is not even looked at.
int RunDryRun(const ConvertOptions& options, std::ostream& out, std::ostream& err,
              const FormatRegistry& formats) {
  ConversionTables tables;
  if (options.tables_file && !LoadTablesOption(*options.tables_file, tables, err)) {
    return kExitUsage;
  }
  return PrintDryRun(options.files, tables, out, formats);
}

int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const FormatRegistry& formats, const StopRequested& stop_requested) {
  ConvertOptions options;
  if (auto problem = ParseConvert(args, options)) {
    return UsageError(err, *problem);
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

  SilentUi ui;
  RealFileSystem file_system;
  BatchConverter converter(formats, tables, ui, file_system);
  BatchResult result;
  bool stopped = false;
  for (const std::string& file : options.files) {
    if (stop_requested && stop_requested()) {
      stopped = true;
      break;
    }
    const fs::path source = PathFromUtf8(file);
    const fs::path output = destination / source.filename();
    FileOutcome outcome = converter.ConvertFile(source, output);
    switch (outcome.kind) {
      case OutcomeKind::kConverted:
        out << "converted " << file << " -> " << PathToUtf8(output) << "\n";
        break;
      case OutcomeKind::kSkipped:
        out << "skipped " << file << ": " << outcome.reason << "\n";
        break;
      case OutcomeKind::kFailed:
        out << "failed " << file << ": " << outcome.reason << "\n";
        break;
    }
    out.flush();  // a line per file as it ends, also into a pipe
    result.outcomes.push_back(std::move(outcome));
  }
  std::size_t failed = result.Count(OutcomeKind::kFailed);
  out << result.Count(OutcomeKind::kConverted) << " converted, "
      << result.Count(OutcomeKind::kSkipped) << " skipped, " << failed << " failed\n";
  out.flush();
  if (stopped) {
    err << "penmorph-cli: stopped; " << options.files.size() - result.outcomes.size() << " of "
        << options.files.size() << " files were not looked at\n";
    return kExitInterrupted;
  }
  return failed == 0 ? kExitOk : kExitFileFailed;
}

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const FormatRegistry& formats) {
  if (args.size() < 2) {
    return UsageError(err, "info needs at least one FILE");
  }
  bool all_described = true;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& file = args[i];
    const fs::path path = PathFromUtf8(file);
    const FileFormat* format = formats.FindForFile(PathToUtf8(path.filename()));
    if (format == nullptr) {
      out << file << ": not a jw_cad file type\n";
      all_described = false;
      continue;
    }
    auto in = ByteReader::OpenFile(path);
    if (!in.ok() || !HasSignature(*format, in.value())) {
      out << file << ": not a " << format->Name() << " file\n";
      all_described = false;
      continue;
    }
    auto description = format->Describe(in.value());
    if (!description.ok()) {
      out << file << ": cannot read: " << description.error().Describe() << "\n";
      all_described = false;
      continue;
    }
    const FileDescription& info = description.value();
    out << file << "\n";
    out << "  format: " << info.format << "\n";
    if (!info.version.empty()) {
      out << "  version: " << info.version << "\n";
    }
    if (info.has_memo) {
      out << "  memo: " << (info.memo_is_utf8 ? info.memo : ShiftJisToUtf8(info.memo)) << "\n";
    }
    for (const auto& [what, count] : info.counts) {
      out << "  " << what << ": " << count << "\n";
    }
    for (const std::string& line : info.details) {
      out << "  " << line << "\n";
    }
  }
  return all_described ? kExitOk : kExitFileFailed;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const FormatRegistry& formats, const StopRequested& stop_requested) {
  if (args.empty()) {
    return UsageError(err, "no command given");
  }
  const std::string& command = args[0];
  for (const std::string& arg : args) {
    if (arg == "--") {
      break;
    }
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return kExitOk;
    }
  }
  if (command == "help") {
    out << kUsage;
    return kExitOk;
  }
  if (command == "--version") {
    out << "penmorph-cli " << PENMORPH_VERSION << "\n";
    return kExitOk;
  }
  if (command == "convert") {
    return RunConvert(args, out, err, formats, stop_requested);
  }
  if (command == "info") {
    return RunInfo(args, out, err, formats);
  }
  if (command == "inventory") {
    return RunInventoryCommand(args, out, err, formats);
  }
  if (command == "render") {
    return RunRenderCommand(args, out, err, formats);
  }
  return UsageError(err, "unknown command " + command);
}

}  // namespace penmorph
