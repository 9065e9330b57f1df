#include "ui/layer_settings_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "app/dialog_texts.h"
#include "ui/dialog_layout.h"
#include "ui/qt_text.h"
#include "ui/screens.h"
#include "ui/user_prompts.h"

namespace penmorph {

namespace {

namespace texts = app::dialog_texts;

// Reaches the view's protected editing calls, as ValueGrid does.
class TextGrid : public QTableWidget {
 public:
  using QTableWidget::QTableWidget;

  // Puts what is being typed into its cell, so that confirming with Enter does not lose it.
  void CommitOpenEditor() {
    if (state() != QAbstractItemView::EditingState) {
      return;
    }
    if (QWidget* editor = indexWidget(currentIndex())) {
      commitData(editor);
      closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }
};

// A grid of texts: the captions form the fixed column; `read_only` columns show the drawing's
// names and cannot be typed into.
QTableWidget* MakeGrid(QWidget* parent, const std::vector<std::string>& captions,
                       const QStringList& headings, const std::vector<int>& widths,
                       const std::vector<int>& read_only, int first_column) {
  auto* grid =
      new TextGrid(static_cast<int>(captions.size()), static_cast<int>(headings.size()), parent);
  grid->setHorizontalHeaderLabels(headings);
  QStringList rows;
  for (const std::string& caption : captions) {
    rows << QString::fromStdString(caption);
  }
  grid->setVerticalHeaderLabels(rows);
  const QColor shaded = grid->palette().color(QPalette::Window);
  for (int row = 0; row < grid->rowCount(); ++row) {
    for (int column = 0; column < grid->columnCount(); ++column) {
      auto* cell = new QTableWidgetItem;
      if (std::find(read_only.begin(), read_only.end(), column) != read_only.end()) {
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        cell->setBackground(shaded);
      }
      grid->setItem(row, column, cell);
    }
  }
  grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
  grid->setWordWrap(false);
  grid->setTabKeyNavigation(false);  // Tab goes on to the next control
  grid->setItemDelegate(new CellDelegate(grid));
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QHeaderView* vertical = grid->verticalHeader();
  vertical->setFixedWidth(48);
  vertical->setSectionResizeMode(QHeaderView::Fixed);
  vertical->setDefaultSectionSize(22);
  vertical->setMinimumSectionSize(22);
  vertical->setHighlightSections(false);
  QHeaderView* horizontal = grid->horizontalHeader();
  horizontal->setFixedHeight(24);
  horizontal->setSectionResizeMode(QHeaderView::Fixed);
  horizontal->setHighlightSections(false);
  horizontal->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (std::size_t column = 0; column < widths.size(); ++column) {
    grid->setColumnWidth(static_cast<int>(column), widths[column]);
  }
  grid->setCurrentCell(0, first_column);
  return grid;
}

std::vector<std::string> ColumnTexts(const QTableWidget* grid, int column) {
  std::vector<std::string> texts;
  for (int row = 0; row < grid->rowCount(); ++row) {
    const QTableWidgetItem* cell = grid->item(row, column);
    texts.push_back(cell == nullptr ? std::string() : cell->text().toStdString());
  }
  return texts;
}

void SetColumnTexts(QTableWidget* grid, int column, const std::vector<std::string>& texts) {
  for (int row = 0; row < grid->rowCount() && row < static_cast<int>(texts.size()); ++row) {
    QTableWidgetItem* cell = grid->item(row, column);
    const QString text = QString::fromStdString(texts[row]);
    if (cell != nullptr && cell->text() != text) {
      cell->setText(text);
    }
  }
}

void CommitOpenEditor(QTableWidget* grid) {
  static_cast<TextGrid*>(grid)->CommitOpenEditor();  // every grid here is one
}

// A hint line: blue on white, as in the JWW/JWS dialog.
QLabel* AddHint(std::string_view text, QWidget* parent, int top, int width) {
  QLabel* label = AddLabel(FromUtf8(text), parent, 8, top, width, 15);
  label->setAutoFillBackground(true);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::blue);
  label->setPalette(palette);
  return label;
}

}  // namespace

TForm4::TForm4(LayerTable& table, UserPrompts& prompts, QWidget* parent)
    : QDialog(parent),
      table_(table),
      prompts_(prompts),
      drawing_layer_names_(app::DrawingLayerNames(nullptr)),
      drawing_group_names_(app::DrawingGroupNames(nullptr)) {
  setObjectName(QStringLiteral("Form4"));
  SetUpFixedDialog(*this, FromUtf8(texts::kLayerTitle), 760, 470);

  const QString drawing_name = FromUtf8(texts::kDrawingNameHeading);
  const QString new_name = FromUtf8(texts::kNewNameHeading);
  QLabel* layer_label = AddLabel(FromUtf8(texts::kLayerGridLabel), this, 8, 8, 120, 12);
  layer_label->setObjectName("Label1");
  layers_ = MakeGrid(this, app::LayerRowCaptions(),
                     {drawing_name, FromUtf8(texts::kTargetHeading), new_name}, {150, 56, 150},
                     {kLayerDrawingName}, kTarget);
  layer_label->setBuddy(layers_);  // Alt+L
  layers_->setObjectName(QStringLiteral("StringGrid1"));
  layers_->setGeometry(8, 24, 426, 313);
  QLabel* group_label = AddLabel(FromUtf8(texts::kGroupGridLabel), this, 446, 8, 160, 12);
  group_label->setObjectName("Label2");
  groups_ = MakeGrid(this, app::GroupRowCaptions(), {drawing_name, new_name}, {118, 118},
                     {kGroupDrawingName}, kGroupNewName);
  group_label->setBuddy(groups_);  // Alt+G
  groups_->setObjectName(QStringLiteral("StringGrid2"));
  groups_->setGeometry(446, 24, 306, 313);

  AddLabel(FromUtf8(texts::kFillBefore), this, 8, 348, 120, 12)->setObjectName("Label3");
  target_value_ = new QLineEdit(this);
  target_value_->setObjectName(QStringLiteral("Edit1"));
  target_value_->setGeometry(136, 344, 49, 20);
  AddLabel(FromUtf8(texts::kFillAfter), this, 192, 348, 36, 12)->setObjectName("Label4");
  auto* fill = new QPushButton(FromUtf8(texts::kFillButton), this);
  fill->setObjectName(QStringLiteral("Button1"));
  fill->setGeometry(240, 344, 49, 20);
  connect(fill, &QPushButton::clicked, this, &TForm4::Button1Click);

  AddLabel(FromUtf8(texts::kSelectionHint), this, 8, 372, 744, 12)->setObjectName("Label5");
  AddHint(texts::kLayerHint, this, 390, 744)->setObjectName("Label6");
  AddHint(texts::kLayerNameHint, this, 406, 744)->setObjectName("Label7");
  AddHint(texts::kLayerScaleHint, this, 422, 500)->setObjectName("Label8");

  auto* ok = new QPushButton(FromUtf8(texts::kOkButton), this);
  ok->setObjectName(QStringLiteral("Button2"));
  ok->setGeometry(532, 440, 105, 25);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TForm4::Button2Click);
  auto* cancel = new QPushButton(FromUtf8(texts::kCancelButton), this);
  cancel->setObjectName(QStringLiteral("Button3"));
  cancel->setGeometry(647, 440, 105, 25);
  connect(cancel, &QPushButton::clicked, this, &TForm4::Button3Click);

