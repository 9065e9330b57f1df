#include "preview/inventory.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace penmorph::preview {

void CodeCounts::Merge(const CodeCounts& other) {
  for (const auto& [code, counts] : other.rows_) {
    ColumnCounts& mine = rows_[code];
    for (std::size_t i = 0; i < counts.size(); ++i) {
      mine[i] += counts[i];
    }
  }
}

void CodeMoves::Merge(const CodeMoves& other) {
  for (const auto& [move, count] : other.moves_) {
    moves_[move] += count;
  }
}

std::uint64_t CodeCounts::Total(int code) const {
  auto found = rows_.find(code);
  if (found == rows_.end()) {
    return 0;
  }
  std::uint64_t total = 0;
  for (std::uint64_t count : found->second) {
    total += count;
  }
  return total;
}

std::uint64_t CodeCounts::Count(int code, InventoryColumn column) const {
  auto found = rows_.find(code);
  return found == rows_.end() ? 0 : found->second[static_cast<std::size_t>(column)];
}

std::uint64_t Inventory::ChangedSettings() const {
  std::uint64_t changed_settings = 0;
  for (const SettingColor& setting : settings) {
    changed_settings += setting.before != setting.after ? 1 : 0;
  }
  return changed_settings;
}

bool Inventory::Unchanged() const {
  return changed == 0 && ChangedSettings() == 0 && moved_block_definitions == 0 && renamed == 0;
}

void Inventory::Merge(const Inventory& other) {
  entities += other.entities;
  block_definitions += other.block_definitions;
  changed += other.changed;
  moved += other.moved;
  moved_to_hidden += other.moved_to_hidden;
  moved_block_definitions += other.moved_block_definitions;
  renamed += other.renamed;
  for (auto [mine, theirs] : {std::pair{&before, &other.before}, std::pair{&after, &other.after}}) {
    mine->colors.Merge(theirs->colors);
    mine->line_types.Merge(theirs->line_types);
    mine->layers.Merge(theirs->layers);
  }
  moves.colors.Merge(other.moves.colors);
  moves.line_types.Merge(other.moves.line_types);
  moves.layers.Merge(other.moves.layers);
  for (const NameRuleMoves& rule : other.name_rules) {
    auto same = [&](const NameRuleMoves& mine) {
      return mine.pattern == rule.pattern && mine.target == rule.target;
    };
    auto mine = std::find_if(name_rules.begin(), name_rules.end(), same);
    if (mine == name_rules.end()) {
      name_rules.push_back(rule);
      continue;
    }
    mine->parts += rule.parts;
    std::vector<int> layers;
    std::set_union(mine->layers.begin(), mine->layers.end(), rule.layers.begin(), rule.layers.end(),
                   std::back_inserter(layers));
    mine->layers = std::move(layers);
  }
  names_known = names_known || other.names_known;
  names_unused = names_unused || other.names_unused;
}

bool IsOwnColorCode(CodeFamily family, int code) {
  return family == CodeFamily::kWindows && code == 10;
}

std::string ColorLabel(CodeFamily family, int code) {
  if (family == CodeFamily::kWindows && code >= 101 && code <= 356) {
    return "SXF " + std::to_string(code - 100);
  }
  return IsOwnColorCode(family, code) ? "own RGB" : std::to_string(code);
}

std::string LineTypeLabel(CodeFamily family, int code) {
  if (family == CodeFamily::kWindows && code >= 31 && code <= 62) {
    return "SXF " + std::to_string(code - 30);
  }
  return std::to_string(code);
}

std::string LayerLabel(int index) {
  if (index < 0 || index >= kLayerCount) {
    return "?";
  }
  return LayerAddressText(LayerAddress::FromIndex(index));
}

std::string LayerCodeLabel(CodeFamily, int index) {
  return LayerLabel(index);
}

std::string LayerLabels(const std::vector<int>& indices) {
  std::string labels;
  for (int index : indices) {
    labels += (labels.empty() ? "" : ", ") + LayerLabel(index);
  }
  return labels;
}

}  // namespace penmorph::preview
