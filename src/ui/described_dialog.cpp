#include "ui/described_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "app/path_text.h"
#include "ui/qt_text.h"
#include "ui/screens.h"
#include "ui/ui_fonts.h"
#include "ui/user_prompts.h"
#include "ui/value_grid.h"

namespace penmorph {

namespace {

using app::ControlKind;

void Paint(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  widget->setAutoFillBackground(true);
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

}  // namespace

DescribedDialog::DescribedDialog(app::DialogModel& model, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), model_(model), prompts_(prompts) {
  const app::DialogDescription& description = model.description();
  setObjectName(FromUtf8(description.name));
  setWindowTitle(FromUtf8(description.title));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(FixedUiFont(12));
  setFixedSize(description.width, description.height);
  // Made in the description's order, which is the order the Tab key walks them.
  for (std::size_t i = 0; i < description.controls.size(); ++i) {
    controls_.push_back(Build(description.controls[i], static_cast<int>(i)));
  }
  for (std::size_t i = 0; i < description.controls.size(); ++i) {
    if (const int buddy = description.controls[i].buddy; buddy >= 0) {
      static_cast<QLabel*>(controls_[i])->setBuddy(controls_[buddy]);
    }
  }
  static_cast<QPushButton*>(controls_[description.ok])->setDefault(true);
}

QWidget* DescribedDialog::Build(const app::ControlDescription& control, int index) {
  const app::DialogDescription& description = model_.description();
  QWidget* parent = this;
  app::DialogRect place = control.place;
  if (control.group >= 0) {
    // Qt places a group's children within the group.
    parent = controls_[control.group];
    place.left -= description.controls[control.group].place.left;
    place.top -= description.controls[control.group].place.top;
  }
  QWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::kLabel:
    case ControlKind::kHint:
    case ControlKind::kSwatch: {
      auto* label = new QLabel(FromUtf8(control.text), parent);
      if (control.kind == ControlKind::kHint) {
        Paint(label, QPalette::Window, Qt::white);
        Paint(label, QPalette::WindowText, Qt::blue);
      } else if (control.kind == ControlKind::kSwatch) {
        // Framed, so that a white swatch stands out from the dialog's own white.
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        Paint(label, QPalette::Window, QColor::fromRgb(control.rgb));
      }
      widget = label;
      break;
    }
    case ControlKind::kGroup:
      widget = new QGroupBox(FromUtf8(control.text), parent);
      break;
    case ControlKind::kEdit:
      widget = new QLineEdit(parent);
      break;
    case ControlKind::kButton: {
      auto* button = new QPushButton(FromUtf8(control.text), parent);
      connect(button, &QPushButton::clicked, this, [this, index] { Press(index); });
      widget = button;
      break;
    }
    case ControlKind::kCheckBox:
      widget = new QCheckBox(FromUtf8(control.text), parent);
      break;
    case ControlKind::kList: {
      auto* list = new QComboBox(parent);
      for (const std::string& item : control.items) {
        list->addItem(FromUtf8(item));
      }
      list->setMaxVisibleItems(static_cast<int>(control.items.size()));
      widget = list;
      break;
    }
    case ControlKind::kGrid: {
      auto* grid = new ValueGrid(control.grid, parent);
      // Queued: the editor has closed by then, and the values read are whole.
      connect(
          grid, &ValueGrid::CellsEdited, this,
          [this, index] { app::DialogCellsEdited(model_, *this, index); }, Qt::QueuedConnection);
      widget = grid;
      break;
    }
  }
  if (control.font_pixels > 0) {
    widget->setFont(FixedUiFont(control.font_pixels));
  }
  widget->setObjectName(FromUtf8(control.name));
  widget->setGeometry(place.left, place.top, place.width, place.height);
  return widget;
}

ValueGrid* DescribedDialog::Grid(int index) const {
  return qobject_cast<ValueGrid*>(controls_[index]);
}

void DescribedDialog::showEvent(QShowEvent* event) {
  FormShow();
  KeepOnScreens(*this);
  QDialog::showEvent(event);
}

void DescribedDialog::FormShow() {
  app::OpenDialog(model_, *this);
}

app::DialogValues DescribedDialog::ValuesOnScreen() {
  app::DialogValues values(controls_.size());
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    QWidget* widget = controls_[i];
    app::ControlValue& value = values[i];
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      value.text = edit->text().toStdString();
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
      value.checked = check->isChecked();
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      value.position = list->currentIndex();
    } else if (auto* grid = qobject_cast<ValueGrid*>(widget)) {
      grid->CommitOpenEditor();
      for (int column = 0; column < grid->columnCount(); ++column) {
        value.columns.push_back(grid->Values(column));
      }
      std::tie(value.first_row, value.last_row) = grid->SelectedRows();
      value.bars = grid->Bars();
    }
  }
  return values;
}

void DescribedDialog::ShowValues(const app::DialogValues& values) {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    QWidget* widget = controls_[i];
    const app::ControlValue& value = values[i];
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      edit->setText(FromUtf8(value.text));
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
      check->setChecked(value.checked);
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      list->setCurrentIndex(value.position);
    } else if (auto* grid = qobject_cast<ValueGrid*>(widget)) {
      if (model_.description().controls[i].grid.numbered_rows && !value.columns.empty()) {
        grid->SetRowCount(static_cast<int>(value.columns[0].size()));
      }
      for (int column = 0; column < static_cast<int>(value.columns.size()); ++column) {
        grid->SetValues(value.columns[column], column);
      }
      grid->SetBars(value.bars);
    }
  }
}

void DescribedDialog::Press(int button) {
  app::PressDialogButton(model_, *this, button);
}

void DescribedDialog::reject() {
  Press(model_.description().cancel);
}

std::optional<std::filesystem::path> DescribedDialog::ChooseSaveFile(const app::FileToSave& file) {
  const auto chosen = prompts_.ChooseReportFile(this, FromUtf8(file.title),
                                                FromUtf8(file.file_name), FromUtf8(file.filter));
  return chosen ? std::optional(app::PathFromText(chosen->toStdString())) : std::nullopt;
}

void DescribedDialog::ShowError(const std::string& text) {
  prompts_.Beep();
  prompts_.ShowMessage(this, app::MessageKind::kError, FromUtf8(text));
}

void DescribedDialog::CopyToClipboard(const std::string& text) {
  QApplication::clipboard()->setText(FromUtf8(text));
}

bool DescribedDialog::AskYesNo(const std::string& question) {
  return prompts_.AskYesNo(this, FromUtf8(question));
}

void DescribedDialog::Focus(int control) {
  controls_[control]->setFocus();
}

void DescribedDialog::EditCell(int grid, int row, int column) {
  Grid(grid)->EditCell(row, column);
}

void DescribedDialog::SelectRow(int grid, int row) {
  Grid(grid)->SelectRow(row);
}

void DescribedDialog::Close(app::DialogReply::Close how) {
  if (how == app::DialogReply::Close::kAccept) {
    accept();
  } else {
    QDialog::reject();
  }
}

}  // namespace penmorph
