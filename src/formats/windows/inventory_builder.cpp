#include "formats/windows/inventory_builder.h"

#include <string>

#include "formats/windows/entity_remap.h"
#include "formats/windows/record_stream.h"

namespace penmorph::jw {

namespace {

using preview::InventoryColumn;
using preview::InventorySide;

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
    std::visit([&](const auto& r) { Count(r, inventory_.before); }, record);
    RemapRecord(remap_, in_block_ ? member_rules_ : main_rules_, version_, record);
    if (!remap_.status().ok()) {
      failure_ = remap_.status();
      return;
    }
    if (remap_.TakeChanged()) {
      ++inventory_.changed;
    }
    std::visit([&](const auto& r) { Count(r, inventory_.after); }, record);
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

  InventoryColumn Column(InventoryColumn main) const {
    return in_block_ ? InventoryColumn::kBlockMembers : main;
  }
  void Color(const EntityBase& base, InventoryColumn column, InventorySide& side) const {
    side.colors.Add(base.PenColor, Column(column));
  }
  void Line(const EntityBase& base, InventoryColumn column, InventorySide& side) const {
    Color(base, column, side);
    side.line_types.Add(base.PenStyle, Column(column));
  }

  void Count(const TEntSen& r, InventorySide& side) const {
    Line(r.base, InventoryColumn::kLines, side);
  }
  void Count(const TEntEnko& r, InventorySide& side) const {
    Line(r.base, InventoryColumn::kArcs, side);
  }
  void Count(const TEntTen& r, InventorySide& side) const {
    Color(r.base, InventoryColumn::kPoints, side);
  }
  void Count(const TEntMoji& r, InventorySide& side) const {
    Color(r.base, InventoryColumn::kTexts, side);
  }
  void Count(const TEntSunpo& r, InventorySide& side) const {
    // The dimension's own attributes are neither drawn nor remapped: its members are.
    Line(r.line.base, InventoryColumn::kDimensionLines, side);
    Color(r.text.base, InventoryColumn::kDimensionTexts, side);
    if (version_ >= 420) {
      Line(r.line2.base, InventoryColumn::kDimensionLines, side);
      Line(r.line3.base, InventoryColumn::kDimensionLines, side);
      for (const TEntTen& point : r.points) {
        Color(point.base, InventoryColumn::kDimensionPoints, side);
      }
    }
  }
  void Count(const TEntSolid& r, InventorySide& side) const {
    Color(r.base, InventoryColumn::kSolids, side);
  }
  void Count(const TEntBlock& r, InventorySide& side) const {
    Color(r.base, InventoryColumn::kBlockInsertions, side);
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
