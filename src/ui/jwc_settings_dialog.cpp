#include "ui/jwc_settings_dialog.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStringList>

#include "ui/dialog_layout.h"
#include "ui/ui_fonts.h"

namespace penmorph {

namespace {

const QStringList kPenItems = {
    QStringLiteral("無変換"), QStringLiteral("Pen.1"), QStringLiteral("Pen.2"),
    QStringLiteral("Pen.3"),  QStringLiteral("Pen.4"), QStringLiteral("Pen.5"),
    QStringLiteral("Pen.6"),
};

const QStringList kLineTypeItems = {
    QStringLiteral("無変換"),     QStringLiteral("実　線"),     QStringLiteral("点　線　１"),
    QStringLiteral("点　線　２"), QStringLiteral("点　線　３"), QStringLiteral("１点鎖線１"),
    QStringLiteral("１点鎖線２"), QStringLiteral("２点鎖線１"), QStringLiteral("２点鎖線２"),
    QStringLiteral("補助線"),     QStringLiteral("　"),         QStringLiteral("ランダム１"),
    QStringLiteral("ランダム２"), QStringLiteral("ランダム３"), QStringLiteral("ランダム４"),
    QStringLiteral("ランダム５"), QStringLiteral("倍長線種１"), QStringLiteral("倍長線種２"),
    QStringLiteral("倍長線種３"),
};

struct PenRow {
  const char* label;
  QRgb colour;
};
constexpr PenRow kPenRows[] = {
    {"Pen.1", 0x00FFFF}, {"Pen.2", 0xFFFFFF}, {"Pen.3", 0x00FF00},
    {"Pen.4", 0xFFFF00}, {"Pen.5", 0xFF00FF}, {"Pen.6", 0x0000FF},
};

const QString kLineTypeLabels[] = {
    QStringLiteral("実　線　　→"), QStringLiteral("点　線　１→"), QStringLiteral("点　線　２→"),
    QStringLiteral("点　線　３→"), QStringLiteral("１点鎖線１→"), QStringLiteral("１点鎖線２→"),
    QStringLiteral("２点鎖線１→"), QStringLiteral("２点鎖線２→"), QStringLiteral("補　助　線→"),
    QStringLiteral("ランダム１→"), QStringLiteral("ランダム２→"), QStringLiteral("ランダム３→"),
    QStringLiteral("ランダム４→"), QStringLiteral("ランダム５→"), QStringLiteral("倍長線種１→"),
    QStringLiteral("倍長線種２→"), QStringLiteral("倍長線種３→"),
};
constexpr int kLeftColumnRows = 9;

QComboBox* AddList(const QStringList& items, QWidget* parent, int left, int top, int width) {
  auto* list = new QComboBox(parent);
  list->addItems(items);
  list->setMaxVisibleItems(items.size());
  list->setGeometry(left, top, width, 20);
  return list;
}

}  // namespace

TForm2::TForm2(JwcConvSettings& table, QWidget* parent) : QDialog(parent), table_(table) {
  setObjectName(QStringLiteral("Form2"));
  SetUpFixedDialog(*this, QStringLiteral("JWC/JWK設定"), 602, 279);

  // Created in the order the Tab key walks them.
  auto* pens = new QGroupBox(QStringLiteral("線色変換 (&C)"), this);
  pens->setObjectName(QStringLiteral("GroupBox1"));
  pens->setGeometry(0, 0, 201, 241);
  for (int row = 0; row < 6; ++row) {
    const int top = 24 * (row + 1);
    AddLabel(QString::fromLatin1(kPenRows[row].label), pens, 8, top, 36, 12);
    QLabel* swatch = AddLabel(QStringLiteral("　　　　"), pens, 48, top, 48, 12);
    swatch->setObjectName(QStringLiteral("Swatch%1").arg(row + 1));
    swatch->setAutoFillBackground(true);
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(kPenRows[row].colour));
    swatch->setPalette(palette);
    AddLabel(QStringLiteral("→"), pens, 88, top, 16, 12);
    lists_[row] = AddList(kPenItems, pens, 112, top - 4, 81);
  }
  check_box_ = new QCheckBox(QStringLiteral("文字設定の PenNo.も変更する"), pens);
  check_box_->setObjectName(QStringLiteral("CheckBox1"));
  check_box_->setGeometry(8, 168, 185, 17);

  auto* line_types = new QGroupBox(QStringLiteral("線種変換 (&T)"), this);
  line_types->setObjectName(QStringLiteral("GroupBox2"));
  line_types->setGeometry(208, 0, 393, 241);
  for (int i = 0; i < kListCount - kFirstLineTypeList + 1; ++i) {
    const bool left_column = i < kLeftColumnRows;
    const int top = 24 * ((left_column ? i : i - kLeftColumnRows) + 1);
    const int left = left_column ? 8 : 200;
    QLabel* label = AddLabel(kLineTypeLabels[i], line_types, left, top, 72, 12);
    label->setObjectName(QStringLiteral("Label%1").arg(19 + i));
    lists_[kFirstLineTypeList - 1 + i] =
        AddList(kLineTypeItems, line_types, left + 80, top - 4, 105);
  }
  for (int k = 1; k <= kListCount; ++k) {
    ComboBox(k)->setObjectName(QStringLiteral("ComboBox%1").arg(k));
  }

  ok_ = new QPushButton(QStringLiteral("ＯＫ (&Y)"), this);
  ok_->setObjectName(QStringLiteral("Button1"));
  ok_->setGeometry(368, 248, 105, 25);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &TForm2::Button1Click);
  cancel_ = new QPushButton(QStringLiteral("キャンセル (&N)"), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  cancel_->setGeometry(496, 248, 105, 25);
  connect(cancel_, &QPushButton::clicked, this, &TForm2::Button2Click);
}

void TForm2::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void TForm2::FormShow() {
  for (int k = 1; k <= kListCount; ++k) {
    QComboBox* list = ComboBox(k);
    std::int32_t value = table_.Entry(k);
    // A value no item stands for (from a settings file) shows as "無変換".
    list->setCurrentIndex(value < 0 || value > list->count() - 1 ? 0 : value);
  }
  check_box_->setChecked(table_.Entry(JwcConvSettings::kChangeTextPen) != 0);
}

void TForm2::Button1Click() {
  for (int k = 1; k <= kListCount; ++k) {
    const int position = ComboBox(k)->currentIndex();
    if (k >= kFirstLineTypeList && position == kBlankLineType) {
      ComboBox(k)->setFocus();
      return;  // the lists before this one are already stored
    }
    table_.SetEntry(k, position);
  }
  table_.SetEntry(JwcConvSettings::kChangeTextPen, check_box_->isChecked() ? 1 : 0);
  accept();
}

void TForm2::Button2Click() {
  reject();
}

}  // namespace penmorph
