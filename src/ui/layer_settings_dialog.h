#pragma once

// The layer dialog: where the entities of each of the 256 layers go and new names for layers
// and groups, beside the names the highlighted drawing gives them; checked only when the user
// confirms.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/layer_settings_form.h"
#include "settings/layer_table.h"

class QLineEdit;
class QTableWidget;

namespace penmorph {

class UserPrompts;

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  // Columns of the layer grid and of the group grid.
  enum LayerColumn { kLayerDrawingName, kTarget, kLayerNewName };
  enum GroupColumn { kGroupDrawingName, kGroupNewName };

  TForm4(LayerTable& table, UserPrompts& prompts, QWidget* parent = nullptr);

  // Asked at OK of a table that passes its checks: a question for the user, or empty.
  using MoveQuestion = std::function<std::string(const LayerTable& proposed)>;

  // The highlighted drawing's layers (nullptr: none), shown the next time the dialog opens, and
  // the question OK asks about it (see app::LayerMoveQuestion).
  void SetDrawingLayers(const preview::LayerSheet* sheet, MoveQuestion question = {});

  QTableWidget* StringGrid1() const { return layers_; }
  QTableWidget* StringGrid2() const { return groups_; }
  QLineEdit* Edit1() const { return target_value_; }

 public slots:
  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CommitOpenEditors();
  app::LayerSettingsForm FormOnScreen() const;

  LayerTable& table_;
  MoveQuestion move_question_;
  UserPrompts& prompts_;
  std::vector<std::string> drawing_layer_names_;
  std::vector<std::string> drawing_group_names_;
  QTableWidget* layers_ = nullptr;
  QTableWidget* groups_ = nullptr;
  QLineEdit* target_value_ = nullptr;
};

}  // namespace penmorph
