#pragma once

// The JWC/JWK settings dialog: the table of the DOS formats - six pens, seventeen line types
// and the flag for the pens of the text settings - edited through drop-down lists.

#include <QDialog>
#include <array>

#include "app/jwc_settings_form.h"
#include "settings/conv_settings.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace penmorph {

class UserPrompts;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kListCount = app::JwcSettingsForm::kListCount;
  static constexpr int kBlankLineType = app::JwcSettingsForm::kBlankLineType;

  TForm2(JwcConvSettings& table, UserPrompts& prompts, QWidget* parent = nullptr);

  QComboBox* ComboBox(int k) const { return lists_[k - 1]; }
  QCheckBox* CheckBox1() const { return check_box_; }

 public slots:
  void FormShow();
  void Button1Click();
  void Button2Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  JwcConvSettings& table_;
  UserPrompts& prompts_;
  std::array<QComboBox*, kListCount> lists_{};
  QCheckBox* check_box_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace penmorph
