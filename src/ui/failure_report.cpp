#include "ui/failure_report.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace penmorph {

FailureReport::FailureReport(const std::vector<FailedFile>& failures, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(static_cast<int>(failures.size()), 2, this)) {
  setObjectName(QStringLiteral("FailureReport"));
  setWindowTitle(kApplicationTitle);
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(
      QStringLiteral("次の %1 個のファイルは変換できませんでした。").arg(failures.size()), this);
  layout->addWidget(heading);

  table_->setHorizontalHeaderLabels({QStringLiteral("ファイル"), QStringLiteral("理由")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->horizontalHeader()->setStretchLastSection(true);
  for (int row = 0; row < static_cast<int>(failures.size()); ++row) {
    table_->setItem(row, 0, new QTableWidgetItem(failures[row].file));
    table_->setItem(row, 1, new QTableWidgetItem(failures[row].reason));
  }
  table_->resizeColumnToContents(0);
  layout->addWidget(table_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(640, 320);
}

}  // namespace penmorph
