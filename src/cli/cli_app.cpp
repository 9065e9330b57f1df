#include "cli/cli_app.h"

#include "cli/cli_convert.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

#include "cli/preview_commands.h"
#include "cli/source_arguments.h"
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

// The usage; {TYPES} and {FORMATS} stand for the registry's formats.
constexpr std::string_view kUsage =
    "Usage:\n"
    "  penmorph-cli convert --dest DIR [--settings FILE | --ini FILE] [-r] [-j N]\n"
    "                       [--type {TYPES}] [--json] FILE|FOLDER...\n"
    "  penmorph-cli convert --dry-run [--settings FILE | --ini FILE] [-r] [--type LIST]\n"
    "                       FILE|FOLDER...\n"
    "  penmorph-cli info FILE...\n"
    "  penmorph-cli inventory [--settings FILE | --ini FILE] [-r] [--type LIST] [--json]\n"
    "                         FILE|FOLDER...\n"
    "  penmorph-cli render [--settings FILE | --ini FILE] [--after] [--black] FILE --out SVG\n"
    "  penmorph-cli --help | --version\n"
    "\n"
    "convert  writes a converted copy of each jw_cad file ({FORMATS}) into DIR,\n"
    "         remapping pens and line types through the tables of a settings (.set) or\n"
    "         ini file (all tables 0, no conversion, without one). An existing output is\n"
    "         kept as NAME.BAK. Prints one line per FILE and a summary.\n"
    "  -r, --recursive   a FOLDER converts the jw_cad files of its whole tree, each to the\n"
    "                    same place under DIR (hidden entries and links to folders passed over)\n"
    "  --type LIST       in a tree, only files of these types\n"
    "  -j, --jobs N      N files at once (default: one per processor); the same outputs and\n"
    "                    lines, in the same order, as one at a time\n"
    "  --json            a JSON object per file (source, destination, outcome, reason,\n"
    "                    bytes written, milliseconds) and one for the summary\n"
    "  --dry-run         reads and remaps each FILE, writes nothing and prints how many\n"
    "                    entities the tables would change (no --dest needed)\n"
    "info     prints the format, version, memo and record counts of each file.\n"
    "inventory  prints, per file and in total, how many entities use each pen colour and\n"
    "         line type, by kind, before and after the tables (--json: as JSON); with -r\n"
    "         a FOLDER stands for the files of its whole tree, as in convert.\n"
    "render   draws FILE as an SVG picture, as it is or (--after) as the tables would write\n"
    "         it, on white or (--black) black.\n"
    "\n"
    "Exit status: 0 success, 1 a file failed, 2 usage error or unusable DIR,\n"
    "130 stopped by Ctrl+C (after the files in hand, each complete or untouched).\n";

std::string Usage(const FormatRegistry& formats) {
  std::string types;
  for (const std::string& name : TypeNames(formats)) {
    types += (types.empty() ? "" : ",") + name;
  }
  std::string usage(kUsage);
  for (const auto& [mark, text] : {std::pair<std::string_view, std::string>{"{TYPES}", types},
                                   {"{FORMATS}", FormatNames(formats, ", ")}}) {
    usage.replace(usage.find(mark), mark.size(), text);
  }
  return usage;
}

int UsageError(std::ostream& err, const FormatRegistry& formats, std::string_view message) {
  err << "penmorph-cli: " << message << "\n" << Usage(formats);
  return kExitUsage;
}

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            const FormatRegistry& formats) {
  if (args.size() < 2) {
    return UsageError(err, formats, "info needs at least one FILE");
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
    if (format->Traits().has_memo) {
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
           const FormatRegistry& formats, const CliContext& context) {
  if (args.empty()) {
    return UsageError(err, formats, "no command given");
  }
  const std::string& command = args[0];
  for (const std::string& arg : args) {
    if (arg == "--") {
      break;
    }
    if (arg == "--help" || arg == "-h") {
      out << Usage(formats);
      return kExitOk;
    }
  }
  if (command == "help") {
    out << Usage(formats);
    return kExitOk;
  }
  if (command == "--version") {
    out << "penmorph-cli " << PENMORPH_VERSION << "\n";
    return kExitOk;
  }
  if (command == "convert") {
    return RunConvert(args, out, err, formats, context, &UsageError);
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
  return UsageError(err, formats, "unknown command " + command);
}

}  // namespace penmorph
