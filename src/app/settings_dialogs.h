#pragma once

// The three settings dialogs described once: "JWC/JWK設定" (Form2), "JWW/JWS設定" (Form3) and
// "レイヤ設定" (Form4). Each edits one table of the window's settings and changes it only when
// the user confirms.

#include <functional>
#include <string>
#include <vector>

#include "app/dialog_description.h"
#include "preview/layer_sheet.h"
#include "settings/conv_settings.h"
#include "settings/layer_table.h"

namespace penmorph::app {

class JwcSettingsDialog : public DialogModel {
 public:
  explicit JwcSettingsDialog(JwcConvSettings& table);

  DialogReply Press(int button, DialogValues& values) override;

  // The index of list k (1-23) and of the check box.
  int List(int k) const { return lists_[k - 1]; }
  int check_box() const { return check_box_; }

 private:
  DialogValues Load() const override;

  JwcConvSettings& table_;
  std::vector<int> lists_;
  int check_box_ = -1;
};

class JwwSettingsDialog : public DialogModel {
 public:
  explicit JwwSettingsDialog(JwwConvSettings& table);

  DialogReply Press(int button, DialogValues& values) override;

  int colours() const { return grids_[0]; }
  int line_types() const { return grids_[1]; }
  int fill_box(int grid) const { return boxes_[grid]; }
  int fill_button(int grid) const { return fills_[grid]; }
  int option(int k) const { return options_[k - 1]; }  // k = 1 ... 7

 private:
  DialogValues Load() const override;
  DialogReply Fill(int grid, DialogValues& values) const;
  DialogReply Confirm(DialogValues& values);

  JwwConvSettings& table_;
  int grids_[2] = {-1, -1};
  int boxes_[2] = {-1, -1};
  int fills_[2] = {-1, -1};
  std::vector<int> options_;
};

class LayerSettingsDialog : public DialogModel {
 public:
  // Columns of the layer grid and of the group grid.
  enum LayerColumn { kLayerDrawingName, kTarget, kLayerNewName };
  enum GroupColumn { kGroupDrawingName, kGroupNewName };
  enum NameColumn { kPattern, kPatternTarget, kTaken };
  // Asked at OK of a table that passes its checks: a question for the user, or empty.
  using MoveQuestion = std::function<std::string(const LayerTable& proposed)>;

  explicit LayerSettingsDialog(LayerTable& table);

  // The highlighted drawing's layers (nullptr: none), shown the next time the dialog opens, and
  // the question OK asks about it (see LayerMoveQuestion).
  void SetDrawingLayers(const preview::LayerSheet* sheet, MoveQuestion question = {});
  // Names to add to the list, without targets, the next time the dialog opens (those the list
  // already holds as they are left out); forgotten once it closes.
  void OfferNames(std::vector<std::string> names) { offered_names_ = std::move(names); }

  DialogReply Press(int button, DialogValues& values) override;
  DialogReply Answer(bool yes) override;
  bool CellEdited(int grid, DialogValues& values) override;

  int layers() const { return layers_; }
  int groups() const { return groups_; }
  int name_rules() const { return names_; }
  // The list's buttons: add, remove, up, down.
  int list_button(int k) const { return list_buttons_[k]; }
  int fill_box() const { return box_; }
  int fill_button() const { return fill_; }

 private:
  DialogValues Load() const override;
  DialogReply Fill(DialogValues& values) const;
  DialogReply Confirm(DialogValues& values);
  DialogReply EditList(int k, DialogValues& values) const;
  // The column of the layers each rule takes in the highlighted drawing, as the rows stand.
  void ShowTaken(DialogValues& values) const;

  LayerTable& table_;
  MoveQuestion move_question_;
  std::vector<std::string> drawing_layer_names_;
  std::vector<std::string> drawing_group_names_;
  std::vector<std::string> offered_names_;
  LayerTable proposed_;  // passed its checks, waiting for the answer to the question
  int layers_ = -1;
  int groups_ = -1;
  int box_ = -1;
  int fill_ = -1;
  int names_ = -1;
  int list_buttons_[4] = {-1, -1, -1, -1};
};

}  // namespace penmorph::app
