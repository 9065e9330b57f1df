#include "ui/dialog_layout.h"

#include <QDialog>
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

}  // namespace penmorph
