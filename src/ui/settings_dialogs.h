#pragma once

// The three settings dialogs, each built from the description its model gives. The handlers keep
// the names the dialogs' buttons have always had.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "app/settings_dialogs.h"
#include "ui/described_dialog.h"
#include "ui/value_grid.h"

namespace penmorph {

// "JWC/JWK設定": six pens, seventeen line types and the flag for the text settings' pens.
class TForm2 : public DescribedDialog {
  Q_OBJECT

 public:
  TForm2(app::JwcSettingsDialog& model, UserPrompts& prompts, QWidget* parent = nullptr)
      : DescribedDialog(model, prompts, parent), model_(model) {}

  QComboBox* ComboBox(int k) const { return static_cast<QComboBox*>(Control(model_.List(k))); }
  QCheckBox* CheckBox1() const { return static_cast<QCheckBox*>(Control(model_.check_box())); }

 public slots:
  void Button1Click() { Press(model_.description().ok); }
  void Button2Click() { Press(model_.description().cancel); }

 private:
  app::JwcSettingsDialog& model_;
};

// "JWW/JWS設定": the colours and line types as numbers in two grids, and the options.
class TForm3 : public DescribedDialog {
  Q_OBJECT

 public:
  TForm3(app::JwwSettingsDialog& model, UserPrompts& prompts, QWidget* parent = nullptr)
      : DescribedDialog(model, prompts, parent), model_(model) {}

  ValueGrid* StringGrid1() const { return Grid(model_.colours()); }
  ValueGrid* StringGrid2() const { return Grid(model_.line_types()); }
  QLineEdit* Edit1() const { return static_cast<QLineEdit*>(Control(model_.fill_box(0))); }
  QLineEdit* Edit2() const { return static_cast<QLineEdit*>(Control(model_.fill_box(1))); }
  QCheckBox* CheckBox(int k) const { return static_cast<QCheckBox*>(Control(model_.option(k))); }

 public slots:
  void Button1Click() { Press(model_.fill_button(0)); }
  void Button2Click() { Press(model_.fill_button(1)); }
  void Button3Click() { Press(model_.description().ok); }
  void Button4Click() { Press(model_.description().cancel); }

 private:
  app::JwwSettingsDialog& model_;
};

// "レイヤ設定": where each layer's entities go and new names, beside the drawing's names.
class TForm4 : public DescribedDialog {
  Q_OBJECT

 public:
  TForm4(app::LayerSettingsDialog& model, UserPrompts& prompts, QWidget* parent = nullptr)
      : DescribedDialog(model, prompts, parent), model_(model) {}

  ValueGrid* StringGrid1() const { return Grid(model_.layers()); }
  ValueGrid* StringGrid2() const { return Grid(model_.groups()); }
  QLineEdit* Edit1() const { return static_cast<QLineEdit*>(Control(model_.fill_box())); }

 public slots:
  void Button1Click() { Press(model_.fill_button()); }
  void Button2Click() { Press(model_.description().ok); }
  void Button3Click() { Press(model_.description().cancel); }

 private:
  app::LayerSettingsDialog& model_;
};

}  // namespace penmorph
