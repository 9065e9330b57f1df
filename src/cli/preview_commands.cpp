#include "cli/preview_commands.h"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <optional>
#include <set>
#include <sstream>

#include "app/standards_check.h"
#include "cli/cli_app.h"
#include "cli/command_line.h"
#include "cli/json_output.h"
#include "cli/reason_text.h"
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

// What the tables change besides entities' codes, after the count of changed entities.
void PrintChangeCounts(std::ostream& out, const Inventory& inventory, Language language) {
  if (language == Language::kJapanese) {
    if (!inventory.settings.empty()) {
      out << "、設定 " << inventory.settings.size() << " 個のうち " << inventory.ChangedSettings()
          << " 個";
    }
    if (inventory.moved > 0) {
      out << "、別のレイヤに移る図形 " << inventory.moved << " 個";
    }
    if (inventory.moved_block_definitions > 0) {
      out << "、レイヤが変わるブロック定義 " << inventory.moved_block_definitions << " 個";
    }
    if (inventory.renamed > 0) {
      out << "、変わる名前 " << inventory.renamed << " 個";
    }
    return;
  }
  if (!inventory.settings.empty()) {
    out << ", " << inventory.ChangedSettings() << " of " << inventory.settings.size()
        << " settings";
  }
  if (inventory.moved > 0) {
    out << ", " << inventory.moved << " moved to other layers";
  }
  if (inventory.moved_block_definitions > 0) {
    out << ", " << inventory.moved_block_definitions << " block definitions moved";
  }
  if (inventory.renamed > 0) {
    out << ", " << inventory.renamed << " names changed";
  }
}

// jw_cad's layer states as the command line names them.
std::string StateWord(const preview::LayerSheet& sheet, int index) {
  static constexpr std::string_view kWords[] = {"hidden", "shown", "editable", "written"};
  const std::int32_t state = sheet.states[static_cast<std::size_t>(index)];
  std::string word =
      state >= 0 && state < 4 ? std::string(kWords[state]) : "state " + std::to_string(state);
  if (sheet.group_states[static_cast<std::size_t>(index / kLayersPerGroup)] ==
      preview::kHiddenState) {
    word += ", group hidden";
  }
  return word;
}

