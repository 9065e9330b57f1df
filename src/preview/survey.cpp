#include "preview/survey.h"

#include <algorithm>

namespace penmorph::preview {

namespace {

void AddCodes(std::map<std::pair<CodeFamily, int>, SurveyCount>& into, CodeFamily family,
              const CodeCounts& counts) {
  for (const auto& [code, columns] : counts.rows()) {
    SurveyCount& count = into[{family, code}];
    count.entities += counts.Total(code);
    ++count.files;
  }
}

}  // namespace

void Survey::Add(const Inventory& inventory) {
  ++files_;
  ++formats_[inventory.format];
  AddCodes(colors_, inventory.family, inventory.before.colors);
  AddCodes(line_types_, inventory.family, inventory.before.line_types);
  const LayerSheet& sheet = inventory.before.sheet;
  if (!sheet.known) {
    return;
  }
  std::set<std::u32string> in_this_file;
  for (int index = 0; index < kLayerCount; ++index) {
    std::u32string key = FoldLayerName(sheet.names[index]);
    if (key.empty()) {
      continue;
    }
    SurveyLayerName& layer = layers_[key];
    if (layer.name.empty()) {
      layer.name = TrimLayerName(sheet.names[index]);
    }
    layer.count.entities += inventory.before.layers.Total(index);
    layer.addresses.insert(index);
    if (in_this_file.insert(std::move(key)).second) {
      ++layer.count.files;
    }
  }
}

void Survey::AddUnreadable(std::string file, Error error) {
  unreadable_.push_back({std::move(file), std::move(error)});
}

std::vector<SurveyLayerName> Survey::LayerNames() const {
  std::vector<SurveyLayerName> names;
  names.reserve(layers_.size());
  for (const auto& [key, layer] : layers_) {
    names.push_back(layer);
  }
  std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return std::pair(a.count.files, a.count.entities) > std::pair(b.count.files, b.count.entities);
  });
  return names;
}

}  // namespace penmorph::preview
