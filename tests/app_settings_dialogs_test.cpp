// The settings dialogs as the windows build them: every control inside its dialog and its group,
// names the tests and the Windows ids rely on, and the buttons' flow - fill, refusal with the
// cell to correct, the question before a layer table is taken, cancel.

#include <gtest/gtest.h>

#include <set>

#include "app/jwc_settings_form.h"
#include "app/jww_settings_form.h"
#include "app/layer_settings_form.h"
#include "app/settings_dialogs.h"

namespace penmorph::app {
namespace {

bool Inside(const DialogRect& inner, const DialogRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top &&
         inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

TEST(SettingsDialogs, EveryControlSitsInsideItsDialogAndGroupWithAUniqueName) {
  JwcConvSettings jwc;
  JwwConvSettings jww;
  LayerTable layers;
  const JwcSettingsDialog jwc_dialog(jwc);
  const JwwSettingsDialog jww_dialog(jww);
  const LayerSettingsDialog layer_dialog(layers);
  for (const DialogModel* dialog :
       std::initializer_list<const DialogModel*>{&jwc_dialog, &jww_dialog, &layer_dialog}) {
    const DialogDescription& d = dialog->description();
    SCOPED_TRACE(d.title);
    const DialogRect client{0, 0, d.width, d.height};
    std::set<std::string> names;
    for (const ControlDescription& control : d.controls) {
      SCOPED_TRACE(control.name + " " + control.text);
      EXPECT_TRUE(Inside(control.place, client));
      if (control.group >= 0) {
        ASSERT_EQ(d.controls[control.group].kind, ControlKind::kGroup);
        EXPECT_TRUE(Inside(control.place, d.controls[control.group].place));
      }
      if (!control.name.empty()) {
        EXPECT_TRUE(names.insert(control.name).second) << "twice";
      }
      if (control.kind == ControlKind::kGrid) {
        // Fixed rows have captions; a list's rows are numbered as they come.
        EXPECT_NE(control.grid.row_captions.empty(), !control.grid.numbered_rows);
        EXPECT_TRUE(control.grid.columns.at(control.grid.first_column).editable);
      }
    }
    ASSERT_GE(d.ok, 0);
    ASSERT_GE(d.cancel, 0);
    EXPECT_EQ(d.controls[d.ok].kind, ControlKind::kButton);
    EXPECT_EQ(d.controls[d.cancel].kind, ControlKind::kButton);
    EXPECT_NE(d.first_focus, -1);
    // What the dialog opens with fits what it shows.
    const DialogValues values = dialog->Open();
    ASSERT_EQ(values.size(), d.controls.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      const ControlDescription& control = d.controls[i];
      if (control.kind == ControlKind::kGrid) {
        ASSERT_EQ(values[i].columns.size(), control.grid.columns.size());
        for (const auto& column : values[i].columns) {
          EXPECT_EQ(column.size(), control.grid.numbered_rows ? values[i].columns[0].size()
                                                              : control.grid.row_captions.size());
        }
      }
      if (control.kind == ControlKind::kList) {
        EXPECT_LT(values[i].position, static_cast<int>(control.items.size()));
      }
    }
  }
  // The pen lists hold the pens, the line-type lists the line types, tabbed in number order.
  EXPECT_EQ(jwc_dialog.description().controls[jwc_dialog.List(6)].items, JwcPenItems());
  EXPECT_EQ(jwc_dialog.description().controls[jwc_dialog.List(7)].items, JwcLineTypeItems());
  for (int k = 2; k <= JwcSettingsForm::kListCount; ++k) {
    EXPECT_LT(jwc_dialog.List(k - 1), jwc_dialog.List(k));
  }
}

TEST(SettingsDialogs, JwcOkStoresTheListsOrPointsAtTheBlankLineType) {
  JwcConvSettings table;
  JwcSettingsDialog dialog(table);
  DialogValues values = dialog.Open();
  values[dialog.List(2)].position = 5;
  values[dialog.List(9)].position = JwcSettingsForm::kBlankLineType;
  DialogReply reply = dialog.Press(dialog.description().ok, values);
  EXPECT_EQ(reply.close, DialogReply::Close::kStay);
  EXPECT_EQ(reply.focus, dialog.List(9));
  EXPECT_EQ(reply.error, BlankLineTypeText(9));
  EXPECT_EQ(table.Entry(2), 5);  // the lists before it are stored

  values[dialog.List(9)].position = 3;
  values[dialog.check_box()].checked = true;
  EXPECT_EQ(dialog.Press(dialog.description().ok, values).close, DialogReply::Close::kAccept);
  EXPECT_EQ(table.Entry(9), 3);
  EXPECT_EQ(table.Entry(JwcConvSettings::kChangeTextPen), 1);
  EXPECT_EQ(dialog.Open(), values);

  values[dialog.List(1)].position = 4;
  EXPECT_EQ(dialog.Press(dialog.description().cancel, values).close, DialogReply::Close::kReject);
  EXPECT_EQ(table.Entry(1), 0);
}

TEST(SettingsDialogs, JwwFillsTheSelectedRowsAndOkOpensTheFirstRefusedCell) {
  JwwConvSettings table;
  JwwSettingsDialog dialog(table);
  DialogValues values = dialog.Open();
  ControlValue& line_types = values[dialog.line_types()];
  line_types.first_row = 2;
  line_types.last_row = 4;
  values[dialog.fill_box(1)].text = "１２";
  DialogReply reply = dialog.Press(dialog.fill_button(1), values);
  EXPECT_TRUE(reply.error.empty());
  EXPECT_EQ(values[dialog.fill_box(1)].text, "12");
  EXPECT_EQ(line_types.columns[0][1], "0");
  EXPECT_EQ(line_types.columns[0][2], "12");
  EXPECT_EQ(line_types.columns[0][4], "12");
  EXPECT_EQ(line_types.columns[0][5], "0");

  values[dialog.fill_box(0)].text = "10";  // no colour
  reply = dialog.Press(dialog.fill_button(0), values);
  EXPECT_EQ(reply.focus, dialog.fill_box(0));
  EXPECT_EQ(reply.error, FillRefusalText("10", ValueRule::kColour));
  EXPECT_EQ(values[dialog.colours()].columns[0][0], "0");

  values[dialog.colours()].columns[0][3] = "０３";
  values[dialog.line_types()].columns[0][7] = "10";
  values[dialog.option(6)].checked = true;
  reply = dialog.Press(dialog.description().ok, values);
  EXPECT_EQ(reply.close, DialogReply::Close::kStay);
  EXPECT_EQ(reply.focus, dialog.line_types());
  EXPECT_EQ(reply.edit_row, 7);
  EXPECT_EQ(reply.edit_column, 0);
  EXPECT_FALSE(reply.error.empty());
  EXPECT_EQ(values[dialog.colours()].columns[0][3], "3");  // checked cells show their value
  EXPECT_EQ(table.Entry(4), 0);                            // nothing stored

  values[dialog.line_types()].columns[0][7] = "11";
  EXPECT_EQ(dialog.Press(dialog.description().ok, values).close, DialogReply::Close::kAccept);
  EXPECT_EQ(table.Entry(4), 3);
  EXPECT_EQ(table.Entry(266 + 7), 11);
  EXPECT_EQ(table.Entry(266 + 3), 12);
  EXPECT_EQ(table.Entry(315 + 5), 1);
  // Opened again, the grids show the table and the fill boxes what was typed last.
  const DialogValues reopened = dialog.Open(values);
  EXPECT_EQ(reopened[dialog.fill_box(1)].text, "12");
  EXPECT_EQ(reopened[dialog.colours()].columns[0][3], "3");
  EXPECT_EQ(dialog.Open()[dialog.fill_box(1)].text, "");
}

TEST(SettingsDialogs, LayerOkAsksBeforeTakingATableAndNoKeepsTheDialogOpen) {
  LayerTable table;
  LayerSettingsDialog dialog(table);
  std::string asked_about;
  dialog.SetDrawingLayers(nullptr, [&](const LayerTable& proposed) {
    asked_about = proposed.Target(0x05) ? "moves" : "stays";
    return std::string("移しますか？");
  });
  DialogValues values = dialog.Open();
  ControlValue& layers = values[dialog.layers()];
  layers.first_row = 5;
  layers.last_row = 6;
  values[dialog.fill_box()].text = "2-x";
  DialogReply reply = dialog.Press(dialog.fill_button(), values);
  EXPECT_EQ(reply.focus, dialog.fill_box());
  EXPECT_EQ(reply.error, FillTargetRefusalText("2-x"));
  values[dialog.fill_box()].text = "2-a";
  EXPECT_TRUE(dialog.Press(dialog.fill_button(), values).error.empty());
  EXPECT_EQ(layers.columns[LayerSettingsDialog::kTarget][6], "2-A");

  layers.columns[LayerSettingsDialog::kTarget][9] = "G-1";
  reply = dialog.Press(dialog.description().ok, values);
  EXPECT_EQ(reply.focus, dialog.layers());
  EXPECT_EQ(reply.edit_row, 9);
  EXPECT_EQ(reply.edit_column, LayerSettingsDialog::kTarget);
  EXPECT_TRUE(asked_about.empty());

  layers.columns[LayerSettingsDialog::kTarget][9] = "";
  values[dialog.groups()].columns[LayerSettingsDialog::kGroupNewName][2] = "平面";
  reply = dialog.Press(dialog.description().ok, values);
  EXPECT_EQ(reply.question, "移しますか？");
  EXPECT_EQ(asked_about, "moves");
  EXPECT_EQ(dialog.Answer(false).close, DialogReply::Close::kStay);
  EXPECT_FALSE(table.Target(0x05));

  ASSERT_FALSE(dialog.Press(dialog.description().ok, values).question.empty());
  EXPECT_EQ(dialog.Answer(true).close, DialogReply::Close::kAccept);
  EXPECT_EQ(table.Target(0x06), (LayerAddress{2, 10}));
  EXPECT_EQ(table.GroupName(2), "平面");
  EXPECT_EQ(dialog.Open()[dialog.layers()].columns[LayerSettingsDialog::kTarget][5], "2-A");
}

TEST(SettingsDialogs, TheListOfRulesByNameGrowsMovesShowsWhatItTakesAndIsChecked) {
  using L = LayerSettingsDialog;
  LayerTable table;
  table.SetNameRules({{"*壁*", {0, 2}}});
  L dialog(table);
  preview::LayerSheet sheet;
  sheet.known = true;
  sheet.names[0x03] = "　外壁";
  sheet.names[0x05] = "内壁";
  sheet.names[0x07] = "屋根";
  dialog.SetDrawingLayers(&sheet);
  DialogValues values = dialog.Open();
  ControlValue& list = values[dialog.name_rules()];
  auto column = [&](int c) { return list.columns[static_cast<std::size_t>(c)]; };
  using Rows = std::vector<std::string>;
  EXPECT_EQ(column(L::kPattern), Rows{"*壁*"});
  EXPECT_EQ(column(L::kPatternTarget), Rows{"0-2"});
  EXPECT_EQ(column(L::kTaken), Rows{"0-3 \u3000外壁, 0-5 内壁"});

  // Added at the end, its name's editor open; what it takes follows the typing.
  DialogReply reply = dialog.Press(dialog.list_button(0), values);
  EXPECT_EQ(reply.focus, dialog.name_rules());
  EXPECT_EQ(reply.edit_row, 1);
  EXPECT_EQ(reply.edit_column, L::kPattern);
  list.columns[L::kPattern][1] = "屋根";
  list.columns[L::kPatternTarget][1] = "１－ａ";  // as a Japanese input method types it
  ASSERT_TRUE(dialog.CellEdited(dialog.name_rules(), values));
  EXPECT_EQ(column(L::kTaken), (Rows{"0-3 \u3000外壁, 0-5 内壁", "0-7 屋根"}));
  // A layer's own target wins over the rules.
  values[dialog.layers()].columns[L::kTarget][0x05] = "0-9";
  ASSERT_TRUE(dialog.CellEdited(dialog.layers(), values));
  EXPECT_EQ(column(L::kTaken)[0], "0-3 \u3000外壁");
  values[dialog.layers()].columns[L::kTarget][0x05] = "";
  // So does a range fill of targets.
  values[dialog.layers()].first_row = values[dialog.layers()].last_row = 0x03;
  values[dialog.fill_box()].text = "0-9";
  ASSERT_TRUE(dialog.Press(dialog.fill_button(), values).error.empty());
  EXPECT_EQ(column(L::kTaken)[0], "0-5 内壁");
  values[dialog.layers()].columns[L::kTarget][0x03] = "";
  values[dialog.fill_box()].text = "";

  // Up: the second row goes first and stays selected; up again changes nothing.
  list.first_row = list.last_row = 1;
  reply = dialog.Press(dialog.list_button(2), values);
  EXPECT_EQ(reply.select_row, 0);
  EXPECT_EQ(column(L::kPattern), (Rows{"屋根", "*壁*"}));
  list.first_row = list.last_row = 0;
  EXPECT_EQ(dialog.Press(dialog.list_button(2), values).select_row, 0);
  EXPECT_EQ(column(L::kPattern), (Rows{"屋根", "*壁*"}));
  EXPECT_EQ(dialog.Press(dialog.list_button(3), values).select_row, 1);
  EXPECT_EQ(column(L::kPattern), (Rows{"*壁*", "屋根"}));

  // A rule without a target is refused at OK, its cell opened; a blank row is dropped.
  dialog.Press(dialog.list_button(0), values);
  list.columns[L::kPattern].push_back("窓");
  list.columns[L::kPatternTarget].push_back("");
  list.columns[L::kTaken].push_back("");
  reply = dialog.Press(dialog.description().ok, values);
  EXPECT_EQ(reply.focus, dialog.name_rules());
  EXPECT_EQ(reply.edit_row, 3);
  EXPECT_EQ(reply.edit_column, L::kPatternTarget);
  EXPECT_NE(reply.error.find("名前で指定の 4 行目"), std::string::npos) << reply.error;
  EXPECT_EQ(table.name_rules().size(), 1u);

  // Removing the selected rows selects the row that comes up in their place.
  list.first_row = 3;
  list.last_row = 2;
  reply = dialog.Press(dialog.list_button(1), values);
  EXPECT_EQ(reply.select_row, 1);
  EXPECT_EQ(column(L::kPattern), (Rows{"*壁*", "屋根"}));
  list.columns[L::kPattern][1] = "屋根=";
  reply = dialog.Press(dialog.description().ok, values);
  EXPECT_EQ(reply.edit_column, L::kPattern);
  EXPECT_NE(reply.error.find("設定ファイルに書けません"), std::string::npos) << reply.error;
  list.columns[L::kPattern][1] = " 屋根 ";
  EXPECT_EQ(dialog.Press(dialog.description().ok, values).close, DialogReply::Close::kAccept);
  const std::vector<LayerNameRule> expected = {{"*壁*", {0, 2}}, {"屋根", {1, 10}}};
  EXPECT_EQ(table.name_rules(), expected);
  EXPECT_EQ(column(L::kPatternTarget), (Rows{"0-2", "1-A"}));  // written as jw_cad writes layers
}

}  // namespace
}  // namespace penmorph::app
