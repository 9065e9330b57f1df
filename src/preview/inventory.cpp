#include "preview/inventory.h"

namespace penmorph::preview {

void CodeCounts::Merge(const CodeCounts& other) {
  for (const auto& [code, counts] : other.rows_) {
    ColumnCounts& mine = rows_[code];
    for (std::size_t i = 0; i < counts.size(); ++i) {
      mine[i] += counts[i];
    }
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

void Inventory::Merge(const Inventory& other) {
  entities += other.entities;
  block_definitions += other.block_definitions;
  changed += other.changed;
  before.colors.Merge(other.before.colors);
  before.line_types.Merge(other.before.line_types);
  after.colors.Merge(other.after.colors);
  after.line_types.Merge(other.after.line_types);
}

std::string ColorLabel(CodeFamily family, int code) {
  if (family == CodeFamily::kWindows) {
    if (code >= 101 && code <= 356) {
      return "SXF " + std::to_string(code - 100);
    }
    if (code == 10) {
      return "own RGB";
    }
  }
  return std::to_string(code);
}

std::string LineTypeLabel(CodeFamily family, int code) {
  if (family == CodeFamily::kWindows && code >= 31 && code <= 62) {
    return "SXF " + std::to_string(code - 30);
  }
  return std::to_string(code);
}

}  // namespace penmorph::preview
