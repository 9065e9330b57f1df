#pragma once

// Builds any settings dialog from its description: each control where the description places it,
// in its tab order, filled from the dialog's model when it opens; buttons go to the model and its
// reply is carried out (an error box, the focus, a cell to correct, a question, closing).

#include <QDialog>
#include <vector>

#include "app/dialog_flow.h"

namespace penmorph {

class UserPrompts;
class ValueGrid;

class DescribedDialog : public QDialog, private app::DialogWindow {
  Q_OBJECT

 public:
  DescribedDialog(app::DialogModel& model, UserPrompts& prompts, QWidget* parent);

  QWidget* Control(int index) const { return controls_[index]; }
  ValueGrid* Grid(int index) const;

 public slots:
  void FormShow();
  // As a click on control `button` does.
  void Press(int button);
  // Esc and the frame's close button: the description's cancel button.
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* Build(const app::ControlDescription& control, int index);
  // app::DialogWindow
  app::DialogValues ValuesOnScreen() override;
  void ShowValues(const app::DialogValues& values) override;
  std::optional<std::filesystem::path> ChooseSaveFile(const app::FileToSave& file) override;
  void ShowError(const std::string& text) override;
  void CopyToClipboard(const std::string& text) override;
  bool AskYesNo(const std::string& question) override;
  void Focus(int control) override;
  void EditCell(int grid, int row, int column) override;
  void SelectRow(int grid, int row) override;
  void Close(app::DialogReply::Close how) override;

  app::DialogModel& model_;
  UserPrompts& prompts_;
  std::vector<QWidget*> controls_;
};

}  // namespace penmorph
