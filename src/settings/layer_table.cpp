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
