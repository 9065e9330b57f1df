#include "ui/dialog_layout.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>

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

bool CellDelegate::eventFilter(QObject* object, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool confirm = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (confirm || key->key() == Qt::Key_Escape) {
      auto* editor = static_cast<QWidget*>(object);
      QWidget* dialog = editor->window();
      if (confirm) {
        emit commitData(editor);
      }
      emit closeEditor(editor, confirm ? NoHint : RevertModelCache);
      QKeyEvent forwarded(QEvent::KeyPress, key->key(), key->modifiers());
      QCoreApplication::sendEvent(dialog, &forwarded);
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace penmorph
