#pragma once

#include <QDialog>
#include <vector>

#include "ui/user_prompts.h"

class QTableWidget;

namespace penmorph {

// Shown after a conversion in which files failed: each such file with the reason, so that none
// goes unnoticed in a long batch.
class FailureReport : public QDialog {
  Q_OBJECT

 public:
  explicit FailureReport(const std::vector<FailedFile>& failures, QWidget* parent = nullptr);

  QTableWidget* table() const { return table_; }

 private:
  QTableWidget* table_;
};

}  // namespace penmorph