  QWidget* order[] = {layers_, groups_, target_value_, fill, ok, cancel};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    setTabOrder(order[i], order[i + 1]);
  }
}

void TForm4::SetDrawingLayers(const preview::LayerSheet* sheet, MoveQuestion question) {
  move_question_ = std::move(question);
  drawing_layer_names_ = app::DrawingLayerNames(sheet);
  drawing_group_names_ = app::DrawingGroupNames(sheet);
}

void TForm4::showEvent(QShowEvent* event) {
  FormShow();
  KeepOnScreens(*this);
  QDialog::showEvent(event);
}

void TForm4::FormShow() {
  CommitOpenEditors();
  const app::LayerSettingsForm form = app::LayerFormFromTable(table_);
  SetColumnTexts(layers_, kLayerDrawingName, drawing_layer_names_);
  SetColumnTexts(layers_, kTarget, form.targets);
  SetColumnTexts(layers_, kLayerNewName, form.layer_names);
  SetColumnTexts(groups_, kGroupDrawingName, drawing_group_names_);
  SetColumnTexts(groups_, kGroupNewName, form.group_names);
}

void TForm4::CommitOpenEditors() {
  CommitOpenEditor(layers_);
  CommitOpenEditor(groups_);
}

app::LayerSettingsForm TForm4::FormOnScreen() const {
  app::LayerSettingsForm form;
  form.targets = ColumnTexts(layers_, kTarget);
  form.layer_names = ColumnTexts(layers_, kLayerNewName);
  form.group_names = ColumnTexts(groups_, kGroupNewName);
  return form;
}

void TForm4::Button1Click() {
  CommitOpenEditors();
  std::vector<std::string> targets = ColumnTexts(layers_, kTarget);
  int first = layers_->currentRow();
  int last = first;
  for (const QTableWidgetSelectionRange& range : layers_->selectedRanges()) {
    first = range.topRow();
    last = range.bottomRow();
  }
  const auto text = app::FillTargets(targets, static_cast<std::size_t>(std::max(first, 0)),
                                     static_cast<std::size_t>(std::max(last, 0)),
                                     target_value_->text().toStdString());
  if (!text) {
    prompts_.Beep();
    prompts_.ShowMessage(this, app::MessageKind::kError,
                         FromUtf8(app::FillTargetRefusalText(target_value_->text().toStdString())));
    target_value_->setFocus();
    return;
  }
  target_value_->setText(QString::fromStdString(*text));
  SetColumnTexts(layers_, kTarget, targets);
}

void TForm4::Button2Click() {
  CommitOpenEditors();
  app::LayerSettingsForm form = FormOnScreen();
  LayerTable proposed = table_;
  const auto refused = app::ConfirmLayerForm(form, proposed);
  SetColumnTexts(layers_, kTarget, form.targets);
  if (refused) {
    const int row = static_cast<int>(refused->row);
    prompts_.Beep();
    prompts_.ShowMessage(this, app::MessageKind::kError, FromUtf8(refused->message));
    layers_->setFocus();
    layers_->setCurrentCell(row, kTarget);
    layers_->scrollToItem(layers_->item(row, kTarget));
    layers_->editItem(layers_->item(row, kTarget));
    return;
  }
  if (const std::string question = move_question_ ? move_question_(proposed) : std::string();
      !question.empty() && !prompts_.AskYesNo(this, FromUtf8(question))) {
    return;  // the dialog stays open, the table as it was
  }
  table_ = std::move(proposed);
  accept();
}

void TForm4::Button3Click() {
  reject();
}

}  // namespace penmorph
