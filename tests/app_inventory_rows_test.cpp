// The inventory panel's rows, the check's lines and the survey's tables: the words both windows
// show.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/code_labels.h"
#include "app/preview_panel.h"
#include "app/standards_check.h"
#include "app/survey_dialog.h"
#include "formats/windows/inventory_builder.h"
#include "layer_test_files.h"
#include "preview/survey.h"
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

// A solid's colour 10 is its own RGB colour: the window names it as jw_cad does, in every place
// it lists colour codes, while the machine-read outputs keep their word.
TEST(InventoryPanelRows, ASolidsOwnColourIsNamedInJapanese) {
  preview::Inventory inventory;
  inventory.family = preview::CodeFamily::kWindows;
  inventory.before.colors.Add(10, preview::InventoryColumn::kSolids);
  inventory.after.colors.Add(10, preview::InventoryColumn::kSolids);
  inventory.before.colors.Add(105, preview::InventoryColumn::kLines);
  inventory.after.colors.Add(3, preview::InventoryColumn::kLines);
  inventory.moves.colors.Add(105, 3);
  inventory.moves.colors.Add(10, 2);  // as no table does; only the words are under test

  const std::vector<InventoryRow> rows = InventoryRows(inventory);
  EXPECT_NE(Find(rows, "線色 任意色"), nullptr);
  EXPECT_NE(Find(rows, "線色 SXF 5"), nullptr);
  const std::vector<std::string> lines = ChangeLines(inventory);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "線色 任意色 → 2: 1 個"), lines.end());

  SurveyReport report;
  report.survey.Add(inventory);
  const std::vector<SurveyTable> tables = SurveyTables(report);
  ASSERT_FALSE(tables.empty());
  bool named = false;
  for (const std::vector<std::string>& row : tables.front().rows) {
    named = named || std::find(row.begin(), row.end(), "任意色") != row.end();
    EXPECT_EQ(std::find(row.begin(), row.end(), "own RGB"), row.end());
  }
  EXPECT_TRUE(named);

  // A DOS pen 10 is a pen like any other.
  EXPECT_EQ(ColorText(preview::CodeFamily::kDos, 10), "10");
  EXPECT_EQ(preview::ColorLabel(preview::CodeFamily::kWindows, 10), "own RGB");
}

}  // namespace
}  // namespace penmorph::app
