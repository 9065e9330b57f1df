#include "cli/check_command.h"

#include <optional>

#include "app/standards_check.h"
#include "cli/cli_app.h"
#include "cli/json_output.h"
#include "cli/preview_commands.h"
#include "cli/reason_text.h"
#include "convert/file_preview.h"

namespace penmorph {

using preview::CodeFamily;
using preview::CodeMoves;
using preview::Inventory;

namespace {

using Label = std::string (*)(CodeFamily, int);

// A name the tables change: "layer 2-5" or "group 2", as the file has it and as it would be.
struct NameChange {
  std::string what;
  std::string before;
  std::string after;
};

std::vector<NameChange> NameChanges(const Inventory& inventory) {
  std::vector<NameChange> changes;
  const preview::LayerSheet& before = inventory.before.sheet;
  const preview::LayerSheet& after = inventory.after.sheet;
  for (int index = 0; index < kLayerCount; ++index) {
    if (before.names[index] != after.names[index]) {
      changes.push_back(
          {"layer " + preview::LayerLabel(index), before.names[index], after.names[index]});
    }
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    if (before.group_names[group] != after.group_names[group]) {
      changes.push_back(
          {"group " + LayerGroupText(group), before.group_names[group], after.group_names[group]});
    }
  }
  return changes;
}

void PrintMoves(std::ostream& out, std::string_view what, const CodeMoves& moves, Label label,
                CodeFamily family) {
  for (const auto& [move, count] : moves.moves()) {
    out << "  " << what << " " << label(family, move.first) << " -> " << label(family, move.second)
        << ": " << count << "\n";
  }
}

void PrintChanges(std::ostream& out, const std::string& file, const Inventory& inventory,
                  Language language) {
  if (language == Language::kJapanese) {
    out << "does not conform " << file << ": 図形 " << inventory.entities << " 個のうち "
        << inventory.changed << " 個が変わります\n";
    for (const std::string& line : app::ChangeLines(inventory)) {
      out << "  " << line << "\n";
    }
    return;
  }
  const CodeFamily family = inventory.family;
  out << "does not conform " << file << ": " << inventory.changed << " of " << inventory.entities
      << " entities would change\n";
  PrintMoves(out, family == CodeFamily::kDos ? "pen" : "colour", inventory.moves.colors,
             &preview::ColorLabel, family);
  PrintMoves(out, "line type", inventory.moves.line_types, &preview::LineTypeLabel, family);
  PrintMoves(out, "layer", inventory.moves.layers, &preview::LayerCodeLabel, family);
  for (const std::string& line : NameRuleLines(inventory)) {
    out << "  " << line << "\n";
  }
  if (inventory.moved_to_hidden > 0) {
    out << "  " << MovedToHiddenLine(inventory.moved_to_hidden) << "\n";
  }
  if (inventory.moved_block_definitions > 0) {
    out << "  block definitions moved to other layers: " << inventory.moved_block_definitions
        << "\n";
  }
  for (const preview::SettingColor& setting : inventory.settings) {
    if (setting.before != setting.after) {
      out << "  " << setting.name << ": " << setting.before << " -> " << setting.after << "\n";
    }
  }
  for (const NameChange& change : NameChanges(inventory)) {
    out << "  " << change.what << " name \"" << change.before << "\" -> \"" << change.after
        << "\"\n";
  }
}

Json JsonMoves(const CodeMoves& moves, Label label, CodeFamily family) {
  Json rows = Json::array();
  for (const auto& [move, count] : moves.moves()) {
    Json row;
    row["from"] = JsonText(label(family, move.first));
    row["to"] = JsonText(label(family, move.second));
    row["count"] = count;
    rows.push_back(std::move(row));
  }
  return rows;
}

Json JsonChanges(const Inventory& inventory) {
  const CodeFamily family = inventory.family;
  Json json;
  json["format"] = JsonText(inventory.format);
  json["entities"] = inventory.entities;
  json["changed"] = inventory.changed;
  json["moved"] = inventory.moved;
  json["moved_to_hidden"] = inventory.moved_to_hidden;
  json["moved_block_definitions"] = inventory.moved_block_definitions;
  json["colors"] = JsonMoves(inventory.moves.colors, &preview::ColorLabel, family);
  json["line_types"] = JsonMoves(inventory.moves.line_types, &preview::LineTypeLabel, family);
  json["layers"] = JsonMoves(inventory.moves.layers, &preview::LayerCodeLabel, family);
  json["name_rules"] = JsonNameRules(inventory);
  Json& settings = json["settings"] = Json::array();
  for (const preview::SettingColor& setting : inventory.settings) {
    if (setting.before != setting.after) {
      settings.push_back(
          {{"name", JsonText(setting.name)}, {"before", setting.before}, {"after", setting.after}});
    }
  }
  Json& names = json["names"] = Json::array();
  for (const NameChange& change : NameChanges(inventory)) {
    names.push_back({{"what", JsonText(change.what)},
                     {"before", JsonText(change.before)},
                     {"after", JsonText(change.after)}});
  }
  return json;
}

}  // namespace

int PrintCheck(SourceCursor& files, const ConversionTables& tables, bool json, std::ostream& out,
               const FormatRegistry& formats, Language language) {
  CheckCounts counts;
  // As the inventory does: each file's object as it comes, the frame around them by hand.
  if (json) {
    out << "{\"files\":[";
  }
  while (std::optional<SourceFile> found = files.Next()) {
    const std::string& file = found->shown;
    auto inventory = InventoryOfFile(formats, found->source, tables);
    const CheckVerdict verdict = VerdictOf(inventory);
    counts.Add(verdict);
    Json entry;
    PutName(entry, "file", file);
    if (verdict == CheckVerdict::kPassedOver) {
      const std::string reason = FailureText(inventory.error(), language);
      entry["conforms"] = nullptr;
      entry["passed_over"] = true;
      entry["reason"] = JsonText(reason);
      if (!json) {
        out << "passed over " << file << ": " << reason << "\n";
      }
    } else if (!inventory.ok()) {
      const bool refused = verdict == CheckVerdict::kDiffers;
      const std::string reason = FailureText(inventory.error(), language);
      entry["conforms"] = false;
      entry["reason"] = JsonText(reason);
      if (!json) {
        out << (refused ? "does not conform " : "failed ") << file << ": " << reason << "\n";
      }
    } else if (verdict == CheckVerdict::kConforms) {
      entry["conforms"] = true;
    } else {
      entry["conforms"] = false;
      entry["changes"] = JsonChanges(inventory.value());
      if (!json) {
        PrintChanges(out, file, inventory.value(), language);
      }
    }
    if (json) {
      out << (counts.Total() == 1 ? "" : ",") << JsonDump(entry);
    }
    out.flush();
  }
  if (json) {
    Json totals;
    totals["conform"] = counts.conform;
    totals["do_not_conform"] = counts.differ;
    totals["failed"] = counts.failed;
    totals["passed_over"] = counts.passed_over;
    out << "],\"totals\":" << JsonDump(totals) << "}\n";
  } else if (language == Language::kJapanese) {
    app::StandardsCheckReport report;
    static_cast<CheckCounts&>(report) = counts;
    out << app::CheckSummary(report) << "\n";
  } else {
    out << counts.conform << " conform, " << counts.differ << " do not, " << counts.failed
        << " could not be read, " << counts.passed_over << " passed over\n";
  }
  out.flush();
  return counts.AllConform() ? kExitOk : kExitFileFailed;
}

int RunCheckCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                    const FormatRegistry& formats) {
  return ReadEachSource(
      line, out, err, formats,
      [](SourceCursor& files, const ConversionTables& tables, const CommandLine& line,
         std::ostream& out, const FormatRegistry& formats) {
        return PrintCheck(files, tables, line.json, out, formats, line.language);
      });
}

}  // namespace penmorph
