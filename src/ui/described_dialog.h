#pragma once

// Builds any settings dialog from its description: each control where the description places it,
// in its tab order, filled from the dialog's model when it opens; buttons go to the model and its
// reply is carried out (an error box, the focus, a cell to correct, a question, closing).

#include <QDialog>
#include <vector>

#include "app/dialog_description.h"

namespace penmorph {

class UserPrompts;
class ValueGrid;

class DescribedDialog : public QDialog {
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
  app::DialogValues ValuesOnScreen() const;
  void ShowValues(const app::DialogValues& values);
  void CarryOut(const app::DialogReply& reply);
  // Asks where, then saves; a failure is told.
  void Save(const app::FileToSave& file);
  // After the user typed into grid `index`: the model may rewrite what follows from it.
  void CellsEdited(int index);

  app::DialogModel& model_;
  UserPrompts& prompts_;
  std::vector<QWidget*> controls_;
};

}  // namespace penmorph
