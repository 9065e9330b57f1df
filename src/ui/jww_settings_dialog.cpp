#include "ui/jww_settings_dialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <algorithm>

#include "app/dialog_texts.h"
#include "ui/dialog_layout.h"
#include "ui/qt_text.h"
#include "ui/screens.h"
#include "ui/ui_fonts.h"
#include "ui/user_prompts.h"

namespace penmorph {

namespace {

namespace texts = app::dialog_texts;

QStringList Captions(const std::vector<std::string>& captions) {
  QStringList list;
  for (const std::string& caption : captions) {
    list << QString::fromStdString(caption);
  }
  return list;
}

// The two hint lines: blue on white, a little larger than the rest.
void MakeHint(QLabel* label) {
  label->setFont(FixedUiFont(15));
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::blue);
  label->setPalette(palette);
}

}  // namespace

// --- ValueGrid ---

ValueGrid::ValueGrid(const QString& corner, const QString& heading, const QStringList& captions,
                     QWidget* parent)
    : QTableWidget(static_cast<int>(captions.size()), 1, parent), corner_(corner) {
  setHorizontalHeaderLabels({heading});
  setVerticalHeaderLabels(captions);
  for (int row = 0; row < rowCount(); ++row) {
    setItem(row, 0, new QTableWidgetItem);
  }
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setShowGrid(true);
  setWordWrap(false);
  setTabKeyNavigation(false);  // Tab goes on to the next control
  setItemDelegate(new CellDelegate(this));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  QHeaderView* rows = verticalHeader();
  rows->setFixedWidth(140);
  rows->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(24);
  rows->setMinimumSectionSize(24);
  rows->setHighlightSections(false);
  QHeaderView* columns = horizontalHeader();
  columns->setFixedHeight(24);
  columns->setSectionResizeMode(QHeaderView::Fixed);
  columns->setHighlightSections(false);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  setColumnWidth(0, 118);

  // The top-left cell carries the fixed column's caption.
  corner_button_ = findChild<QAbstractButton*>();
  if (corner_button_ != nullptr) {
    corner_button_->installEventFilter(this);
  }
  setCurrentCell(0, 0);
}

QString ValueGrid::Value(int row) const {
  QTableWidgetItem* cell = item(row, 0);
  return cell == nullptr ? QString() : cell->text();
}

void ValueGrid::SetValue(int row, const QString& text) {
  if (QTableWidgetItem* cell = item(row, 0)) {
    cell->setText(text);
  }
}

std::vector<std::string> ValueGrid::Values() const {
  std::vector<std::string> values;
  for (int row = 0; row < rowCount(); ++row) {
    values.push_back(Value(row).toStdString());
  }
  return values;
}

void ValueGrid::SetValues(const std::vector<std::string>& values) {
  for (int row = 0; row < rowCount() && row < static_cast<int>(values.size()); ++row) {
    const QString text = QString::fromStdString(values[row]);
    if (Value(row) != text) {
      SetValue(row, text);
    }
  }
}

std::pair<int, int> ValueGrid::SelectedRows() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  if (selected.isEmpty()) {
    const int row = std::max(0, currentRow());
    return {row, row};
  }
  auto [low, high] = std::minmax_element(
      selected.begin(), selected.end(),
      [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  return {low->row(), high->row()};
}

void ValueGrid::CommitOpenEditor() {
  if (state() != QAbstractItemView::EditingState) {
    return;
  }
  if (QWidget* editor = indexWidget(currentIndex())) {
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
  }
}

bool ValueGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_button_ && event->type() == QEvent::Paint) {
    QStylePainter painter(corner_button_);
    QStyleOptionHeader option;
    option.initFrom(corner_button_);
    option.rect = corner_button_->rect();
    option.text = corner_;
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    painter.drawControl(QStyle::CE_Header, option);
    return true;
  }
  return QTableWidget::eventFilter(watched, event);
}

// --- TForm3 ---

