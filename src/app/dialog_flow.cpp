#include "app/dialog_flow.h"

#include "app/run_report.h"

namespace penmorph::app {

namespace {

void CarryOut(DialogModel& model, DialogWindow& window, const DialogReply& reply) {
  if (!reply.clipboard.empty()) {
    window.CopyToClipboard(reply.clipboard);
  }
  if (reply.save) {
    SaveChosenFile(*reply.save, window);
  }
  if (!reply.error.empty()) {
    // Before a cell's editor opens: the box taking the focus would close it again.
    window.ShowError(reply.error);
  }
  if (reply.focus >= 0) {
    const bool grid = model.description().controls[static_cast<std::size_t>(reply.focus)].kind ==
                      ControlKind::kGrid;
    if (grid && reply.edit_row >= 0) {
      window.EditCell(reply.focus, reply.edit_row, reply.edit_column);
    } else if (grid && reply.select_row >= 0) {
      window.SelectRow(reply.focus, reply.select_row);
    } else {
      window.Focus(reply.focus);
    }
  }
  if (!reply.question.empty()) {
    CarryOut(model, window, model.Answer(window.AskYesNo(reply.question)));
    return;
  }
  if (reply.close != DialogReply::Close::kStay) {
    window.Close(reply.close);
  }
}

}  // namespace

void SaveChosenFile(const FileToSave& file, SavingWindow& window) {
  const std::optional<std::filesystem::path> chosen = window.ChooseSaveFile(file);
  if (!chosen) {
    return;
  }
  if (Status saved = SaveReportText(*chosen, file.contents); !saved.ok()) {
    window.ShowError(ReportNotSavedText(*chosen, saved.error()));
  }
}

void OpenDialog(DialogModel& model, DialogWindow& window) {
  window.ShowValues(model.Open(window.ValuesOnScreen()));
}

void PressDialogButton(DialogModel& model, DialogWindow& window, int button) {
  DialogValues values = window.ValuesOnScreen();
  const DialogReply reply = model.Press(button, values);
  window.ShowValues(values);
  CarryOut(model, window, reply);
}

void DialogCellsEdited(DialogModel& model, DialogWindow& window, int grid) {
  DialogValues values = window.ValuesOnScreen();
  if (model.CellEdited(grid, values)) {
    window.ShowValues(values);
  }
}

}  // namespace penmorph::app
