// The inventory panel's layer rows and hidden-layer line: the words both windows show.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/preview_panel.h"
#include "app/standards_check.h"
#include "formats/windows/inventory_builder.h"
#include "layer_test_files.h"
#include "test_support.h"

namespace penmorph::app {
namespace {

const InventoryRow* Find(const std::vector<InventoryRow>& rows, const std::string& what) {
  auto found = std::find_if(rows.begin(), rows.end(),
                            [&](const InventoryRow& row) { return row.what == what; });
  return found == rows.end() ? nullptr : &*found;
}

// The inventory of the drawing whose layers are all named "L", through `layers`.
Result<preview::Inventory> InventoryOnLayers(const LayerTable& layers) {
  const std::string bytes = testing::JwwOnLayers();
  auto in =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return jw::JwwInventory(in, JwwConvSettings{}, layers);
}

TEST(InventoryPanelRows, LayersWithNamesStatesAndTheHiddenLanding) {
  LayerTable layers;
  layers.SetTarget(LayerAddress{0, 1}.Index(), LayerAddress{1, 4});  // onto a hidden layer
  layers.SetLayerName(LayerAddress{1, 4}.Index(), "壁");
  auto inventory = InventoryOnLayers(layers);
  ASSERT_TRUE(testing::IsOk(inventory));
  const std::vector<InventoryRow> rows = InventoryRows(inventory.value());

  const InventoryRow* hidden = Find(rows, "2 個の図形が非表示レイヤに移ります");
  ASSERT_NE(hidden, nullptr);
  EXPECT_TRUE(hidden->changes);
  const InventoryRow* moved = Find(rows, "レイヤが変わる図形");
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->after, "2");

  const InventoryRow* from = Find(rows, "レイヤ 0-1 L");
  ASSERT_NE(from, nullptr);
  EXPECT_EQ(from->before, "2");
  EXPECT_EQ(from->after, "0");
  EXPECT_EQ(from->detail, "編集可能");
  EXPECT_TRUE(from->changes);
  const InventoryRow* onto = Find(rows, "レイヤ 1-4 L");
  ASSERT_NE(onto, nullptr);
  EXPECT_EQ(onto->after, "2");
  EXPECT_EQ(onto->detail, "非表示, 新しい名前 壁");
  const InventoryRow* stays = Find(rows, "レイヤ 0-2 L");
  ASSERT_NE(stays, nullptr);
  EXPECT_FALSE(stays->changes);

  // Without a move onto a hidden layer there is no such line.
  auto plain = InventoryOnLayers(LayerTable{});
  ASSERT_TRUE(testing::IsOk(plain));
  for (const InventoryRow& row : InventoryRows(plain.value())) {
    EXPECT_EQ(row.what.find("非表示レイヤ"), std::string::npos) << row.what;
    EXPECT_FALSE(row.changes) << row.what;
  }
}

TEST(InventoryPanelRows, WhatEachRuleByNameTook) {
  LayerTable layers;
  layers.SetNameRules({{"L", {0, 9}}});
  layers.SetTarget(LayerAddress{0, 2}.Index(), LayerAddress{0, 8});
  auto inventory = InventoryOnLayers(layers);
  ASSERT_TRUE(testing::IsOk(inventory));
  const std::vector<InventoryRow> rows = InventoryRows(inventory.value());
  const InventoryRow* rule = Find(rows, "名前「L」→ 0-9");
  ASSERT_NE(rule, nullptr);
  EXPECT_EQ(rule->after, "5");
  EXPECT_EQ(rule->detail.substr(0, 10), "0-0, 0-1, ");
  EXPECT_TRUE(rule->changes);
  const std::vector<std::string> lines = ChangeLines(inventory.value());
  EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                         [](const std::string& line) {
                           return line.rfind("名前「L」→ 0-9: 5 個 (0-0, 0-1, ", 0) == 0;
                         }),
            lines.end());
}

}  // namespace
}  // namespace penmorph::app
