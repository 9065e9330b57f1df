#pragma once

// Remapping of colours and line types in the entities of the Windows formats, under the options
// of the conversion table.

#include <vector>

#include "common/result.h"
#include "formats/windows/jwtype.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

// Looks numbers up in the table and fails, naming the entry, when the result does not fit the
// field it goes into.
class ColorRemapper {
 public:
  explicit ColorRemapper(const JwwConvSettings& table) : table_(table) {}

  void Color(std::uint16_t& color);
  void Color(std::int32_t& color);  // header colours, wide enough for any entry
  void LineType(std::uint8_t& style);
  void Fail(Error error);

  const JwwConvSettings& table() const { return table_; }
  const Status& status() const { return status_; }

 private:
  const JwwConvSettings& table_;
  Status status_;
};

// The main list and the block definitions; `version` decides which dimension members exist.
Status RemapEntities(const JwwConvSettings& table, int version, EntityTables& main,
                     std::vector<TEntBlockDef>& block_defs);

}  // namespace penmorph::jw
