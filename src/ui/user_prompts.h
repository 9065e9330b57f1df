#pragma once

// Everything the windows ask of the desktop: message boxes, the beep, the file and folder
// pickers and opening a file with its program. Behind an interface so the tests can answer in
// place of a user.

#include <QString>
#include <optional>
#include <vector>

#include "app/prompts.h"
#include "app/run_summary.h"

class QWidget;

namespace penmorph {

using app::MessageKind;

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  // A box of the kind with an OK button, titled with the program's name.
  virtual void ShowMessage(QWidget* parent, MessageKind kind, const QString& text) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
  virtual void Beep() = 0;

  // A folder picker starting in `start`; the chosen folder must exist. nullopt on cancel.
  virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                              const QString& start) = 0;
  // The settings-file picker ("*.set"), for saving or opening, starting at `start` (a folder,
  // or a file whose folder and name are preset).
  virtual std::optional<QString> ChooseSettingsFile(QWidget* parent, bool save,
                                                    const QString& title, const QString& start) = 0;

  // The save picker for a report, starting at `start`, offering `filter` ("*.txt" unless told).
  virtual std::optional<QString> ChooseReportFile(QWidget* parent, const QString& title,
                                                  const QString& start,
                                                  const QString& filter = {}) = 0;

  // Opens the file with the program the desktop associates with it; false when none took it.
  virtual bool OpenWithAssociatedProgram(const QString& path) = 0;

  // The end of a run: its counts, and the files not converted, each with its reason.
  virtual void ShowReport(QWidget* parent, const app::RunSummary& summary) = 0;
  // The end of a "基準チェック": its report as the model wrote it.
  virtual void ShowCheckReport(QWidget* parent, const std::string& report) = 0;
};

// The real desktop: QMessageBox, QApplication::beep, QFileDialog, QDesktopServices.
class DesktopPrompts : public UserPrompts {
 public:
  void ShowMessage(QWidget* parent, MessageKind kind, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& text) override;
  void Beep() override;
  std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                      const QString& start) override;
  std::optional<QString> ChooseSettingsFile(QWidget* parent, bool save, const QString& title,
                                            const QString& start) override;
  std::optional<QString> ChooseReportFile(QWidget* parent, const QString& title,
                                          const QString& start, const QString& filter) override;
  bool OpenWithAssociatedProgram(const QString& path) override;
  void ShowReport(QWidget* parent, const app::RunSummary& summary) override;
  void ShowCheckReport(QWidget* parent, const std::string& report) override;
};

// The caption of every message box.
inline const QString kApplicationTitle = QStringLiteral("Penmorph");

}  // namespace penmorph