// One line per layer in use on either side: its name and state, and its count before and after.
void PrintLayers(std::ostream& out, const Inventory& inventory) {
  const std::set<int> layers = CodesOf(inventory.before.layers, inventory.after.layers);
  if (layers.empty()) {
    return;
  }
  out << "  layers:\n";
  const preview::LayerSheet& before = inventory.before.sheet;
  const preview::LayerSheet& after = inventory.after.sheet;
  for (int index : layers) {
    out << "    " << preview::LayerLabel(index);
    if (before.known && index < kLayerCount) {
      if (!before.names[index].empty() || !after.names[index].empty()) {
        out << " \"" << before.names[index] << "\"";
      }
      if (after.names[index] != before.names[index]) {
        out << " -> \"" << after.names[index] << "\"";
      }
      out << " (" << StateWord(before, index) << ")";
    }
    out << ": " << inventory.before.layers.Total(index) << " -> "
        << inventory.after.layers.Total(index) << "\n";
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
  PrintChangeCounts(out, inventory, Language::kEnglish);
  out << "\n";
  if (inventory.moved_to_hidden > 0) {
    out << "  " << MovedToHiddenLine(inventory.moved_to_hidden) << "\n";
  }
  const CodeFamily family = inventory.family;
  PrintCodeTable(out, family == CodeFamily::kDos ? "pen" : "colour", inventory.before.colors,
                 inventory.after.colors, &preview::ColorLabel, family);
  PrintCodeTable(out, "line type", inventory.before.line_types, inventory.after.line_types,
                 &preview::LineTypeLabel, family);
  PrintLayers(out, inventory);
  for (const std::string& line : NameRuleLines(inventory)) {
    out << "  " << line << "\n";
  }
  for (const preview::SettingColor& setting : inventory.settings) {
    out << "  " << setting.name << ": " << setting.before;
    if (setting.after != setting.before) {
      out << " -> " << setting.after;
    }
    out << "\n";
  }
}

Json JsonCodes(const CodeCounts& counts, std::string (*label)(CodeFamily, int), CodeFamily family) {
  Json rows = Json::array();
  for (const auto& [code, columns] : counts.rows()) {
    Json row;
    row["code"] = code;
    row["label"] = JsonText(label(family, code));
    row["total"] = counts.Total(code);
    Json& by_kind = row["counts"] = Json::object();
    for (std::size_t i = 0; i < kInventoryColumnCount; ++i) {
      by_kind[std::string(kInventoryColumnNames[i])] = columns[i];
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// Each layer in use, with its name and state when the file keeps them.
Json JsonLayers(const preview::InventorySide& side) {
  Json rows = JsonCodes(side.layers, &preview::LayerCodeLabel, CodeFamily::kWindows);
  for (Json& row : rows) {
    const int index = row["code"].get<int>();
    row.erase("code");
    if (side.sheet.known && index < kLayerCount) {
      row["name"] = JsonText(side.sheet.names[index]);
      row["state"] = side.sheet.states[index];
      row["group_state"] = side.sheet.group_states[index / kLayersPerGroup];
      row["hidden"] = side.sheet.Hidden(index);
    }
  }
  return rows;
}

Json JsonSide(const preview::InventorySide& side, CodeFamily family) {
  Json json;
  json["colors"] = JsonCodes(side.colors, &preview::ColorLabel, family);
  json["line_types"] = JsonCodes(side.line_types, &preview::LineTypeLabel, family);
  if (family == CodeFamily::kWindows) {
    json["layers"] = JsonLayers(side);
  }
  return json;
}

// The inventory's members, after those `json` holds already.
void PutInventory(Json& json, const Inventory& inventory) {
  json["format"] = JsonText(inventory.format);
  json["version"] = JsonText(inventory.version);
  json["entities"] = inventory.entities;
  json["block_definitions"] = inventory.block_definitions;
  json["changed"] = inventory.changed;
  if (inventory.family == CodeFamily::kWindows) {
    json["moved"] = inventory.moved;
    json["moved_to_hidden"] = inventory.moved_to_hidden;
    json["moved_block_definitions"] = inventory.moved_block_definitions;
    json["renamed"] = inventory.renamed;
    json["name_rules"] = JsonNameRules(inventory);
  }
  json["before"] = JsonSide(inventory.before, inventory.family);
  json["after"] = JsonSide(inventory.after, inventory.family);
  Json& settings = json["settings"] = Json::array();
  for (const preview::SettingColor& setting : inventory.settings) {
    Json entry;
    entry["name"] = JsonText(setting.name);
    entry["before"] = setting.before;
    entry["after"] = setting.after;
    settings.push_back(std::move(entry));
  }
}

}  // namespace

std::vector<std::string> NameRuleLines(const Inventory& inventory, Language language) {
  if (language == Language::kJapanese) {
    return app::NameRuleTexts(inventory);
  }
  std::vector<std::string> lines;
  for (const preview::NameRuleMoves& rule : inventory.name_rules) {
    lines.push_back("name \"" + rule.pattern + "\" -> " + preview::LayerLabel(rule.target) + ": " +
                    std::to_string(rule.parts) + " moved from " +
                    preview::LayerLabels(rule.layers));
  }
  if (inventory.names_unused) {
    lines.emplace_back("rules by name move nothing here: the file names no layers");
  }
  return lines;
}

Json JsonNameRules(const Inventory& inventory) {
  Json rules = Json::array();
  for (const preview::NameRuleMoves& rule : inventory.name_rules) {
    Json row;
    row["pattern"] = JsonText(rule.pattern);
    row["target"] = preview::LayerLabel(rule.target);
    Json& layers = row["layers"] = Json::array();
    for (int index : rule.layers) {
      layers.push_back(preview::LayerLabel(index));
    }
    row["moved"] = rule.parts;
    rules.push_back(std::move(row));
  }
  return rules;
}

std::string MovedToHiddenLine(std::uint64_t count, Language language) {
  if (language == Language::kJapanese) {
    return app::MovedToHiddenText(count);
  }
  return std::to_string(count) + (count == 1 ? " entity moves" : " entities move") +
         " onto hidden layers";
}

bool LoadTablesOption(const std::string& file, ConversionTables& tables, std::ostream& err,
                      Language language) {
  const bool japanese = language == Language::kJapanese;
  const fs::path path = PathFromUtf8(file);
  if (KindOfPath(path) != PathKind::kFile) {
    err << "penmorph-cli: "
        << (japanese ? "設定ファイル " + file + " を読めません"
                     : "cannot read the settings file " + file)
        << "\n";
    return false;
  }
  if (Status opened = OpenSettingsFile(path, tables); !opened.ok()) {
    err << "penmorph-cli: "
        << (japanese ? "設定ファイル " + file + " を読めません：" +
                           app::JapaneseErrorText(opened.error())
                     : opened.error().Describe())
        << "\n";
    return false;
  }
  return true;
}

int PrintInventories(SourceCursor& files, const ConversionTables& tables, bool json,
                     std::ostream& out, const FormatRegistry& formats, Language language) {
  std::map<CodeFamily, Inventory> totals;
  Json failed = Json::array();
  Json skipped = Json::array();
  // The document's frame is written as the files come, each file's object by the library: a
  // tree of any size is never held whole.
  if (json) {
    out << "{\"files\":[";
  }
  bool first = true;
  while (std::optional<SourceFile> found = files.Next()) {
    const std::string& file = found->shown;
    auto inventory = InventoryOfFile(formats, found->source, tables);
    if (!inventory.ok()) {
      // A file that is no drawing is passed over as a conversion passes it over.
      const bool passed_over = inventory.error().kind == ErrorKind::kNotADrawing;
      const std::string reason = FailureText(inventory.error(), language);
      Json failure;
      PutName(failure, "file", file);
      failure["reason"] = JsonText(reason);
      (passed_over ? skipped : failed).push_back(std::move(failure));
      if (!json) {
        out << (passed_over ? "skipped " : "failed ") << file << ": " << reason << "\n";
      }
      continue;
    }
    Inventory& total = totals[inventory->family];
    total.family = inventory->family;
    total.format = FormatNames(formats, "/", inventory->family);
    total.Merge(inventory.value());
    if (json) {
      Json entry;
      PutName(entry, "file", file);
      PutInventory(entry, inventory.value());
      out << (first ? "" : ",") << JsonDump(entry);
      first = false;
    } else {
      out << file << "\n";
      PrintInventory(out, inventory.value());
    }
  }
  if (json) {
    Json all_totals = Json::array();
    for (const auto& [family, total] : totals) {
      Json entry;
      PutInventory(entry, total);
      all_totals.push_back(std::move(entry));
    }
    out << "],\"totals\":" << JsonDump(all_totals) << ",\"failed\":" << JsonDump(failed)
        << ",\"skipped\":" << JsonDump(skipped) << "}\n";
  } else {
    for (const auto& [family, total] : totals) {
      out << "total of " << total.format << " files\n";
      PrintInventory(out, total);
    }
  }
  out.flush();
  return failed.empty() ? kExitOk : kExitFileFailed;
}

int PrintDryRun(SourceCursor& files, const ConversionTables& tables, std::ostream& out,
                const FormatRegistry& formats, Language language) {
  const bool japanese = language == Language::kJapanese;
  std::size_t read = 0;
  std::size_t skipped = 0;
  std::size_t failed = 0;
  std::uint64_t changed = 0;
  while (std::optional<SourceFile> found = files.Next()) {
    const std::string& file = found->shown;
    auto inventory = InventoryOfFile(formats, found->source, tables);
    if (!inventory.ok()) {
      // Passed over, as the conversion it stands for would pass the file over.
      const bool passed_over = inventory.error().kind == ErrorKind::kNotADrawing;
      out << (passed_over ? "skipped " : "failed ") << file << ": "
          << FailureText(inventory.error(), language) << "\n";
      ++(passed_over ? skipped : failed);
      continue;
    }
    ++read;
    changed += inventory->changed;
    out << "would change " << file << ": ";
    if (japanese) {
      out << "図形 " << inventory->entities << " 個のうち " << inventory->changed << " 個";
    } else {
      out << inventory->changed << " of " << inventory->entities << " entities";
    }
    PrintChangeCounts(out, inventory.value(), language);
    out << "\n";
    if (inventory->moved_to_hidden > 0) {
      out << "  " << MovedToHiddenLine(inventory->moved_to_hidden, language) << "\n";
    }
    for (const std::string& line : NameRuleLines(inventory.value(), language)) {
      out << "  " << line << "\n";
    }
    out.flush();
  }
  if (japanese) {
    out << "読んだファイル " << read << " 個、飛ばしたファイル " << skipped
        << " 個、失敗したファイル " << failed << " 個、変わる図形 " << changed
        << " 個。何も書き込んでいません\n";
  } else {
    out << read << " read, " << skipped << " skipped, " << failed << " failed, " << changed
        << " entities would change; nothing was written\n";
  }
  out.flush();
  return failed == 0 ? kExitOk : kExitFileFailed;
}

int ReadEachSource(const CommandLine& line, std::ostream& out, std::ostream& err,
                   const FormatRegistry& formats, ReadFiles read) {
  ConversionTables tables;
  if (line.tables_file && !LoadTablesOption(*line.tables_file, tables, err, line.language)) {
    return kExitUsage;
  }
  bool trees = false;
  if (auto problem = CheckSources(line.files, line.selection, trees, line.language)) {
    return UsageError(err, line.language, line.command, *problem);
  }
  SourceCursor files(line.files, line.selection, formats);
  const int status = read(files, tables, line, out, formats);
  ReportUnreadableFolders(files.unreadable(), err, line.language);
  return files.unreadable().empty() ? status : kExitFileFailed;
}

int RunInventoryCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                        const FormatRegistry& formats) {
  return ReadEachSource(
      line, out, err, formats,
      [](SourceCursor& files, const ConversionTables& tables, const CommandLine& line,
         std::ostream& out, const FormatRegistry& formats) {
        return PrintInventories(files, tables, line.json, out, formats, line.language);
      });
}

int RunRenderCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                     const FormatRegistry& formats) {
  const Language language = line.language;
  ConversionTables tables;
  if (line.tables_file && !LoadTablesOption(*line.tables_file, tables, err, language)) {
    return kExitUsage;
  }
  const std::string& file = line.files.front();
  auto drawing = DrawFile(formats, PathFromUtf8(file));
  if (!drawing.ok()) {
    out << "failed " << file << ": " << FailureText(drawing.error(), language) << "\n";
    return kExitFileFailed;
  }
  const preview::DisplayList list = preview::MakeDisplayList(
      drawing.value(), tables, line.after ? preview::Side::kAfter : preview::Side::kBefore,
      line.black ? preview::Background::kBlack : preview::Background::kWhite);
  std::ostringstream svg;
  preview::WriteSvg(svg, list);
  const std::string& out_file = *line.out_file;
  std::ofstream written(PathFromUtf8(out_file), std::ios::binary | std::ios::trunc);
  written << svg.str();
  written.close();
  if (!written) {
    err << "penmorph-cli: "
        << (language == Language::kJapanese ? out_file + " に書き込めません"
                                            : "cannot write " + out_file)
        << "\n";
    return kExitFileFailed;
  }
  out << "rendered " << file << " -> " << out_file << ": " << drawing.value()->PrimitiveCount()
      << " primitives\n";
  return kExitOk;
}

}  // namespace penmorph
