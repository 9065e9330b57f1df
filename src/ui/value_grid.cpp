#include "ui/value_grid.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QStyleOptionHeader>
#include <QStylePainter>
#include <algorithm>

namespace penmorph {

ValueGrid::ValueGrid(const app::GridDescription& description, QWidget* parent)
    : QTableWidget(static_cast<int>(description.row_captions.size()),
                   static_cast<int>(description.columns.size()), parent),
      corner_(QString::fromStdString(description.corner)) {
  QStringList headings;
  for (const app::GridColumn& column : description.columns) {
    headings << QString::fromStdString(column.heading);
  }
  setHorizontalHeaderLabels(headings);
  QStringList captions;
  for (const std::string& caption : description.row_captions) {
    captions << QString::fromStdString(caption);
  }
  setVerticalHeaderLabels(captions);
  for (const app::GridColumn& column : description.columns) {
    editable_.push_back(column.editable);
    any_editable_ = any_editable_ || column.editable;
  }
  first_column_ = description.first_column;
  bar_column_ = description.bar_column;
  for (int row = 0; row < rowCount(); ++row) {
    AddCells(row);
  }
  connect(this, &QTableWidget::itemChanged, this, [this] {
    if (!setting_) {
      emit CellsEdited();
    }
  });
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setWordWrap(false);
  setTabKeyNavigation(false);  // Tab goes on to the next control
  setItemDelegate(new CellDelegate(this, bar_column_));
  if (!any_editable_) {
    setSelectionBehavior(QAbstractItemView::SelectRows);  // a table to read, a row at a time
  }
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  QHeaderView* rows = verticalHeader();
  rows->setFixedWidth(description.caption_width);
  rows->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(description.row_height);
  rows->setMinimumSectionSize(description.row_height);
  rows->setHighlightSections(false);
  QHeaderView* columns = horizontalHeader();
  columns->setFixedHeight(24);
  columns->setSectionResizeMode(QHeaderView::Fixed);
  columns->setHighlightSections(false);
  columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < columnCount(); ++column) {
    setColumnWidth(column, description.columns[column].width);
  }

  // The top-left cell carries the fixed column's caption.
  corner_button_ = findChild<QAbstractButton*>();
  if (corner_button_ != nullptr) {
    corner_button_->installEventFilter(this);
  }
  setCurrentCell(0, description.first_column);
}

void ValueGrid::AddCells(int row) {
  const QColor shaded = palette().color(QPalette::Window);
  for (int column = 0; column < columnCount(); ++column) {
    auto* cell = new QTableWidgetItem;
    if (!editable_[column]) {
      cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      if (any_editable_) {
        cell->setBackground(shaded);
      }
    }
    setItem(row, column, cell);
  }
}

void ValueGrid::SetRowCount(int rows) {
  const int old = rowCount();
  if (rows == old) {
    return;
  }
  setting_ = true;
  setRowCount(rows);
  for (int row = old; row < rows; ++row) {
    AddCells(row);
    setVerticalHeaderItem(row, new QTableWidgetItem(QString::number(row + 1)));
  }
  setting_ = false;
}

std::vector<app::GridBar> ValueGrid::Bars() const {
  std::vector<app::GridBar> bars;
  for (int row = 0; bar_column_ >= 0 && row < rowCount(); ++row) {
    const QTableWidgetItem* cell = item(row, bar_column_);
    bars.push_back({cell->data(CellDelegate::kBarRole).toDouble(),
                    cell->data(CellDelegate::kBarColourRole).toUInt()});
  }
  return bars;
}

void ValueGrid::SetBars(const std::vector<app::GridBar>& bars) {
  for (int row = 0; bar_column_ >= 0 && row < rowCount() && row < static_cast<int>(bars.size());
       ++row) {
    setting_ = true;
    item(row, bar_column_)->setData(CellDelegate::kBarRole, bars[row].fill);
    item(row, bar_column_)->setData(CellDelegate::kBarColourRole, bars[row].rgb);
    setting_ = false;
  }
}

