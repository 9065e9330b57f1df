// Rules by name: how a rule compares a pattern with a layer's name, and which rule wins.

#include <gtest/gtest.h>

#include "settings/layer_table.h"

namespace penmorph {
namespace {

TEST(LayerNames, BlanksWidthsAndCaseDoNotPartNames) {
  EXPECT_EQ(FoldLayerName(" \u3000外壁 \u3000\t"), U"外壁");
  EXPECT_EQ(FoldLayerName("ＡｂＣ１２3"), U"abc123");
  EXPECT_EQ(FoldLayerName("Ａ－Ｂ"), U"a－b");  // only letters and digits change width
  EXPECT_EQ(FoldLayerName("\u3000 \u3000"), U"");
  EXPECT_EQ(FoldLayerName("壁\xFF"), U"壁\uFFFD");  // a byte that is no UTF-8 still compares

  EXPECT_TRUE(LayerNameMatches("外壁", "\u3000外壁 "));
  EXPECT_TRUE(LayerNameMatches(" 南立面", "南立面"));
  EXPECT_TRUE(LayerNameMatches("a1", "Ａ１"));
  EXPECT_FALSE(LayerNameMatches("階段", "階段右面"));
  EXPECT_TRUE(LayerNameMatches("階段*", "階段右面"));
  EXPECT_TRUE(LayerNameMatches("*壁*", "外壁位置"));
  EXPECT_TRUE(LayerNameMatches("?屋根", "大屋根"));  // "?" is one character, not one byte
  EXPECT_FALSE(LayerNameMatches("?屋根", "屋根"));
  EXPECT_FALSE(LayerNameMatches("＊", "壁"));  // only the half-width "*" is a wildcard
}

TEST(LayerNames, ALayersOwnEntryWinsThenTheFirstRuleThatTakesItsName) {
  LayerTable table;
  table.SetNameRules({{"*壁*", {2, 0}}, {"外壁", {3, 0}}, {"*", {4, 0}}});
  table.SetTarget(LayerAddress{0, 2}.Index(), LayerAddress{5, 5});
  std::array<std::string, kLayerCount> names;
  names[LayerAddress{0, 1}.Index()] = "外壁";
  names[LayerAddress{0, 2}.Index()] = "内壁";
  names[LayerAddress{0, 3}.Index()] = "窓";

  const LayerPlan plan = table.PlanFor(&names);
  auto target = [&](LayerAddress layer) { return plan.targets[layer.Index()]; };
  auto rule = [&](LayerAddress layer) { return plan.rules[layer.Index()]; };
  EXPECT_EQ(target({0, 1}), (LayerAddress{2, 0}.Index()));  // "*壁*" comes before "外壁"
  EXPECT_EQ(rule({0, 1}), 0);
  EXPECT_EQ(target({0, 2}), (LayerAddress{5, 5}.Index()));  // its own entry
  EXPECT_EQ(rule({0, 2}), LayerPlan::kStays);
  EXPECT_EQ(target({0, 3}), (LayerAddress{4, 0}.Index()));
  EXPECT_EQ(rule({0, 3}), 2);
  EXPECT_EQ(target({0, 4}), LayerPlan::kStays);  // no name: no rule takes it, not even "*"
  EXPECT_TRUE(plan.MovesLayers());

  // Without names (a symbol) only the entries apply.
  const LayerPlan symbol = table.PlanFor(nullptr);
  EXPECT_EQ(symbol.targets[(LayerAddress{0, 1}.Index())], LayerPlan::kStays);
  EXPECT_EQ(symbol.targets[(LayerAddress{0, 2}.Index())], (LayerAddress{5, 5}.Index()));

  // A rule onto the layer itself moves nothing.
  LayerTable onto_itself;
  onto_itself.SetNameRules({{"外壁", {0, 1}}});
  EXPECT_FALSE(onto_itself.PlanFor(&names).MovesLayers());
}

}  // namespace
}  // namespace penmorph
