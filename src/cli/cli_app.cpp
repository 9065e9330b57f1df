#include "cli/cli_app.h"

#include <filesystem>
#include <optional>
#include <string_view>

#include "cli/check_command.h"
#include "cli/cli_convert.h"
#include "cli/command_line.h"
#include "cli/preview_commands.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text_decoding.h"
#include "convert/batch_converter.h"
#include "convert/source_file.h"
#include "settings/settings_store.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

int RunInfo(const std::vector<std::string>& files, std::ostream& out,
            const FormatRegistry& formats) {
  bool all_described = true;
  for (const std::string& file : files) {
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
  CommandLine line;
  if (std::optional<int> done = ParseCommandLine(args, formats, line, out, err)) {
    return *done;
  }
  if (line.command == "convert") {
    return RunConvert(line, out, err, formats, context);
  }
  if (line.command == "info") {
    return RunInfo(line.files, out, formats);
  }
  if (line.command == "inventory") {
    return RunInventoryCommand(line, out, err, formats);
  }
  if (line.command == "check") {
    return RunCheckCommand(line, out, err, formats);
  }
  return RunRenderCommand(line, out, err, formats);
}

}  // namespace penmorph