TForm3::TForm3(JwwConvSettings& table, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), table_(table), prompts_(prompts) {
  setObjectName(QStringLiteral("Form3"));
  SetUpFixedDialog(*this, FromUtf8(texts::kJwwTitle), 582, 445);

  const QString before = FromUtf8(texts::kGridCorner);
  AddLabel(FromUtf8(texts::kColourGridLabel), this, 8, 8, 48, 12)->setObjectName("Label1");
  colours_ = new ValueGrid(before, FromUtf8(texts::kColourGridHeading),
                           Captions(app::ColourRowCaptions()), this);
  colours_->setObjectName(QStringLiteral("StringGrid1"));
  colours_->setGeometry(8, 24, 281, 217);
  AddLabel(FromUtf8(texts::kLineTypeGridLabel), this, 296, 8, 48, 12)->setObjectName("Label2");
  line_types_ = new ValueGrid(before, FromUtf8(texts::kLineTypeGridHeading),
                              Captions(app::LineTypeRowCaptions()), this);
  line_types_->setObjectName(QStringLiteral("StringGrid2"));
  line_types_->setGeometry(296, 24, 281, 217);

  const QString range = FromUtf8(texts::kFillBefore);
  const QString make = FromUtf8(texts::kFillAfter);
  AddLabel(range, this, 8, 252, 120, 12)->setObjectName("Label3");
  colour_value_ = new QLineEdit(this);
  colour_value_->setObjectName(QStringLiteral("Edit1"));
  colour_value_->setGeometry(136, 248, 49, 20);
  AddLabel(make, this, 192, 252, 36, 12)->setObjectName("Label4");
  auto* colour_fill = new QPushButton(FromUtf8(texts::kFillButton), this);
  colour_fill->setObjectName(QStringLiteral("Button1"));
  colour_fill->setGeometry(240, 248, 49, 20);
  connect(colour_fill, &QPushButton::clicked, this, &TForm3::Button1Click);
  AddLabel(range, this, 296, 252, 120, 12)->setObjectName("Label5");
  line_type_value_ = new QLineEdit(this);
  line_type_value_->setObjectName(QStringLiteral("Edit2"));
  line_type_value_->setGeometry(424, 248, 49, 20);
  AddLabel(make, this, 480, 252, 36, 12)->setObjectName("Label6");
  auto* line_type_fill = new QPushButton(FromUtf8(texts::kFillButton), this);
  line_type_fill->setObjectName(QStringLiteral("Button2"));
  line_type_fill->setGeometry(528, 248, 49, 20);
  connect(line_type_fill, &QPushButton::clicked, this, &TForm3::Button2Click);

  AddLabel(FromUtf8(texts::kSelectionHint), this, 8, 272, 552, 12)->setObjectName("Label8");
  QLabel* ranges = AddLabel(FromUtf8(texts::kRangeHint), this, 8, 288, 570, 15);
  ranges->setObjectName("Label7");
  MakeHint(ranges);
  QLabel* zero = AddLabel(FromUtf8(texts::kZeroHint), this, 8, 304, 240, 15);
  zero->setObjectName("Label9");
  MakeHint(zero);

  constexpr int kOptionGeometry[kOptionCount][3] = {
      {8, 328, 209}, {8, 352, 209},   {8, 376, 281},   {8, 400, 281},
      {8, 424, 281}, {296, 328, 225}, {296, 352, 225},
  };
  for (int k = 0; k < kOptionCount; ++k) {
    options_[k] = new QCheckBox(FromUtf8(texts::kJwwOptions[k]), this);
    options_[k]->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
    options_[k]->setGeometry(kOptionGeometry[k][0], kOptionGeometry[k][1], kOptionGeometry[k][2],
                             17);
  }

  auto* ok = new QPushButton(FromUtf8(texts::kOkButton), this);
  ok->setObjectName(QStringLiteral("Button3"));
  ok->setGeometry(352, 416, 105, 25);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TForm3::Button3Click);
  auto* cancel = new QPushButton(FromUtf8(texts::kCancelButton), this);
  cancel->setObjectName(QStringLiteral("Button4"));
  cancel->setGeometry(472, 416, 105, 25);
  connect(cancel, &QPushButton::clicked, this, &TForm3::Button4Click);

  QWidget* order[] = {colours_,       line_types_, colour_value_, colour_fill, line_type_value_,
                      line_type_fill, options_[0], options_[1],   options_[2], options_[3],
                      options_[4],    options_[5], options_[6],   ok,          cancel};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    setTabOrder(order[i], order[i + 1]);
  }
}

void TForm3::showEvent(QShowEvent* event) {
  FormShow();
  KeepOnScreens(*this);
  QDialog::showEvent(event);
}

void TForm3::FormShow() {
  colours_->CommitOpenEditor();
  line_types_->CommitOpenEditor();
  const app::JwwSettingsForm form = app::JwwFormFromTable(table_);
  colours_->SetValues(form.colours);
  line_types_->SetValues(form.line_types);
  for (int k = 1; k <= kOptionCount; ++k) {
    CheckBox(k)->setChecked(form.options[k - 1]);
  }
}

void TForm3::FillRange(ValueGrid* grid, QLineEdit* edit, app::ValueRule rule) {
  grid->CommitOpenEditor();
  std::vector<std::string> cells = grid->Values();
  auto [first, last] = grid->SelectedRows();
  const auto text = app::FillRows(cells, static_cast<std::size_t>(first),
                                  static_cast<std::size_t>(last), edit->text().toStdString(), rule);
  if (!text) {
    prompts_.Beep();
    prompts_.ShowMessage(this, app::MessageKind::kError,
                         FromUtf8(app::FillRefusalText(edit->text().toStdString(), rule)));
    edit->setFocus();
    return;
  }
  edit->setText(QString::fromStdString(*text));
  grid->SetValues(cells);
}

void TForm3::Button1Click() {
  FillRange(colours_, colour_value_, app::ValueRule::kColour);
}

void TForm3::Button2Click() {
  FillRange(line_types_, line_type_value_, app::ValueRule::kLineType);
}

void TForm3::Button3Click() {
  colours_->CommitOpenEditor();
  line_types_->CommitOpenEditor();
  app::JwwSettingsForm form;
  form.colours = colours_->Values();
  form.line_types = line_types_->Values();
  for (int k = 1; k <= kOptionCount; ++k) {
    form.options[k - 1] = CheckBox(k)->isChecked();
  }
  const auto refused = app::ConfirmJwwForm(form, table_);
  // Cells checked before a refused one show their decimal value, as after a success.
  colours_->SetValues(form.colours);
  line_types_->SetValues(form.line_types);
  if (refused) {
    ValueGrid* grid = refused->grid == app::RefusedCell::kColours ? colours_ : line_types_;
    const int row = static_cast<int>(refused->row);
    prompts_.Beep();
    // Before the cell's editor opens: the box taking the focus would close it again.
    prompts_.ShowMessage(this, app::MessageKind::kError, FromUtf8(refused->message));
    grid->setFocus();
    grid->setCurrentCell(row, 0);
    grid->scrollToItem(grid->item(row, 0));
    grid->editItem(grid->item(row, 0));  // the text selected, to be typed over
    return;
  }
  accept();
}

void TForm3::Button4Click() {
  reject();
}

}  // namespace penmorph
