#include "ui/jwc_settings_dialog.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStringList>

#include "app/dialog_texts.h"
#include "app/jwc_settings_form.h"
#include "ui/dialog_layout.h"
#include "ui/qt_text.h"
#include "ui/screens.h"
#include "ui/ui_fonts.h"
#include "ui/user_prompts.h"

namespace penmorph {

namespace {

namespace texts = app::dialog_texts;

QStringList Items(const std::vector<std::string>& items) {
  QStringList list;
  for (const std::string& item : items) {
    list << QString::fromStdString(item);
  }
  return list;
}

constexpr int kLeftColumnRows = 9;

QComboBox* AddList(const QStringList& items, QWidget* parent, int left, int top, int width) {
  auto* list = new QComboBox(parent);
  list->addItems(items);
  list->setMaxVisibleItems(items.size());
  list->setGeometry(left, top, width, 20);
  return list;
}

}  // namespace

TForm2::TForm2(JwcConvSettings& table, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), table_(table), prompts_(prompts) {
  setObjectName(QStringLiteral("Form2"));
  SetUpFixedDialog(*this, FromUtf8(texts::kJwcTitle), 602, 279);

  // Created in the order the Tab key walks them.
  auto* pens = new QGroupBox(FromUtf8(texts::kPenGroup), this);
  pens->setObjectName(QStringLiteral("GroupBox1"));
  pens->setGeometry(0, 0, 201, 241);
  for (int row = 0; row < 6; ++row) {
    const int top = 24 * (row + 1);
    const texts::PenRow& pen = texts::kPenRows[row];
    AddLabel(FromUtf8(pen.label), pens, 8, top, 36, 12);
    QLabel* swatch = AddLabel(FromUtf8(texts::kSwatch), pens, 48, top, 48, 12);
    swatch->setObjectName(QStringLiteral("Swatch%1").arg(row + 1));
    swatch->setAutoFillBackground(true);
    // Framed, so that Pen.2's white stands out from the dialog's own white.
    swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(pen.rgb));
    swatch->setPalette(palette);
    AddLabel(FromUtf8(texts::kArrow), pens, 88, top, 16, 12);
    lists_[row] = AddList(Items(app::JwcPenItems()), pens, 112, top - 4, 81);
  }
  check_box_ = new QCheckBox(FromUtf8(texts::kChangeTextPen), pens);
  check_box_->setObjectName(QStringLiteral("CheckBox1"));
  check_box_->setGeometry(8, 168, 185, 17);

  auto* line_types = new QGroupBox(FromUtf8(texts::kLineTypeGroup), this);
  line_types->setObjectName(QStringLiteral("GroupBox2"));
  line_types->setGeometry(208, 0, 393, 241);
  for (int i = 0; i < kListCount - app::JwcSettingsForm::kFirstLineTypeList + 1; ++i) {
    const bool left_column = i < kLeftColumnRows;
    const int top = 24 * ((left_column ? i : i - kLeftColumnRows) + 1);
    const int left = left_column ? 8 : 200;
    QLabel* label = AddLabel(FromUtf8(texts::kLineTypeLabels[i]), line_types, left, top, 72, 12);
    label->setObjectName(QStringLiteral("Label%1").arg(19 + i));
    lists_[app::JwcSettingsForm::kFirstLineTypeList - 1 + i] =
        AddList(Items(app::JwcLineTypeItems()), line_types, left + 80, top - 4, 105);
  }
  for (int k = 1; k <= kListCount; ++k) {
    ComboBox(k)->setObjectName(QStringLiteral("ComboBox%1").arg(k));
  }

  ok_ = new QPushButton(FromUtf8(texts::kOkButton), this);
  ok_->setObjectName(QStringLiteral("Button1"));
  ok_->setGeometry(368, 248, 105, 25);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &TForm2::Button1Click);
  cancel_ = new QPushButton(FromUtf8(texts::kCancelButton), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  cancel_->setGeometry(496, 248, 105, 25);
  connect(cancel_, &QPushButton::clicked, this, &TForm2::Button2Click);
}

void TForm2::showEvent(QShowEvent* event) {
  FormShow();
  KeepOnScreens(*this);
  QDialog::showEvent(event);
}

void TForm2::FormShow() {
  const app::JwcSettingsForm form = app::JwcFormFromTable(table_);
  for (int k = 1; k <= kListCount; ++k) {
    ComboBox(k)->setCurrentIndex(form.positions[k - 1]);
  }
  check_box_->setChecked(form.change_text_pen);
}

void TForm2::Button1Click() {
  app::JwcSettingsForm form;
  for (int k = 1; k <= kListCount; ++k) {
    form.positions[k - 1] = ComboBox(k)->currentIndex();
  }
  form.change_text_pen = check_box_->isChecked();
  if (auto refused = app::ConfirmJwcForm(form, table_)) {
    prompts_.Beep();
    prompts_.ShowMessage(this, app::MessageKind::kError,
                         FromUtf8(app::BlankLineTypeText(*refused)));
    ComboBox(*refused)->setFocus();  // the lists before this one are already stored
    return;
  }
  accept();
}

void TForm2::Button2Click() {
  reject();
}

}  // namespace penmorph
