#include "formats/windows/inventory_builder.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "formats/windows/entity_remap.h"
#include "formats/windows/layer_move.h"
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

// The sheet as the tables would leave it: the layers keep their states, names the table gives
// replace the drawing's. Counts the names that change.
std::uint64_t Rename(preview::LayerSheet& sheet, const LayerTable& layers) {
  std::uint64_t renamed = 0;
  auto rename = [&](std::string& name, const std::string& new_name) {
    if (!new_name.empty() && new_name != name) {
      name = new_name;
      ++renamed;
    }
  };
  for (int index = 0; index < kLayerCount; ++index) {
    rename(sheet.names[index], layers.LayerName(index));
  }
  for (int group = 0; group < kLayerGroupCount; ++group) {
    rename(sheet.group_names[group], layers.GroupName(group));
  }
  return renamed;
}

// The rows of one count last counted in, by code. A drawing uses a few codes over and over,
// and a look-up in the count's map for every attribute block took longer than reading the
// record it came from.
class RowCache {
 public:
  explicit RowCache(preview::CodeCounts& counts) : counts_(counts) {}
  void Add(int code, InventoryColumn column) {
    Slot& slot = slots_[static_cast<std::size_t>(code) % slots_.size()];
    if (slot.row == nullptr || slot.code != code) {
      slot = {code, &counts_.Row(code)};
    }
    ++(*slot.row)[static_cast<std::size_t>(column)];
  }

 private:
  struct Slot {
    int code = 0;
    preview::ColumnCounts* row = nullptr;
  };
  preview::CodeCounts& counts_;
  std::array<Slot, 64> slots_{};
};

// Where one side of the inventory counts, through the caches.
struct SideCounts {
  explicit SideCounts(InventorySide& side)
      : colors(side.colors), line_types(side.line_types), layers(side.layers) {}
  RowCache colors;
  RowCache line_types;
  RowCache layers;
};

class InventoryBuilder final : public RecordVisitor {
 public:
  InventoryBuilder(const JwwConvSettings& table, const LayerTable& layers)
      : table_(table),
        layers_(layers),
        remap_(table),
        main_rules_(MainListRules(table)),
        member_rules_(BlockMemberRules(table)) {}
  // Its caches point into its own inventory.
  InventoryBuilder(const InventoryBuilder&) = delete;
  InventoryBuilder& operator=(const InventoryBuilder&) = delete;

