#include "cli/preview_commands.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <optional>
#include <set>
#include <sstream>

#include "cli/cli_app.h"
#include "cli/source_arguments.h"
#include "common/file_system.h"
#include "common/path_text.h"
#include "convert/file_preview.h"
#include "preview/svg_writer.h"
#include "settings/settings_store.h"

namespace penmorph {

namespace fs = std::filesystem;
using preview::CodeCounts;
using preview::CodeFamily;
using preview::Inventory;
using preview::kInventoryColumnCount;
using preview::kInventoryColumnNames;

namespace {

// Short column heads for the table; the JSON uses the full names.
constexpr std::array<std::string_view, kInventoryColumnCount> kShortHeads = {
    "lines",  "arcs",   "points", "texts",  "dim.ln",
    "dim.tx", "dim.pt", "solids", "blocks", "members"};

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + "\"";
}

// The codes of either side, in order.
std::set<int> CodesOf(const CodeCounts& before, const CodeCounts& after) {
  std::set<int> codes;
  for (const auto& [code, counts] : before.rows()) {
    codes.insert(code);
  }
  for (const auto& [code, counts] : after.rows()) {
    codes.insert(code);
  }
  return codes;
}

void PrintCodeTable(std::ostream& out, std::string_view head, const CodeCounts& before,
                    const CodeCounts& after, std::string (*label)(CodeFamily, int),
                    CodeFamily family) {
  const std::set<int> codes = CodesOf(before, after);
  if (codes.empty()) {
    return;
  }
  out << "  " << std::left << std::setw(10) << head << std::right;
  for (std::string_view name : kShortHeads) {
    out << std::setw(8) << name;
  }
  out << std::setw(9) << "total" << std::setw(9) << "after"
      << "\n";
  for (int code : codes) {
    out << "  " << std::left << std::setw(10) << label(family, code) << std::right;
    for (std::size_t i = 0; i < kInventoryColumnCount; ++i) {
      out << std::setw(8) << before.Count(code, static_cast<preview::InventoryColumn>(i));
    }
    out << std::setw(9) << before.Total(code) << std::setw(9) << after.Total(code) << "\n";
  }
}

void PrintInventory(std::ostream& out, const Inventory& inventory) {
  out << "  " << inventory.format;
  if (!inventory.version.empty()) {
    out << " version " << inventory.version;
  }
  out << ": " << inventory.entities << " entities";
  if (inventory.block_definitions > 0) {
    out << " (with " << inventory.block_definitions << " block definitions)";
  }
  out << ", " << inventory.changed << " changed by the tables";
  if (!inventory.settings.empty()) {
    out << ", " << inventory.ChangedSettings() << " of " << inventory.settings.size()
        << " settings";
  }
  out << "\n";
  const CodeFamily family = inventory.family;
  PrintCodeTable(out, family == CodeFamily::kDos ? "pen" : "colour", inventory.before.colors,
                 inventory.after.colors, &preview::ColorLabel, family);
  PrintCodeTable(out, "line type", inventory.before.line_types, inventory.after.line_types,
                 &preview::LineTypeLabel, family);
  for (const preview::SettingColor& setting : inventory.settings) {
    out << "  " << setting.name << ": " << setting.before;
    if (setting.after != setting.before) {
      out << " -> " << setting.after;
    }
    out << "\n";
  }
}

void JsonCodes(std::ostream& out, const CodeCounts& counts, std::string (*label)(CodeFamily, int),
               CodeFamily family) {
  out << "[";
  bool first = true;
  for (const auto& [code, columns] : counts.rows()) {
    out << (first ? "" : ",") << "{\"code\":" << code
        << ",\"label\":" << JsonString(label(family, code)) << ",\"total\":" << counts.Total(code)
        << ",\"counts\":{";
    for (std::size_t i = 0; i < kInventoryColumnCount; ++i) {
      out << (i ? "," : "") << JsonString(kInventoryColumnNames[i]) << ":" << columns[i];
    }
    out << "}}";
    first = false;
  }
  out << "]";
}

void JsonSide(std::ostream& out, const preview::InventorySide& side, CodeFamily family) {
  out << "{\"colors\":";
  JsonCodes(out, side.colors, &preview::ColorLabel, family);
  out << ",\"line_types\":";
  JsonCodes(out, side.line_types, &preview::LineTypeLabel, family);
  out << "}";
}

void JsonInventory(std::ostream& out, const Inventory& inventory) {
  out << "\"format\":" << JsonString(inventory.format)
      << ",\"version\":" << JsonString(inventory.version) << ",\"entities\":" << inventory.entities
      << ",\"block_definitions\":" << inventory.block_definitions
      << ",\"changed\":" << inventory.changed << ",\"before\":";
  JsonSide(out, inventory.before, inventory.family);
  out << ",\"after\":";
  JsonSide(out, inventory.after, inventory.family);
  out << ",\"settings\":[";
  for (std::size_t i = 0; i < inventory.settings.size(); ++i) {
    const preview::SettingColor& s = inventory.settings[i];
    out << (i ? "," : "") << "{\"name\":" << JsonString(s.name) << ",\"before\":" << s.before
        << ",\"after\":" << s.after << "}";
  }
  out << "]";
}

// Options shared by the commands: the tables file, and flags the command names.
struct PreviewOptions {
  std::optional<std::string> tables_file;
  std::optional<std::string> out_file;
  std::set<std::string> flags;
  SourceSelection selection;  // -r and --type, for the commands that take folders
  std::vector<std::string> files;
};

std::optional<std::string> ParseOptions(const std::vector<std::string>& args,
                                        const FormatRegistry& formats,
                                        const std::set<std::string>& known_flags, bool takes_out,
                                        bool takes_folders, PreviewOptions& options) {
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
    if (known_flags.count(arg) != 0) {
      options.flags.insert(arg);
      continue;
    }
    if (takes_folders && (arg == "-r" || arg == "--recursive")) {
      options.selection.recursive = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (auto equals = arg.find('='); equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    }
    const bool is_out = takes_out && name == "--out";
    const bool is_type = takes_folders && name == "--type";
    if (name != "--settings" && name != "--ini" && !is_out && !is_type) {
      return "unknown option " + arg;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        return name + " needs a value";
      }
      value = args[++i];
    }
    if (is_type) {
      if (auto problem = ParseTypeList(*value, formats, options.selection.types)) {
        return problem;
      }
      continue;
    }
    std::optional<std::string>& target = is_out ? options.out_file : options.tables_file;
    if (target) {
      return is_out ? "--out given twice" : "give one of --settings and --ini, once";
    }
    target = *value;
  }
  if (options.files.empty()) {
    return args[0] + " needs at least one FILE";
  }
  return std::nullopt;
}

