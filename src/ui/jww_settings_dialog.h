#pragma once

// The JWW/JWS settings dialog: the table of the Windows formats - 265 colours, 49 line types
// and seven options - edited as numbers in two grids, checked only when the user confirms.

#include <QDialog>
#include <QTableWidget>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/jww_settings_form.h"
#include "settings/conv_settings.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace penmorph {

class UserPrompts;

// A grid of numbers: the row captions form the fixed column, the one data column holds the
// values as text. Row r of the grid is row r + 1 on screen, under the header row.
class ValueGrid : public QTableWidget {
  Q_OBJECT

 public:
  ValueGrid(const QString& corner, const QString& heading, const QStringList& captions,
            QWidget* parent);

  QString Value(int row) const;
  void SetValue(int row, const QString& text);
  // Column 1 of every row, as UTF-8.
  std::vector<std::string> Values() const;
  void SetValues(const std::vector<std::string>& values);
  // The first and last row of the selection, or the current row when nothing is selected.
  std::pair<int, int> SelectedRows() const;
  // Puts what is being typed into its cell, so that confirming with Enter does not lose it.
  void CommitOpenEditor();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString corner_;
  QWidget* corner_button_ = nullptr;
};

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kColourRows = app::JwwSettingsForm::kColourRows;
  static constexpr int kLineTypeRows = app::JwwSettingsForm::kLineTypeRows;
  static constexpr int kOptionCount = app::JwwSettingsForm::kOptionCount;

  TForm3(JwwConvSettings& table, UserPrompts& prompts, QWidget* parent = nullptr);

  ValueGrid* StringGrid1() const { return colours_; }
  ValueGrid* StringGrid2() const { return line_types_; }
  QLineEdit* Edit1() const { return colour_value_; }
  QLineEdit* Edit2() const { return line_type_value_; }
  QCheckBox* CheckBox(int k) const { return options_[k - 1]; }

 public slots:
  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillRange(ValueGrid* grid, QLineEdit* edit, app::ValueRule rule);

  JwwConvSettings& table_;
  UserPrompts& prompts_;
  ValueGrid* colours_ = nullptr;
  ValueGrid* line_types_ = nullptr;
  QLineEdit* colour_value_ = nullptr;
  QLineEdit* line_type_value_ = nullptr;
  std::array<QCheckBox*, kOptionCount> options_{};
};

}  // namespace penmorph
