#include "formats/windows/inventory_builder.h"

#include <array>
#include <optional>
#include <string>

#include "formats/windows/entity_remap.h"
#include "formats/windows/record_stream.h"

namespace penmorph::jw {

namespace {

using preview::InventoryColumn;
using preview::InventorySide;

// The column each part is counted in, by EntityPart. A dimension's own attributes are neither
// drawn nor remapped, and a block definition is no entity.
constexpr std::array<std::optional<InventoryColumn>, kEntityPartCount> kColumns = {
    InventoryColumn::kLines,
    InventoryColumn::kArcs,
    InventoryColumn::kPoints,
    InventoryColumn::kTexts,
    std::nullopt,  // a dimension's own
    InventoryColumn::kSolids,
    InventoryColumn::kBlockInsertions,
    std::nullopt,  // a block definition's
    InventoryColumn::kDimensionLines,
    InventoryColumn::kDimensionTexts,
    InventoryColumn::kDimensionPoints};

class InventoryBuilder final : public RecordVisitor {
 public:
  explicit InventoryBuilder(const JwwConvSettings& table)
      : table_(table),
        remap_(table),
        main_rules_(MainListRules(table)),
        member_rules_(BlockMemberRules(table)) {}

  void OnJwwHeader(THeader& header, SourceRange) override {
    Begin("JWW", header.version);
    std::vector<preview::SettingColor>& settings = inventory_.settings;
    for (std::size_t i = 0; i < header.text_kinds.size(); ++i) {
      settings.push_back(
          {"text kind " + std::to_string(i + 1) + " colour", header.text_kinds[i].color, 0});
    }
    static constexpr const char* kPlaces[] = {"units", "tens", "hundreds"};
    for (std::int32_t place = 1, i = 0; i < 3; ++i, place *= 10) {
      settings.push_back({std::string("dimension colour (") + kPlaces[i] + ")",
                          header.DimSettingColors / place % 10, 0});
    }
    if (Status remapped = RemapJwwHeader(header, table_); !remapped.ok()) {
      failure_ = remapped;
      return;
    }
    for (std::size_t i = 0; i < header.text_kinds.size(); ++i) {
      settings[i].after = header.text_kinds[i].color;
    }
    for (std::int32_t place = 1, i = 0; i < 3; ++i, place *= 10) {
      settings[header.text_kinds.size() + static_cast<std::size_t>(i)].after =
          header.DimSettingColors / place % 10;
    }
  }
  void OnJwsHeader(JwsHeader& header, SourceRange) override { Begin("JWS", header.version); }

  void OnEntity(const ClassTag&, EntityRecord& record, SourceRange) override {
    ++inventory_.entities;
    Count(record, inventory_.before);
    Remap(remap_, in_block_ ? member_rules_ : main_rules_, version_, record);
    if (!remap_.status().ok()) {
      failure_ = remap_.status();
      return;
    }
    if (remap_.TakeChanged()) {
      ++inventory_.changed;
    }
    Count(record, inventory_.after);
  }

  void OnBlockDef(const ClassTag&, TEntBlockDef&, std::int32_t, SourceRange) override {
    ++inventory_.block_definitions;
    in_block_ = true;
  }
  void OnBlockDefEnd() override { in_block_ = false; }
  bool OnImagesBegin() override { return false; }
  bool Stopped() const override { return !failure_.ok(); }

  Result<preview::Inventory> Finish(const Status& read) {
    if (!failure_.ok()) {
      return failure_.error();
    }
    if (!read.ok()) {
      return read.error();
    }
    return std::move(inventory_);
  }

 private:
  void Begin(const char* format, int version) {
    inventory_.format = format;
    inventory_.version = std::to_string(version);
    version_ = version;
  }

  // Each attribute block the record carries, in its part's column (block members in theirs).
  void Count(const EntityRecord& record, InventorySide& side) const {
    ForEachBase(record, version_, [&](const EntityBase& base, const PartInfo& part) {
      const std::optional<InventoryColumn> own = kColumns[static_cast<std::size_t>(part.part)];
      if (!own) {
        return;
      }
      const InventoryColumn column = in_block_ ? InventoryColumn::kBlockMembers : *own;
      side.colors.Add(base.PenColor, column);
      if (HasLineType(part)) {
        side.line_types.Add(base.PenStyle, column);
      }
    });
  }

  const JwwConvSettings& table_;
  ColorRemapper remap_;
  const RemapRules main_rules_;
  const RemapRules member_rules_;
  preview::Inventory inventory_;
  int version_ = 0;
  bool in_block_ = false;
  Status failure_;
};

template <class Read>
Result<preview::Inventory> Take(ByteReader& in, const JwwConvSettings& table, Read read) {
  InventoryBuilder builder(table);
  const Status status = read(in, builder);
  return builder.Finish(status);
}

}  // namespace

Result<preview::Inventory> JwwInventory(ByteReader& in, const JwwConvSettings& table) {
  return Take(in, table,
              [](ByteReader& reader, RecordVisitor& v) { return ReadJwwRecords(reader, v); });
}

Result<preview::Inventory> JwsInventory(ByteReader& in, const JwwConvSettings& table) {
  return Take(in, table,
              [](ByteReader& reader, RecordVisitor& v) { return ReadJwsRecords(reader, v); });
}

}  // namespace penmorph::jw