int Usage(std::ostream& err, const std::string& problem) {
  err << "penmorph-cli: " << problem << "\n(penmorph-cli --help shows the usage)\n";
  return kExitUsage;
}

}  // namespace

bool LoadTablesOption(const std::string& file, ConversionTables& tables, std::ostream& err) {
  const fs::path path = PathFromUtf8(file);
  if (KindOfPath(path) != PathKind::kFile) {
    err << "penmorph-cli: cannot read the settings file " << file << "\n";
    return false;
  }
  if (Status opened = OpenSettingsFile(path, tables); !opened.ok()) {
    err << "penmorph-cli: " << opened.error().Describe() << "\n";
    return false;
  }
  return true;
}

int PrintInventories(SourceCursor& files, const ConversionTables& tables, bool json,
                     std::ostream& out, const FormatRegistry& formats) {
  std::map<CodeFamily, Inventory> totals;
  std::vector<std::pair<std::string, std::string>> failures;
  if (json) {
    out << "{\"files\":[";
  }
  bool first = true;
  while (std::optional<SourceFile> found = files.Next()) {
    const std::string& file = found->shown;
    auto inventory = InventoryOfFile(formats, found->source, tables);
    if (!inventory.ok()) {
      failures.emplace_back(file, inventory.error().Describe());
      if (!json) {
        out << "failed " << file << ": " << inventory.error().Describe() << "\n";
      }
      continue;
    }
    Inventory& total = totals[inventory->family];
    total.family = inventory->family;
    total.format = FormatNames(formats, "/", inventory->family);
    total.Merge(inventory.value());
    if (json) {
      out << (first ? "" : ",") << "{\"file\":" << JsonString(file) << ",";
      JsonInventory(out, inventory.value());
      out << "}";
      first = false;
    } else {
      out << file << "\n";
      PrintInventory(out, inventory.value());
    }
  }
  if (json) {
    out << "],\"totals\":[";
    first = true;
    for (const auto& [family, total] : totals) {
      out << (first ? "" : ",") << "{";
      JsonInventory(out, total);
      out << "}";
      first = false;
    }
    out << "],\"failed\":[";
    for (std::size_t i = 0; i < failures.size(); ++i) {
      out << (i ? "," : "") << "{\"file\":" << JsonString(failures[i].first)
          << ",\"reason\":" << JsonString(failures[i].second) << "}";
    }
    out << "]}\n";
  } else {
    for (const auto& [family, total] : totals) {
      out << "total of " << total.format << " files\n";
      PrintInventory(out, total);
    }
  }
  out.flush();
  return failures.empty() ? kExitOk : kExitFileFailed;
}

