#include "app/settings_dialogs.h"

#include <algorithm>
#include <set>
#include <utility>

#include "app/dialog_texts.h"
#include "app/jwc_settings_form.h"
#include "app/jww_settings_form.h"
#include "app/layer_settings_form.h"

namespace penmorph::app {


int DialogBuilder::Add(ControlDescription control) {
  description_.controls.push_back(std::move(control));
  return static_cast<int>(description_.controls.size()) - 1;
}

int DialogBuilder::Label(std::string name, std::string text, DialogRect place, int group) {
  return Add({.kind = ControlKind::kLabel,
              .name = std::move(name),
              .text = std::move(text),
              .place = place,
              .group = group});
}

int DialogBuilder::Hint(std::string name, std::string text, DialogRect place, int font_pixels) {
  return Add({.kind = ControlKind::kHint,
              .name = std::move(name),
              .text = std::move(text),
              .place = place,
              .font_pixels = font_pixels});
}

int DialogBuilder::Edit(std::string name, DialogRect place) {
  return Add({.kind = ControlKind::kEdit, .name = std::move(name), .place = place});
}

int DialogBuilder::Button(std::string name, std::string text, DialogRect place) {
  return Add({.kind = ControlKind::kButton,
              .name = std::move(name),
              .text = std::move(text),
              .place = place});
}

DialogValues DialogModel::Open(const DialogValues& shown) const {
  DialogValues values = Load();
  for (std::size_t i = 0; i < values.size() && i < shown.size(); ++i) {
    if (description_.controls[i].kind == ControlKind::kEdit) {
      values[i].text = shown[i].text;
    }
  }
  return values;
}

namespace {

std::string Numbered(std::string_view name, int k) {
  return std::string(name) + std::to_string(k);
}

// Makes every value the kind of its control, so that a view fills in only what it shows.
DialogValues EmptyValues(const DialogDescription& description) {
  DialogValues values(description.controls.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    const ControlDescription& control = description.controls[i];
    if (control.kind == ControlKind::kGrid) {
      values[i].columns.assign(control.grid.columns.size(),
                               std::vector<std::string>(control.grid.row_captions.size()));
    }
  }
  return values;
}

// The reply to a refused range fill: the box says why and takes the focus.
DialogReply RefusedFill(std::string message, int box) {
  return {.error = std::move(message), .focus = box};
}

DialogReply Accepted() {
  return {.close = DialogReply::Close::kAccept};
}

DialogReply Rejected() {
  return {.close = DialogReply::Close::kReject};
}

}  // namespace

// --- JWC/JWK ---

JwcSettingsDialog::JwcSettingsDialog(JwcConvSettings& table) : table_(table) {
  description_ = {
      .name = "Form2", .title = std::string(dialog_texts::kJwcTitle), .width = 602, .height = 279};
  DialogBuilder add(description_);
  lists_.assign(JwcSettingsForm::kListCount, -1);
  auto list = [&](int k, DialogRect place, int group) {
    const auto& items =
        k < JwcSettingsForm::kFirstLineTypeList ? JwcPenItems() : JwcLineTypeItems();
    lists_[k - 1] = add.Add({.kind = ControlKind::kList,
                             .name = Numbered("ComboBox", k),
                             .place = place,
                             .group = group,
                             .items = items});
  };
  const int pens = add.Add({.kind = ControlKind::kGroup,
                            .name = "GroupBox1",
                            .text = std::string(dialog_texts::kPenGroup),
                            .place = {0, 0, 201, 241}});
  for (int row = 0; row < 6; ++row) {
    const int top = 24 * (row + 1);
    const dialog_texts::PenRow& pen = dialog_texts::kPenRows[row];
    add.Label("", std::string(pen.label), {8, top, 36, 12}, pens);
    add.Add({.kind = ControlKind::kSwatch,
             .name = Numbered("Swatch", row + 1),
             .text = std::string(dialog_texts::kSwatch),
             .place = {48, top, 48, 12},
             .group = pens,
             .rgb = pen.rgb});
    add.Label("", std::string(dialog_texts::kArrow), {88, top, 16, 12}, pens);
    list(row + 1, {112, top - 4, 81, 20}, pens);
  }
  check_box_ = add.Add({.kind = ControlKind::kCheckBox,
                        .name = "CheckBox1",
                        .text = std::string(dialog_texts::kChangeTextPen),
                        .place = {8, 168, 185, 17},
                        .group = pens});
  constexpr int kGroupLeft = 208;
  constexpr int kLeftColumnRows = 9;
  const int line_types = add.Add({.kind = ControlKind::kGroup,
                                  .name = "GroupBox2",
                                  .text = std::string(dialog_texts::kLineTypeGroup),
                                  .place = {kGroupLeft, 0, 393, 241}});
  for (int i = 0; i < static_cast<int>(dialog_texts::kLineTypeLabels.size()); ++i) {
    const bool left_column = i < kLeftColumnRows;
    const int top = 24 * ((left_column ? i : i - kLeftColumnRows) + 1);
    const int left = kGroupLeft + (left_column ? 8 : 200);
    add.Label(Numbered("Label", 19 + i), std::string(dialog_texts::kLineTypeLabels[i]),
              {left, top, 72, 12}, line_types);
    list(JwcSettingsForm::kFirstLineTypeList + i, {left + 80, top - 4, 105, 20}, line_types);
  }
  description_.ok = add.Button("Button1", std::string(dialog_texts::kOkButton), {368, 248, 105, 25});
  description_.cancel =
      add.Button("Button2", std::string(dialog_texts::kCancelButton), {496, 248, 105, 25});
  description_.first_focus = lists_[0];
}

DialogValues JwcSettingsDialog::Load() const {
  DialogValues values = EmptyValues(description_);
  const JwcSettingsForm form = JwcFormFromTable(table_);
  for (int k = 1; k <= JwcSettingsForm::kListCount; ++k) {
    values[List(k)].position = form.positions[k - 1];
  }
  values[check_box_].checked = form.change_text_pen;
  return values;
}

DialogReply JwcSettingsDialog::Press(int button, DialogValues& values) {
  if (button != description_.ok) {
    return Rejected();
  }
  JwcSettingsForm form;
  for (int k = 1; k <= JwcSettingsForm::kListCount; ++k) {
    form.positions[k - 1] = values[List(k)].position;
  }
  form.change_text_pen = values[check_box_].checked;
  if (auto refused = ConfirmJwcForm(form, table_)) {
    // The lists before this one are already stored.
    return {.error = BlankLineTypeText(*refused), .focus = List(*refused)};
  }
  return Accepted();
}

// --- JWW/JWS ---

JwwSettingsDialog::JwwSettingsDialog(JwwConvSettings& table) : table_(table) {
  description_ = {
      .name = "Form3", .title = std::string(dialog_texts::kJwwTitle), .width = 582, .height = 445};
  DialogBuilder add(description_);
  const std::string corner(dialog_texts::kGridCorner);
  const std::string grid_labels[2] = {std::string(dialog_texts::kColourGridLabel),
                                      std::string(dialog_texts::kLineTypeGridLabel)};
  const std::string headings[2] = {std::string(dialog_texts::kColourGridHeading),
                                   std::string(dialog_texts::kLineTypeGridHeading)};
  const std::vector<std::string> captions[2] = {ColourRowCaptions(), LineTypeRowCaptions()};
  for (int grid = 0; grid < 2; ++grid) {
    const int left = grid == 0 ? 8 : 296;
    add.Label(Numbered("Label", grid + 1), grid_labels[grid], {left, 8, 48, 12});
    grids_[grid] = add.Add({.kind = ControlKind::kGrid,
                            .name = Numbered("StringGrid", grid + 1),
                            .place = {left, 24, 281, 217},
                            .grid = {.corner = corner,
                                     .row_captions = captions[grid],
                                     .columns = {{headings[grid], 118, true}}}});
  }
  for (int grid = 0; grid < 2; ++grid) {
    const int left = grid == 0 ? 8 : 296;
    add.Label(Numbered("Label", 3 + 2 * grid), std::string(dialog_texts::kFillBefore),
              {left, 252, 120, 12});
    boxes_[grid] = add.Edit(Numbered("Edit", grid + 1), {left + 128, 248, 49, 20});
    add.Label(Numbered("Label", 4 + 2 * grid), std::string(dialog_texts::kFillAfter),
              {left + 184, 252, 36, 12});
    fills_[grid] = add.Button(Numbered("Button", grid + 1), std::string(dialog_texts::kFillButton),
                              {left + 232, 248, 49, 20});
  }
  add.Label("Label8", std::string(dialog_texts::kSelectionHint), {8, 272, 552, 12});
  add.Hint("Label7", std::string(dialog_texts::kRangeHint), {8, 288, 570, 15}, 15);
  add.Hint("Label9", std::string(dialog_texts::kZeroHint), {8, 304, 240, 15}, 15);
  constexpr DialogRect kOptionPlaces[JwwSettingsForm::kOptionCount] = {
      {8, 328, 209, 17}, {8, 352, 209, 17},   {8, 376, 281, 17},   {8, 400, 281, 17},
      {8, 424, 281, 17}, {296, 328, 225, 17}, {296, 352, 225, 17},
  };
  for (int k = 1; k <= JwwSettingsForm::kOptionCount; ++k) {
    options_.push_back(add.Add({.kind = ControlKind::kCheckBox,
                                .name = Numbered("CheckBox", k),
                                .text = std::string(dialog_texts::kJwwOptions[k - 1]),
                                .place = kOptionPlaces[k - 1]}));
  }
  description_.ok = add.Button("Button3", std::string(dialog_texts::kOkButton), {352, 416, 105, 25});
  description_.cancel =
      add.Button("Button4", std::string(dialog_texts::kCancelButton), {472, 416, 105, 25});
  description_.first_focus = grids_[0];
}

DialogValues JwwSettingsDialog::Load() const {
  DialogValues values = EmptyValues(description_);
  const JwwSettingsForm form = JwwFormFromTable(table_);
  values[colours()].columns[0] = form.colours;
  values[line_types()].columns[0] = form.line_types;
  for (int k = 1; k <= JwwSettingsForm::kOptionCount; ++k) {
    values[option(k)].checked = form.options[k - 1];
  }
  return values;
}

DialogReply JwwSettingsDialog::Press(int button, DialogValues& values) {
  if (button == description_.ok) {
    return Confirm(values);
  }
  for (int grid = 0; grid < 2; ++grid) {
    if (button == fills_[grid]) {
      return Fill(grid, values);
    }
  }
  return Rejected();
}

DialogReply JwwSettingsDialog::Fill(int grid, DialogValues& values) const {
  const ValueRule rule = grid == 0 ? kJwwColours.rule : kJwwLineTypes.rule;
  ControlValue& cells = values[grids_[grid]];
  std::string& typed = values[boxes_[grid]].text;
  const auto text = FillRows(cells.columns[0], static_cast<std::size_t>(cells.first_row),
                             static_cast<std::size_t>(cells.last_row), typed, rule);
  if (!text) {
    return RefusedFill(FillRefusalText(typed, rule), boxes_[grid]);
  }
  typed = *text;
  return {};
}

DialogReply JwwSettingsDialog::Confirm(DialogValues& values) {
  JwwSettingsForm form;
  form.colours = values[colours()].columns[0];
  form.line_types = values[line_types()].columns[0];
  for (int k = 1; k <= JwwSettingsForm::kOptionCount; ++k) {
    form.options[k - 1] = values[option(k)].checked;
  }
  const auto refused = ConfirmJwwForm(form, table_);
  // Cells checked before a refused one show their decimal value, as after a success.
  values[colours()].columns[0] = form.colours;
  values[line_types()].columns[0] = form.line_types;
  if (refused) {
    return {.error = refused->message,
            .focus = refused->grid == RefusedCell::kColours ? colours() : line_types(),
            .edit_row = static_cast<int>(refused->row),
            .edit_column = 0};
  }
  return Accepted();
}

// --- Layers ---

LayerSettingsDialog::LayerSettingsDialog(LayerTable& table)
    : table_(table),
      drawing_layer_names_(DrawingLayerNames(nullptr)),
      drawing_group_names_(DrawingGroupNames(nullptr)) {
  description_ = {
      .name = "Form4", .title = std::string(dialog_texts::kLayerTitle), .width = 1064, .height = 470};
  DialogBuilder add(description_);
  const std::string drawing_name(dialog_texts::kDrawingNameHeading);
  const std::string new_name(dialog_texts::kNewNameHeading);
  // The grids' labels keep their "&": Alt and the letter go to the grid.
  const int layer_label = add.Label("Label1", std::string(dialog_texts::kLayerGridLabel), {8, 8, 120, 12});
  layers_ = add.Add({.kind = ControlKind::kGrid,
                     .name = "StringGrid1",
                     .place = {8, 24, 426, 313},
                     .grid = {.caption_width = 48,
                              .row_height = 22,
                              .row_captions = LayerRowCaptions(),
                              .columns = {{drawing_name, 150, false},
                                          {std::string(dialog_texts::kTargetHeading), 56, true},
                                          {new_name, 150, true}},
                              .first_column = kTarget}});
  description_.controls[layer_label].buddy = layers_;
  const int group_label =
      add.Label("Label2", std::string(dialog_texts::kGroupGridLabel), {446, 8, 160, 12});
  groups_ = add.Add({.kind = ControlKind::kGrid,
                     .name = "StringGrid2",
                     .place = {446, 24, 306, 313},
                     .grid = {.caption_width = 48,
                              .row_height = 22,
                              .row_captions = GroupRowCaptions(),
                              .columns = {{drawing_name, 110, false}, {new_name, 124, true}},
                              .first_column = kGroupNewName}});
  description_.controls[group_label].buddy = groups_;
  const int names_label =
      add.Label("Label9", std::string(dialog_texts::kNameRulesLabel), {764, 8, 200, 12});
  names_ = add.Add({.kind = ControlKind::kGrid,
                    .name = "StringGrid3",
                    .place = {764, 24, 292, 313},
                    .grid = {.caption_width = 28,
                             .row_height = 22,
                             .columns = {{std::string(dialog_texts::kPatternHeading), 96, true},
                                         {std::string(dialog_texts::kTargetHeading), 52, true},
                                         {std::string(dialog_texts::kTakenHeading), 96, false}},
                             .first_column = kPattern,
                             .numbered_rows = true}});
  description_.controls[names_label].buddy = names_;
  const std::string_view list_captions[] = {dialog_texts::kAddRuleButton, dialog_texts::kRemoveRuleButton,
                                            dialog_texts::kRuleUpButton, dialog_texts::kRuleDownButton};
  for (int k = 0; k < 4; ++k) {
    list_buttons_[k] = add.Button(Numbered("Button", k + 4), std::string(list_captions[k]),
                                  {764 + k * 74, 344, 68, 22});
  }
  add.Label("Label11", std::string(dialog_texts::kWildcardHint), {764, 372, 292, 12});
  add.Label("Label3", std::string(dialog_texts::kFillBefore), {8, 348, 120, 12});
  box_ = add.Edit("Edit1", {136, 344, 49, 20});
  add.Label("Label4", std::string(dialog_texts::kFillAfter), {192, 348, 36, 12});
  fill_ = add.Button("Button1", std::string(dialog_texts::kFillButton), {240, 344, 49, 20});
  add.Label("Label5", std::string(dialog_texts::kSelectionHint), {8, 372, 744, 12});
  add.Hint("Label6", std::string(dialog_texts::kLayerHint), {8, 390, 744, 15});
  add.Hint("Label7", std::string(dialog_texts::kLayerNameHint), {8, 406, 744, 15});
  add.Hint("Label8", std::string(dialog_texts::kLayerScaleHint), {8, 422, 744, 15});
  add.Hint("Label10", std::string(dialog_texts::kNameRulesHint), {8, 438, 800, 15});
  description_.ok = add.Button("Button2", std::string(dialog_texts::kOkButton), {836, 440, 105, 25});
  description_.cancel =
      add.Button("Button3", std::string(dialog_texts::kCancelButton), {951, 440, 105, 25});
  description_.first_focus = layers_;
}

void LayerSettingsDialog::SetDrawingLayers(const preview::LayerSheet* sheet,
                                           MoveQuestion question) {
  move_question_ = std::move(question);
  drawing_layer_names_ = DrawingLayerNames(sheet);
  drawing_group_names_ = DrawingGroupNames(sheet);
}

DialogValues LayerSettingsDialog::Load() const {
  DialogValues values = EmptyValues(description_);
  const LayerSettingsForm form = LayerFormFromTable(table_);
  auto& layers = values[layers_].columns;
  layers[kLayerDrawingName] = drawing_layer_names_;
  layers[kTarget] = form.targets;
  layers[kLayerNewName] = form.layer_names;
  auto& groups = values[groups_].columns;
  groups[kGroupDrawingName] = drawing_group_names_;
  groups[kGroupNewName] = form.group_names;
  auto& names = values[names_].columns;
  names[kPattern] = form.patterns;
  names[kPatternTarget] = form.pattern_targets;
  std::set<std::u32string> listed;
  for (const std::string& pattern : form.patterns) {
    listed.insert(FoldLayerName(pattern));
  }
  for (const std::string& name : offered_names_) {
    if (listed.insert(FoldLayerName(name)).second) {
      names[kPattern].push_back(name);
      names[kPatternTarget].emplace_back();
    }
  }
  ShowTaken(values);
  return values;
}

void LayerSettingsDialog::ShowTaken(DialogValues& values) const {
  auto& names = values[names_].columns;
  names[kTaken] =
      TakenLayersText(drawing_layer_names_, values[layers_].columns[kTarget], names[kPattern]);
}

bool LayerSettingsDialog::CellEdited(int grid, DialogValues& values) {
  if (grid != names_ && grid != layers_) {
    return false;
  }
  ShowTaken(values);
  return true;
}

DialogReply LayerSettingsDialog::EditList(int k, DialogValues& values) const {
  ControlValue& list = values[names_];
  auto& rows = list.columns;
  const int count = static_cast<int>(rows[kPattern].size());
  const int first = std::clamp(std::min(list.first_row, list.last_row), 0, std::max(count - 1, 0));
  const int last = std::clamp(std::max(list.first_row, list.last_row), 0, std::max(count - 1, 0));
  DialogReply reply{.focus = names_};
  if (k == 0) {  // add: a row at the end, its name typed first
    for (auto& column : rows) {
      column.emplace_back();
    }
    reply.edit_row = count;
    reply.edit_column = kPattern;
  } else if (count == 0) {
    return reply;
  } else if (k == 1) {  // remove the selected rows
    for (auto& column : rows) {
      column.erase(column.begin() + first, column.begin() + last + 1);
    }
    reply.select_row = std::min(first, count - (last - first + 1) - 1);
  } else {  // up or down: the selected rows move past their neighbour
    const bool up = k == 2;
    if ((up && first == 0) || (!up && last == count - 1)) {
      reply.select_row = up ? first : last;
      return reply;
    }
    for (auto& column : rows) {
      if (up) {
        std::rotate(column.begin() + first - 1, column.begin() + first, column.begin() + last + 1);
      } else {
        std::rotate(column.begin() + first, column.begin() + last + 1, column.begin() + last + 2);
      }
    }
    reply.select_row = up ? first - 1 : first + 1;
  }
  ShowTaken(values);
  return reply;
}

DialogReply LayerSettingsDialog::Press(int button, DialogValues& values) {
  if (button == fill_) {
    return Fill(values);
  }
  if (button == description_.ok) {
    return Confirm(values);
  }
  for (int k = 0; k < 4; ++k) {
    if (button == list_buttons_[k]) {
      return EditList(k, values);
    }
  }
  offered_names_.clear();
  return Rejected();
}

DialogReply LayerSettingsDialog::Fill(DialogValues& values) const {
  ControlValue& layers = values[layers_];
  std::string& typed = values[box_].text;
  const auto text =
      FillTargets(layers.columns[kTarget], static_cast<std::size_t>(std::max(layers.first_row, 0)),
                  static_cast<std::size_t>(std::max(layers.last_row, 0)), typed);
  if (!text) {
    return RefusedFill(FillTargetRefusalText(typed), box_);
  }
  typed = *text;
  ShowTaken(values);  // a layer given a target is no longer the rules' to take
  return {};
}

DialogReply LayerSettingsDialog::Confirm(DialogValues& values) {
  LayerSettingsForm form;
  form.targets = values[layers_].columns[kTarget];
  form.layer_names = values[layers_].columns[kLayerNewName];
  form.group_names = values[groups_].columns[kGroupNewName];
  form.patterns = values[names_].columns[kPattern];
  form.pattern_targets = values[names_].columns[kPatternTarget];
  proposed_ = table_;
  const auto refused = ConfirmLayerForm(form, proposed_);
  values[layers_].columns[kTarget] = form.targets;
  values[names_].columns[kPattern] = form.patterns;
  values[names_].columns[kPatternTarget] = form.pattern_targets;
  if (refused) {
    using Cell = RefusedTarget::Cell;
    const bool in_list = refused->cell != Cell::kTarget;
    return {.error = refused->message,
            .focus = in_list ? names_ : layers_,
            .edit_row = static_cast<int>(refused->row),
            .edit_column = refused->cell == Cell::kTarget    ? kTarget
                           : refused->cell == Cell::kPattern ? kPattern
                                                             : kPatternTarget};
  }
  if (std::string question = move_question_ ? move_question_(proposed_) : std::string();
      !question.empty()) {
    return {.question = std::move(question)};
  }
  return Answer(true);
}

DialogReply LayerSettingsDialog::Answer(bool yes) {
  if (!yes) {
    return {};  // the dialog stays open, the table as it was
  }
  table_ = std::move(proposed_);
  offered_names_.clear();
  return Accepted();
}

}  // namespace penmorph::app
