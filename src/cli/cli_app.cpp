#include "cli/cli_app.h"

#include "cli/reason_text.h"

#include <filesystem>
#include <optional>
#include <sstream>
#include <string_view>

#include "cli/check_command.h"
#include "cli/cli_convert.h"
#include "cli/command_line.h"
#include "cli/preview_commands.h"
#include "cli/survey_command.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text_decoding.h"
#include "convert/batch_converter.h"
#include "convert/source_file.h"
#include "settings/settings_store.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

std::string LayerStateWord(std::int32_t state) {
  switch (state) {
    case 0:
      return "hidden";
    case 1:
      return "shown";
    case 2:
      return "editable";
    case 3:
      return "being written";
  }
  return "state " + std::to_string(state);
}

// "group 0 平面図 (editable, scale 1/100): 12 entities, 3 block members"
std::string LayerLine(const LayerDescription& layer) {
  std::ostringstream line;
  line << (layer.scale ? "group " : "  layer ") << layer.address;
  if (!layer.name.empty()) {
    line << " " << layer.name;
  }
  line << " (" << LayerStateWord(layer.state);
  if (layer.scale) {
    line << ", scale 1/" << *layer.scale;
  }
  line << ")";
  const char* separator = ": ";
  if (layer.entities > 0) {
    line << separator << layer.entities << " entities";
    separator = ", ";
  }
  if (layer.block_members > 0) {
    line << separator << layer.block_members << " block members";
  }
  return line.str();
}

// The file's details keep their English names in every language; why a file is not described
// follows `language`, in the window's words.
int RunInfo(const std::vector<std::string>& files, std::ostream& out, const FormatRegistry& formats,
            Language language) {
  const bool japanese = language == Language::kJapanese;
  bool all_described = true;
  for (const std::string& file : files) {
    const fs::path path = PathFromUtf8(file);
    const FileFormat* format = formats.FindForFile(PathToUtf8(path.filename()));
    if (format == nullptr) {
      out << file << ": "
          << Say(language, "not a jw_cad file type", "jw_cadのファイルの種類ではありません")
          << "\n";
      all_described = false;
      continue;
    }
    auto in = ByteReader::OpenFile(path);
    if (!in.ok() || !HasSignature(*format, in.value())) {
      out << file << ": "
          << (japanese ? std::string(format->Name()) + "ファイルとして認識できません"
                       : "not a " + std::string(format->Name()) + " file")
          << "\n";
      all_described = false;
      continue;
    }
    auto description = format->Describe(in.value());
    if (!description.ok()) {
      out << file << ": " << Say(language, "cannot read: ", "読み込めません：")
          << FailureText(description.error(), language) << "\n";
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
    if (!info.layers.empty()) {
      out << "  layers:\n";
    }
    for (const LayerDescription& layer : info.layers) {
      out << "    " << LayerLine(layer) << "\n";
    }
  }
  return all_described ? kExitOk : kExitFileFailed;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const FormatRegistry& formats, const CliContext& context) {
  CommandLine line;
  if (std::optional<int> done = ParseCommandLine(args, formats, line, out, err, context.language)) {
    return *done;
  }
  if (line.command == "convert") {
    return RunConvert(line, out, err, formats, context);
  }
  if (line.command == "info") {
    return RunInfo(line.files, out, formats, line.language);
  }
  if (line.command == "inventory") {
    return RunInventoryCommand(line, out, err, formats);
  }
  if (line.command == "survey") {
    return RunSurveyCommand(line, out, err, formats);
  }
  if (line.command == "check") {
    return RunCheckCommand(line, out, err, formats);
  }
  return RunRenderCommand(line, out, err, formats);
}

}  // namespace penmorph
