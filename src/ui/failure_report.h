#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/dialog_flow.h"
#include "app/run_summary.h"

class QPlainTextEdit;
class QPushButton;

namespace penmorph {

class UserPrompts;

// Shown after a run in which files were not converted: the run's counts, then each such file
// with its reason, so that none goes unnoticed in a long batch. The text can be selected,
// copied and saved. A "基準チェック"'s report is shown the same way.
class FailureReport : public QDialog, private app::SavingWindow {
  Q_OBJECT

 public:
  FailureReport(const app::RunSummary& summary, UserPrompts& prompts, QWidget* parent = nullptr);
  // Any other report the model wrote whole, such as a "基準チェック"'s.
  FailureReport(std::string report, UserPrompts& prompts, QWidget* parent = nullptr,
                app::ReportSaving saving = app::kCheckReportSaving);

  QPlainTextEdit* text() const { return text_; }

 public slots:
  void CopyAll();
  void SaveAs();

 private:
  std::optional<std::filesystem::path> ChooseSaveFile(const app::FileToSave& file) override;
  void ShowError(const std::string& text) override;

  UserPrompts& prompts_;
  std::string report_;  // as the layer worded it, also what is saved
  app::ReportSaving saving_;
  QPlainTextEdit* text_;
};

}  // namespace penmorph
