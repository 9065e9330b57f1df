// The value rules of the settings dialogs: typed numbers, the range fill, the check row by row
// with the message that refuses a cell, and the drop-down lists' positions.

#include <gtest/gtest.h>

#include "app/jwc_settings_form.h"
#include "app/jww_settings_form.h"
#include "app/layer_settings_form.h"
#include "app/typed_number.h"
#include "formats/standard_formats.h"
#include "layer_test_files.h"
#include "test_support.h"

namespace penmorph::app {
namespace {

TEST(TypedNumber, FullWidthDigitsSignsAndBlanksCountAsAscii) {
  struct Case {
    const char* text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"２", 2},   {"１９", 19}, {"－１", -1},       {"＋３", 3}, {"　７", 7},
      {"1２", 12}, {"７　", 0},  {"$Ｆ", 0},         {"＄F", 0},  {"ｘ9", 0},
      {"２ａ", 0}, {"", 0},      {"  7", 7},         {"7 ", 0},   {"$F", 15},
      {"0x9", 9},  {"+3", 3},    {"99999999999", 0}, {"０x9", 9}, {"－", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadTypedNumber(c.text), c.value) << c.text;
  }
  EXPECT_EQ(HalfWidthNumberText("　－０９＋ア"), " -09+ア");
}

TEST(JwwSettingsForm, OpensWithTheStoredValuesAndAnyNonZeroOptionChecked) {
  JwwConvSettings table;
  table.SetEntry(12, 15);  // out of range, from a settings file: shown as it is
  table.SetEntry(266, 19);
  table.SetEntry(316, 2);
  table.SetEntry(321, -1);
  const JwwSettingsForm form = JwwFormFromTable(table);
  ASSERT_EQ(form.colours.size(), 265u);
  ASSERT_EQ(form.line_types.size(), 49u);
  EXPECT_EQ(form.colours[11], "15");
  EXPECT_EQ(form.line_types[0], "19");
  EXPECT_EQ(form.options, (std::array<bool, 7>{false, true, false, false, false, false, true}));
  EXPECT_EQ(ColourRowCaptions().size(), 265u);
  EXPECT_EQ(ColourRowCaptions()[11], "SXF 3:green");
  EXPECT_EQ(ColourRowCaptions()[264], "SXF USER定義線色 256");
  EXPECT_EQ(LineTypeRowCaptions().size(), 49u);
  EXPECT_EQ(LineTypeRowCaptions()[17], "倍長線種４");
  EXPECT_EQ(LineTypeRowCaptions()[33], "SXF USER定義線種 17");
}

TEST(JwwSettingsForm, FillWritesTheDecimalTextIntoTheRangeOrRefusesAndChangesNothing) {
  std::vector<std::string> cells(10, "0");
  EXPECT_EQ(FillRows(cells, 2, 8, "７", ValueRule::kColour), "7");
  EXPECT_EQ(cells, (std::vector<std::string>{"0", "0", "7", "7", "7", "7", "7", "7", "7", "0"}));
  const std::vector<std::string> before = cells;
  EXPECT_FALSE(FillRows(cells, 0, 9, "12", ValueRule::kColour));
  EXPECT_EQ(cells, before);
  EXPECT_EQ(FillRows(cells, 5, 4, "１２", ValueRule::kLineType), "12");  // either way round
  EXPECT_EQ(cells[4], "12");
  EXPECT_EQ(cells[5], "12");
  EXPECT_EQ(FillRows(cells, 9, 9, "", ValueRule::kLineType), "0");  // empty reads as 0
  EXPECT_FALSE(FillRows(cells, 0, 0, "10", ValueRule::kLineType));
  EXPECT_FALSE(FillRows(cells, 0, 0, "－１", ValueRule::kColour));
}

TEST(JwwSettingsForm, ConfirmChecksRowByRowAndStoresOnlyWhenEveryCellPasses) {
  JwwConvSettings table;
  table.SetEntry(2, 4);
  const JwwConvSettings before = table;
  JwwSettingsForm form = JwwFormFromTable(table);
  form.colours[2] = "05";
  form.colours[11] = "15";
  form.line_types[4] = "１９";
  form.options[4] = true;
  // The message names the row as the grid captions it, the text as typed and the range.
  EXPECT_EQ(ConfirmJwwForm(form, table),
            (RefusedCell{RefusedCell::kColours, 11,
                         "SXF 3:green の値 15 は 0〜9 の範囲で入力して下さい。"}));
  EXPECT_TRUE(table == before);
  EXPECT_EQ(form.colours[2], "5");        // passed, so rewritten as decimal
  EXPECT_EQ(form.line_types[4], "１９");  // not reached

  form.colours[11] = "abc";  // letters read as 0: accepted
  form.line_types[7] = "１０";
  EXPECT_EQ(ConfirmJwwForm(form, table),
            (RefusedCell{RefusedCell::kLineTypes, 7,
                         "線種8:二点鎖線２ の値 １０ は 0〜9、11〜19 の範囲で入力して下さい。"}));
  EXPECT_TRUE(table == before);
  EXPECT_EQ(form.line_types[4], "19");

  form.line_types[7] = "$B";
  EXPECT_FALSE(ConfirmJwwForm(form, table));
  EXPECT_EQ(form.colours[11], "0");
  EXPECT_EQ(table.Entry(3), 5);
  EXPECT_EQ(table.Entry(12), 0);
  EXPECT_EQ(table.Entry(265 + 5), 19);
  EXPECT_EQ(table.Entry(265 + 8), 11);
  EXPECT_EQ(table.Entry(319), 1);
  EXPECT_EQ(table.Entry(321), 0);
  for (std::int32_t value : {-1, 10, 20}) {
    EXPECT_FALSE(IsValidEntry(ValueRule::kLineType, value)) << value;
  }
  EXPECT_TRUE(IsValidEntry(ValueRule::kLineType, 11));
  EXPECT_FALSE(IsValidEntry(ValueRule::kColour, 11));
}

TEST(LayerSettingsForm, OpensWithTheTableAndTheHighlightedDrawingsNames) {
  LayerTable table;
  table.SetTarget(0x03, LayerAddress{2, 5});
  table.SetLayerName(0xAF, "壁");
  table.SetGroupName(0xF, "外構");
  const LayerSettingsForm form = LayerFormFromTable(table);
  ASSERT_EQ(form.targets.size(), 256u);
  ASSERT_EQ(form.layer_names.size(), 256u);
  ASSERT_EQ(form.group_names.size(), 16u);
  EXPECT_EQ(form.targets[0x03], "2-5");
  EXPECT_EQ(form.targets[0x04], "");
  EXPECT_EQ(form.layer_names[0xAF], "壁");
  EXPECT_EQ(form.group_names[0xF], "外構");
  EXPECT_EQ(LayerRowCaptions()[0xAF], "A-F");
  EXPECT_EQ(GroupRowCaptions()[0xC], "C");

  preview::LayerSheet sheet;
  sheet.names[0x12] = "通り芯";
  sheet.group_names[1] = "配置図";
  EXPECT_EQ(DrawingLayerNames(&sheet), std::vector<std::string>(256));  // not read from a file
  sheet.known = true;
  EXPECT_EQ(DrawingLayerNames(&sheet)[0x12], "通り芯");
  EXPECT_EQ(DrawingGroupNames(&sheet)[1], "配置図");
  EXPECT_EQ(DrawingGroupNames(nullptr), std::vector<std::string>(16));
}

TEST(LayerSettingsForm, FillTakesALayerInEitherCaseOrWidthOrABlankAndRefusesTheRest) {
  std::vector<std::string> targets(8);
  EXPECT_EQ(FillTargets(targets, 5, 2, "ａ－ｆ"), "A-F");  // either way round
  EXPECT_EQ(targets, (std::vector<std::string>{"", "", "A-F", "A-F", "A-F", "A-F", "", ""}));
  const std::vector<std::string> before = targets;
  for (const char* refused : {"G-1", "2-", "25", "2-5-1", "２－Ｇ"}) {
    EXPECT_FALSE(FillTargets(targets, 0, 7, refused)) << refused;
    EXPECT_EQ(targets, before) << refused;
  }
  EXPECT_EQ(FillTargets(targets, 3, 3, "　"), "");  // a blank clears
  EXPECT_EQ(targets[3], "");
  EXPECT_EQ(targets[4], "A-F");
}

TEST(LayerSettingsForm, ConfirmStopsAtTheFirstTargetNamingNoLayerAndOtherwiseReplacesTheTable) {
  LayerTable table;
  table.SetTarget(0x40, LayerAddress{0, 0});
  table.SetGroupName(3, "消える");
  const LayerTable before = table;
  LayerSettingsForm form = LayerFormFromTable(table);
  form.targets[0x01] = " 2-5 ";
  form.targets[0x20] = "2-G";
  form.targets[0x30] = "x";
  form.targets[0x40] = "";
  form.layer_names[0x25] = "壁";
  form.group_names[3] = "";
  EXPECT_EQ(ConfirmLayerForm(form, table),
            (RefusedTarget{0x20, "レイヤ 2-0 の移動先 2-G は 0-0〜F-F の形で入力して下さい。"}));
  EXPECT_EQ(table, before);
  EXPECT_EQ(form.targets[0x01], "2-5");  // passed, so rewritten as jw_cad writes it

  form.targets[0x20] = "ｂ－３";
  form.targets[0x30] = "";
  EXPECT_FALSE(ConfirmLayerForm(form, table));
  LayerTable expected;
  expected.SetTarget(0x01, LayerAddress{2, 5});
  expected.SetTarget(0x20, LayerAddress{0xB, 3});
  expected.SetLayerName(0x25, "壁");
  EXPECT_EQ(table, expected);
  EXPECT_EQ(form.targets[0x20], "B-3");
}

// OK asks before a table the highlighted drawing could not be converted with: a layer with
// entities moved into a group drawn at another scale (group 2 is at 1/50, the rest at 1/100).
TEST(LayerSettingsForm, OkAsksWhenTheHighlightedDrawingCouldNotBeConvertedWithTheTable) {
  testing::ScratchFolder scratch;
  const std::filesystem::path file = scratch / "layers.jww";
  testing::WriteBytes(file, testing::JwwOnLayers());
  const FormatRegistry formats = MakeStandardFormats();
  LayerTable clash;
  clash.SetTarget(LayerAddress{0, 1}.Index(), LayerAddress{2, 0});
  EXPECT_EQ(LayerMoveQuestion(formats, file, ConversionTables{}, clash),
            "プレビュー中の図面「layers.jww」は、このレイヤ設定では変換できません。\nレイヤ 0-1 "
            "の図形を縮尺 1/100 のグループ 0 から縮尺 1/50 のグループ 2 "
            "へ移すことになり、用紙上の大きさが変わります。\nこのまま設定しますか？");
  LayerTable same_scale;
  same_scale.SetTarget(LayerAddress{0, 1}.Index(), LayerAddress{1, 0});
  EXPECT_EQ(LayerMoveQuestion(formats, file, ConversionTables{}, same_scale), "");
  EXPECT_EQ(LayerMoveQuestion(formats, std::nullopt, ConversionTables{}, clash), "");
}

TEST(JwcSettingsForm, OutOfRangeOpensAsNoConversionAndTheBlankLineTypeStopsTheConfirmation) {
  JwcConvSettings table;
  table.SetEntry(1, -1);
  table.SetEntry(3, 9);  // no such pen
  table.SetEntry(6, 6);
  table.SetEntry(8, 19);  // no such line type
  table.SetEntry(9, 10);  // the blank item
  table.SetEntry(10, 4);
  table.SetEntry(24, 5);
  JwcSettingsForm form = JwcFormFromTable(table);
  EXPECT_EQ(form.positions[0], 0);
  EXPECT_EQ(form.positions[2], 0);
  EXPECT_EQ(form.positions[5], 6);
  EXPECT_EQ(form.positions[7], 0);
  EXPECT_EQ(form.positions[8], 10);
  EXPECT_TRUE(form.change_text_pen);
  EXPECT_EQ(JwcItemCount(6), 7);
  EXPECT_EQ(JwcItemCount(7), 19);
  EXPECT_EQ(JwcLineTypeItems()[18], "倍長線種３");

  form.positions[0] = 1;
  form.positions[9] = 0;
  form.change_text_pen = false;
  EXPECT_EQ(ConfirmJwcForm(form, table), 9);
  EXPECT_EQ(table.Entry(1), 1);  // before the refused list: stored
  EXPECT_EQ(table.Entry(3), 0);
  EXPECT_EQ(table.Entry(9), 10);
  EXPECT_EQ(table.Entry(10), 4);  // after it: as it was
  EXPECT_EQ(table.Entry(24), 5);

  form.positions[8] = 0;
  form.positions[6] = 18;
  EXPECT_FALSE(ConfirmJwcForm(form, table));
  EXPECT_EQ(table.Entry(7), 18);
  EXPECT_EQ(table.Entry(10), 0);
  EXPECT_EQ(table.Entry(24), 0);
}

}  // namespace
}  // namespace penmorph::app
