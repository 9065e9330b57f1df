#pragma once

// What an archive holds, over all its drawings: how many parts use each colour and line type and
// in how many files, which layer names are in use, where and how often, and which files could
// not be read. An office looks at it before it writes a standard; each drawing is read once, by
// the inventory, so the totals are the inventory's summed.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/result.h"
#include "preview/inventory.h"

namespace penmorph::preview {

struct SurveyCount {
  std::uint64_t entities = 0;  // attribute blocks, as the inventory counts them
  std::uint64_t files = 0;
  bool operator==(const SurveyCount&) const = default;
};

struct SurveyLayerName {
  std::string name;  // trimmed, as the first drawing that uses it spells it
  SurveyCount count;
  std::set<int> addresses;  // layer indices it sits at, in any drawing
  bool operator==(const SurveyLayerName&) const = default;
};

struct SurveyFailure {
  std::string file;  // as the user named it
  Error error;
};

class Survey {
 public:
  // One drawing's inventory, without tables (its "before" side is what it holds).
  void Add(const Inventory& inventory);
  void AddUnreadable(std::string file, Error error);

  std::uint64_t files() const { return files_; }
  const std::map<std::string, std::uint64_t>& formats() const { return formats_; }
  // By family and code, in code order.
  const std::map<std::pair<CodeFamily, int>, SurveyCount>& colors() const { return colors_; }
  const std::map<std::pair<CodeFamily, int>, SurveyCount>& line_types() const {
    return line_types_;
  }
  // Names compared as rules by name compare them: "外壁" and "　外壁" are one. Most files first.
  std::vector<SurveyLayerName> LayerNames() const;
  const std::vector<SurveyFailure>& unreadable() const { return unreadable_; }

 private:
  std::uint64_t files_ = 0;
  std::map<std::string, std::uint64_t> formats_;
  std::map<std::pair<CodeFamily, int>, SurveyCount> colors_;
  std::map<std::pair<CodeFamily, int>, SurveyCount> line_types_;
  std::map<std::u32string, SurveyLayerName> layers_;
  std::vector<SurveyFailure> unreadable_;
};

}  // namespace penmorph::preview
