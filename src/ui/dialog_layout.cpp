#include "ui/dialog_layout.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>

#include "ui/ui_fonts.h"

namespace penmorph {

void SetUpFixedDialog(QDialog& dialog, const QString& title, int width, int height) {
  dialog.setWindowTitle(title);
  dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setFont(FixedUiFont(12));
  dialog.setFixedSize(width, height);
}

QLabel* AddLabel(const QString& text, QWidget* parent, int left, int top, int width, int height) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(left, top, width, height);
  return label;
}

CellDelegate::CellDelegate(QAbstractItemView* grid) : QStyledItemDelegate(grid), grid_(grid) {
  grid->installEventFilter(this);
  // The range chosen for a fill stays as visible while the focus is in the fill's box.
  QPalette palette = grid->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  grid->setPalette(palette);
}

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
  if (event->type() != QEvent::KeyPress) {
    return QStyledItemDelegate::eventFilter(object, event);
  }
  auto* key = static_cast<QKeyEvent*>(event);
  if (object == grid_) {
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
