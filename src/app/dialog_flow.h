#pragma once

// What happens, and in which order, when a described dialog opens, when one of its buttons is
// pressed and when its cells are typed into. Each window implements DialogWindow with its own
// controls and boxes; the flow between the window and the dialog's model is written once, here.

#include <filesystem>
#include <optional>
#include <string>

#include "app/dialog_description.h"

namespace penmorph::app {

// A window that offers a text to save: its file picker and its error box.
class SavingWindow {
 public:
  virtual ~SavingWindow() = default;
  // Where the user wants `file` saved; nothing when the picker was cancelled.
  virtual std::optional<std::filesystem::path> ChooseSaveFile(const FileToSave& file) = 0;
  // A beep, then an error box over the window.
  virtual void ShowError(const std::string& text) = 0;
};

// Asks where, then saves `file`; a failure is told.
void SaveChosenFile(const FileToSave& file, SavingWindow& window);

class DialogWindow : public SavingWindow {
 public:
  // The controls' contents, what is being typed into a cell taken in first.
  virtual DialogValues ValuesOnScreen() = 0;
  virtual void ShowValues(const DialogValues& values) = 0;
  virtual void CopyToClipboard(const std::string& text) = 0;
  virtual bool AskYesNo(const std::string& question) = 0;
  virtual void Focus(int control) = 0;
  // Grid `grid` takes the focus with the cell current and its editor open, the text selected to
  // be typed over.
  virtual void EditCell(int grid, int row, int column) = 0;
  // Grid `grid` takes the focus with `row` current and the only one selected.
  virtual void SelectRow(int grid, int row) = 0;
  virtual void Close(DialogReply::Close how) = 0;
};

// As the dialog opens: the model's values, the fill boxes keeping what they last held.
void OpenDialog(DialogModel& model, DialogWindow& window);
// Control `button` pressed (Enter and Esc press the description's OK and cancel).
void PressDialogButton(DialogModel& model, DialogWindow& window, int button);
// The user typed into or emptied cells of grid `grid`.
void DialogCellsEdited(DialogModel& model, DialogWindow& window, int grid);

}  // namespace penmorph::app