void ValueGrid::SelectRow(int row) {
  setFocus();
  setCurrentCell(row, first_column_);
}

QString ValueGrid::Value(int row, int column) const {
  QTableWidgetItem* cell = item(row, column);
  return cell == nullptr ? QString() : cell->text();
}

void ValueGrid::SetValue(int row, const QString& text, int column) {
  if (QTableWidgetItem* cell = item(row, column)) {
    setting_ = true;
    cell->setText(text);
    setting_ = false;
  }
}

std::vector<std::string> ValueGrid::Values(int column) const {
  std::vector<std::string> values;
  for (int row = 0; row < rowCount(); ++row) {
    values.push_back(Value(row, column).toStdString());
  }
  return values;
}

void ValueGrid::SetValues(const std::vector<std::string>& values, int column) {
  for (int row = 0; row < rowCount() && row < static_cast<int>(values.size()); ++row) {
    const QString text = QString::fromStdString(values[row]);
    if (Value(row, column) != text) {
      SetValue(row, text, column);
    }
  }
}

std::pair<int, int> ValueGrid::SelectedRows() const {
  // The user can select one range only; a program adding one, the last one counts.
  const QList<QTableWidgetSelectionRange> ranges = selectedRanges();
  if (ranges.isEmpty()) {
    const int row = std::max(0, currentRow());
    return {row, row};
  }
  return {ranges.last().topRow(), ranges.last().bottomRow()};
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

void ValueGrid::EditCell(int row, int column) {
  setFocus();
  setCurrentCell(row, column);
  scrollToItem(item(row, column));
  editItem(item(row, column));
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

CellDelegate::CellDelegate(QAbstractItemView* grid, int bar_column)
    : QStyledItemDelegate(grid), grid_(grid), bar_column_(bar_column) {
  grid->installEventFilter(this);
  // The range chosen for a fill stays as visible while the focus is in the fill's box.
  QPalette palette = grid->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  grid->setPalette(palette);
}

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);  // the background and the selection
  if (index.column() != bar_column_) {
    return;
  }
  const double fill = std::clamp(index.data(kBarRole).toDouble(), 0.0, 1.0);
  QRect bar = option.rect.adjusted(3, 4, -3, -4);
  bar.setWidth(std::max(fill > 0 ? 1 : 0, static_cast<int>(bar.width() * fill)));
  painter->fillRect(bar, QColor::fromRgb(index.data(kBarColourRole).toUInt()));
  if (!bar.isEmpty()) {
    // Framed, so that a pale pen's bar stands out from the white.
    painter->setPen(QColor(0, 0, 0, 96));
    painter->drawRect(bar.adjusted(0, 0, -1, -1));
  }
}

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
  if (object == grid_) {
    // The grid is watched for its Delete key only; the base class would take its focus-out for
    // an editor's.
    if (event->type() != QEvent::KeyPress) {
      return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    // While a cell is typed into its editor has the keys: this is the grid's own Delete.
    if (key->key() == Qt::Key_Delete) {
      for (const QModelIndex& index : grid_->selectionModel()->selectedIndexes()) {
        if ((index.flags() & Qt::ItemIsEditable) != 0) {
          grid_->model()->setData(index, QString());
        }
      }
      return true;
    }
    return false;
  }
  if (event->type() != QEvent::KeyPress) {
    return QStyledItemDelegate::eventFilter(object, event);
  }
  auto* key = static_cast<QKeyEvent*>(event);
  const bool confirm = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
  if (!confirm && key->key() != Qt::Key_Escape) {
    return QStyledItemDelegate::eventFilter(object, event);
  }
  auto* editor = static_cast<QWidget*>(object);
  if (!confirm) {
    emit closeEditor(editor, RevertModelCache);
    return true;
  }
  emit commitData(editor);
  emit closeEditor(editor, NoHint);
  const QModelIndex current = grid_->currentIndex();
  const QModelIndex below = current.sibling(current.row() + 1, current.column());
  if (below.isValid()) {
    grid_->setCurrentIndex(below);
  }
  return true;
}

}  // namespace penmorph
