#include "settings/layer_table.h"
#include "common/text.h"

#include <algorithm>

namespace penmorph {

namespace {

std::optional<int> HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return std::nullopt;
}

bool ValidIndex(int index) {
  return index >= 0 && index < kLayerCount;
}

const std::string& NoName() {
  static const std::string empty;
  return empty;
}

}  // namespace

std::optional<LayerAddress> ParseLayerAddress(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() != 3 || text[1] != '-') {
    return std::nullopt;
  }
  auto group = HexDigit(text[0]);
  auto layer = HexDigit(text[2]);
  if (!group || !layer) {
    return std::nullopt;
  }
  return LayerAddress{*group, *layer};
}

std::u32string FoldLayerName(std::string_view utf8) {
  std::u32string name = CodePoints(TrimLayerName(utf8));
  for (char32_t& c : name) {
    const bool wide_digit = c >= U'\uFF10' && c <= U'\uFF19';
    const bool wide_letter =
        (c >= U'\uFF21' && c <= U'\uFF3A') || (c >= U'\uFF41' && c <= U'\uFF5A');
    if (wide_digit || wide_letter) {
      c = c - U'\uFF10' + U'0';
    }
    if (c >= U'A' && c <= U'Z') {
      c = c - U'A' + U'a';
    }
  }
  return name;
}

std::string TrimLayerName(std::string_view utf8) {
  constexpr std::string_view kWideBlank = "\u3000";
  // Half- and full-width blanks may alternate: take whichever stands at the end, until none.
  for (;;) {
    if (utf8.starts_with(' ') || utf8.starts_with('\t')) {
      utf8.remove_prefix(1);
    } else if (utf8.starts_with(kWideBlank)) {
      utf8.remove_prefix(kWideBlank.size());
    } else if (utf8.ends_with(' ') || utf8.ends_with('\t')) {
      utf8.remove_suffix(1);
    } else if (utf8.ends_with(kWideBlank)) {
      utf8.remove_suffix(kWideBlank.size());
    } else {
      return std::string(utf8);
    }
  }
}

bool LayerNameMatches(std::string_view pattern, std::string_view name) {
  return MatchesWildcard(FoldLayerName(name), FoldLayerName(pattern));
}

bool LayerPlan::MovesLayers() const {
  for (int index = 0; index < kLayerCount; ++index) {
    if (targets[index] != kStays && targets[index] != index) {
      return true;
    }
  }
  return false;
}

LayerPlan LayerTable::PlanFor(const std::array<std::string, kLayerCount>* names) const {
  LayerPlan plan;
  plan.targets = targets_;
  plan.rules.fill(LayerPlan::kStays);
  if (names == nullptr || name_rules_.empty()) {
    return plan;
  }
  std::vector<std::u32string> patterns;
  patterns.reserve(name_rules_.size());
  for (const LayerNameRule& rule : name_rules_) {
    patterns.push_back(FoldLayerName(rule.pattern));
  }
  for (int index = 0; index < kLayerCount; ++index) {
    if (targets_[index] != kStays) {
      continue;  // the layer's own entry wins over every rule
    }
    const std::u32string name = FoldLayerName((*names)[index]);
    if (name.empty()) {
      continue;  // an unnamed layer is taken by no name
    }
    for (std::size_t rule = 0; rule < patterns.size(); ++rule) {
      if (!patterns[rule].empty() && MatchesWildcard(name, patterns[rule])) {
        plan.targets[index] = static_cast<std::int16_t>(name_rules_[rule].target.Index());
        plan.rules[index] = static_cast<std::int16_t>(rule);
        break;
      }
    }
  }
  return plan;
}

std::string LayerGroupText(int group) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string(1, kDigits[group & 0xF]);
}

std::string LayerAddressText(LayerAddress address) {
  return LayerGroupText(address.group) + "-" + LayerGroupText(address.layer);
}

std::optional<LayerAddress> LayerTable::Target(int index) const {
  if (!ValidIndex(index) || targets_[index] == kStays) {
    return std::nullopt;
  }
  return LayerAddress::FromIndex(targets_[index]);
}

void LayerTable::SetTarget(int index, std::optional<LayerAddress> target) {
  if (!ValidIndex(index)) {
    return;
  }
  targets_[index] =
      target && ValidIndex(target->Index()) ? static_cast<std::int16_t>(target->Index()) : kStays;
}

const std::string& LayerTable::LayerName(int index) const {
  return ValidIndex(index) ? layer_names_[index] : NoName();
}

void LayerTable::SetLayerName(int index, std::string name) {
  if (ValidIndex(index)) {
    layer_names_[index] = std::move(name);
  }
}

const std::string& LayerTable::GroupName(int group) const {
  return group >= 0 && group < kLayerGroupCount ? group_names_[group] : NoName();
}

void LayerTable::SetGroupName(int group, std::string name) {
  if (group >= 0 && group < kLayerGroupCount) {
    group_names_[group] = std::move(name);
  }
}

bool LayerTable::MovesLayers() const {
  if (!name_rules_.empty()) {
    return true;
  }
  for (int index = 0; index < kLayerCount; ++index) {
    if (targets_[index] != kStays && targets_[index] != index) {
      return true;
    }
  }
  return false;
}

bool LayerTable::Empty() const {
  auto named = [](const std::string& name) { return !name.empty(); };
  return !MovesLayers() && std::none_of(layer_names_.begin(), layer_names_.end(), named) &&
         std::none_of(group_names_.begin(), group_names_.end(), named);
}

}  // namespace penmorph