int PrintDryRun(SourceCursor& files, const ConversionTables& tables, std::ostream& out,
                const FormatRegistry& formats) {
  std::size_t read = 0;
  std::size_t failed = 0;
  std::uint64_t changed = 0;
  while (std::optional<SourceFile> found = files.Next()) {
    const std::string& file = found->shown;
    auto inventory = InventoryOfFile(formats, found->source, tables);
    if (!inventory.ok()) {
      out << "failed " << file << ": " << inventory.error().Describe() << "\n";
      ++failed;
      continue;
    }
    ++read;
    changed += inventory->changed;
    out << "would change " << file << ": " << inventory->changed << " of " << inventory->entities
        << " entities";
    if (!inventory->settings.empty()) {
      out << ", " << inventory->ChangedSettings() << " of " << inventory->settings.size()
          << " settings";
    }
    out << "\n";
    out.flush();
  }
  out << read << " read, " << failed << " failed, " << changed
      << " entities would change; nothing was written\n";
  out.flush();
  return failed == 0 ? kExitOk : kExitFileFailed;
}

int RunInventoryCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                        const FormatRegistry& formats) {
  PreviewOptions options;
  if (auto problem = ParseOptions(args, formats, {"--json"}, false, true, options)) {
    return Usage(err, *problem);
  }
  ConversionTables tables;
  if (options.tables_file && !LoadTablesOption(*options.tables_file, tables, err)) {
    return kExitUsage;
  }
  bool trees = false;
  if (auto problem = CheckSources(options.files, options.selection, trees)) {
    return Usage(err, *problem);
  }
  SourceCursor files(options.files, options.selection, formats);
  const int status =
      PrintInventories(files, tables, options.flags.count("--json") != 0, out, formats);
  ReportUnreadableFolders(files.unreadable(), err);
  return files.unreadable().empty() ? status : kExitFileFailed;
}

int RunRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                     const FormatRegistry& formats) {
  PreviewOptions options;
  if (auto problem = ParseOptions(args, formats, {"--after", "--black"}, true, false, options)) {
    return Usage(err, *problem);
  }
  if (options.files.size() != 1) {
    return Usage(err, "render takes one FILE");
  }
  if (!options.out_file || options.out_file->empty()) {
    return Usage(err, "render needs --out FILE.svg");
  }
  ConversionTables tables;
  if (options.tables_file && !LoadTablesOption(*options.tables_file, tables, err)) {
    return kExitUsage;
  }
  const std::string& file = options.files.front();
  auto drawing = DrawFile(formats, PathFromUtf8(file));
  if (!drawing.ok()) {
    out << "failed " << file << ": " << drawing.error().Describe() << "\n";
    return kExitFileFailed;
  }
  const preview::DisplayList list = preview::MakeDisplayList(
      drawing.value(), tables,
      options.flags.count("--after") ? preview::Side::kAfter : preview::Side::kBefore,
      options.flags.count("--black") ? preview::Background::kBlack : preview::Background::kWhite);
  std::ostringstream svg;
  preview::WriteSvg(svg, list);
  std::ofstream written(PathFromUtf8(*options.out_file), std::ios::binary | std::ios::trunc);
  written << svg.str();
  written.close();
  if (!written) {
    err << "penmorph-cli: cannot write " << *options.out_file << "\n";
    return kExitFileFailed;
  }
  out << "rendered " << file << " -> " << *options.out_file << ": "
      << drawing.value()->PrimitiveCount() << " primitives\n";
  return kExitOk;
}

}  // namespace penmorph