  void OnJwwHeader(THeader& header, SourceRange) override {
    Begin("JWW", header.version);
    inventory_.before.sheet = ReadLayerSheet(header);
    // The names the sheet has decoded already are those the rules look at.
    mover_.emplace(layers_.PlanFor(&inventory_.before.sheet.names), ScalesOf(header.layer_groups));
    inventory_.after.sheet = inventory_.before.sheet;
    inventory_.renamed = Rename(inventory_.after.sheet, layers_);
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
  // A symbol keeps no layer names or states, only the group scales.
  void OnJwsHeader(JwsHeader& header, SourceRange) override {
    Begin("JWS", header.version);
    mover_.emplace(PlanLayers(layers_), ScalesOf(header.layer_groups));
  }

  void OnEntity(const ClassTag&, EntityRecord& record, SourceRange) override {
    ++inventory_.entities;
    Count(record, before_);
    Remember(record);
    const bool hidden_before = OnHiddenLayer(record, inventory_.before.sheet);
    Remap(remap_, in_block_ ? member_rules_ : main_rules_, version_, record);
    if (!remap_.status().ok()) {
      failure_ = remap_.status();
      return;
    }
    const bool remapped = remap_.TakeChanged();
    bool moved = false;
    ForEachBase(record, version_,
                [&](EntityBase& base, const PartInfo&) { moved = Move(base) || moved; });
    if (Stopped()) {
      return;
    }
    inventory_.changed += remapped || moved ? 1 : 0;
    inventory_.moved += moved ? 1 : 0;
    if (!in_block_ && !hidden_before && OnHiddenLayer(record, inventory_.after.sheet)) {
      ++inventory_.moved_to_hidden;
    }
    Count(record, after_);
    CountMoves(record);
  }

  void OnBlockDef(const ClassTag&, TEntBlockDef& def, std::int32_t, SourceRange) override {
    ++inventory_.block_definitions;
    inventory_.moved_block_definitions += Move(def.base) ? 1 : 0;
    in_block_ = true;
  }
  void OnBlockDefEnd() override { in_block_ = false; }
  bool OnImagesBegin() override { return false; }
  bool Stopped() const override { return !failure_.ok(); }
  RecordDetail Detail() const override { return RecordDetail::kBases; }

  Result<preview::Inventory> Finish(const Status& read) {
    if (!failure_.ok()) {
      return failure_.error();
    }
    if (!read.ok()) {
      return read.error();
    }
    CountNameRules();
    return std::move(inventory_);
  }

 private:
  void Begin(const char* format, int version) {
    inventory_.format = format;
    inventory_.version = std::to_string(version);
    version_ = version;
  }

  // Each attribute block the record carries, in its part's column (block members in theirs).
  void Count(const EntityRecord& record, SideCounts& side) const {
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
      side.layers.Add(LayerIndex(base), column);
    });
  }

  // The codes of the record's drawn parts before the tables, in ForEachBase's order.
  void Remember(const EntityRecord& record) {
    parts_.clear();
    ForEachBase(record, version_, [&](const EntityBase& base, const PartInfo& part) {
      if (kColumns[static_cast<std::size_t>(part.part)]) {
        parts_.push_back({base.PenColor, HasLineType(part) ? base.PenStyle : -1, LayerIndex(base)});
      }
    });
  }

  void CountMoves(const EntityRecord& record) {
    std::size_t i = 0;
    preview::InventoryMoves& moves = inventory_.moves;
    ForEachBase(record, version_, [&](const EntityBase& base, const PartInfo& part) {
      if (!kColumns[static_cast<std::size_t>(part.part)] || i >= parts_.size()) {
        return;
      }
      const PartCodes& was = parts_[i++];
      moves.colors.Add(was.color, base.PenColor);
      if (was.line_type >= 0) {
        moves.line_types.Add(was.line_type, base.PenStyle);
      }
      moves.layers.Add(was.layer, LayerIndex(base));
    });
  }

  // Whether a part of the record that is drawn stands on a hidden layer or in a hidden group.
  bool OnHiddenLayer(const EntityRecord& record, const preview::LayerSheet& sheet) const {
    bool hidden = false;
    ForEachBase(record, version_, [&](const EntityBase& base, const PartInfo& part) {
      hidden = hidden || (kColumns[static_cast<std::size_t>(part.part)].has_value() &&
                          sheet.Hidden(LayerIndex(base)));
    });
    return hidden;
  }

  // Which layers each rule by name took, and how many parts it moved off them.
  void CountNameRules() {
    inventory_.names_known = inventory_.before.sheet.known;
    inventory_.names_unused = !inventory_.names_known && !layers_.name_rules().empty();
    if (!mover_ || layers_.name_rules().empty()) {
      return;
    }
    const LayerPlan& plan = mover_->plan();
    for (std::size_t rule = 0; rule < layers_.name_rules().size(); ++rule) {
      preview::NameRuleMoves taken{.pattern = layers_.name_rules()[rule].pattern,
                                   .target = layers_.name_rules()[rule].target.Index()};
      for (int index = 0; index < kLayerCount; ++index) {
        if (plan.rules[index] == static_cast<int>(rule)) {
          taken.layers.push_back(index);
        }
      }
      for (const auto& [move, count] : inventory_.moves.layers.moves()) {
        if (move.first < kLayerCount && plan.rules[move.first] == static_cast<int>(rule)) {
          taken.parts += count;
        }
      }
      if (!taken.layers.empty()) {
        inventory_.name_rules.push_back(std::move(taken));
      }
    }
  }

  // A layer outside 0-15 (which the write rules reset) counts under an index no layer has.
  static int LayerIndex(const EntityBase& base) {
    if (base.Layer >= kLayersPerGroup || base.LayerGroup >= kLayerGroupCount) {
      return kLayerCount;
    }
    return LayerAddress{base.LayerGroup, base.Layer}.Index();
  }

  bool Move(EntityBase& base) {
    if (!mover_) {
      return false;
    }
    const bool moved = mover_->Move(base);
    if (!mover_->status().ok() && failure_.ok()) {
      failure_ = mover_->status();
    }
    return moved;
  }

  struct PartCodes {
    int color;
    int line_type;  // -1: the part has none
    int layer;
  };

  const JwwConvSettings& table_;
  const LayerTable& layers_;
  std::vector<PartCodes> parts_;     // of the record in hand
  std::optional<LayerMover> mover_;  // once the header has told the group scales
  ColorRemapper remap_;
  const RemapRules main_rules_;
  const RemapRules member_rules_;
  preview::Inventory inventory_;
  SideCounts before_{inventory_.before};
  SideCounts after_{inventory_.after};
  int version_ = 0;
  bool in_block_ = false;
  Status failure_;
};

template <class Read>
Result<preview::Inventory> Take(ByteReader& in, const JwwConvSettings& table,
                                const LayerTable& layers, Read read) {
  InventoryBuilder builder(table, layers);
  const Status status = read(in, builder);
  return builder.Finish(status);
}

}  // namespace

Result<preview::Inventory> JwwInventory(ByteReader& in, const JwwConvSettings& table,
                                        const LayerTable& layers) {
  return Take(in, table, layers,
              [](ByteReader& reader, RecordVisitor& v) { return ReadJwwRecords(reader, v); });
}

Result<preview::Inventory> JwsInventory(ByteReader& in, const JwwConvSettings& table,
                                        const LayerTable& layers) {
  return Take(in, table, layers,
              [](ByteReader& reader, RecordVisitor& v) { return ReadJwsRecords(reader, v); });
}

}  // namespace penmorph::jw
