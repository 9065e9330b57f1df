#pragma once

// Builds any settings dialog from its description as a window of common controls: each control
// at its place scaled to the monitor's DPI, in its tab order, filled from the dialog's model
// when it opens; buttons go to the model and its reply is carried out.

#include <memory>
#include <optional>
#include <vector>

#include "app/dialog_flow.h"
#include "win/controls.h"
#include "win/desktop.h"
#include "win/ui_font.h"
#include "win/value_grid.h"
#include "win/window_base.h"

namespace penmorph::win {

class DescribedDialog : public WindowBase, private app::DialogWindow {
 public:
  // The window class is "T" and the description's name ("TForm3"). Without `place` the dialog
  // opens centred on its owner each time.
  DescribedDialog(app::DialogModel& model, Desktop& desktop, HWND owner,
                  std::optional<POINT> place);
  ~DescribedDialog() override;

  // Shows the dialog modally; its table changes only when the user confirms.
  void ShowModal();
  POINT Place() const;
  HWND Control(int index) const { return controls_[index]; }

  void FormShow();
  // As a click on control `button` does.
  void Press(int button);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Build();
  void ApplyDpi(UINT dpi);
  void CentreOnOwner();
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
  LRESULT PaintStatic(HWND control, HDC dc);

  app::DialogModel& model_;
  Desktop& desktop_;
  HWND owner_;
  bool centred_;
  FixedLayout layout_;
  UINT dpi_ = 96;  // the DPI the controls are laid out for
  UiFont font_;
  std::vector<UiFont> own_fonts_;  // by control: the ones with a font of their own
  std::vector<HWND> controls_;
  std::vector<std::unique_ptr<ValueGrid>> grids_;  // by control, null but for grids
  std::vector<HBRUSH> brushes_;                    // by control: hints' and swatches' ground
  bool done_ = false;
};

}  // namespace penmorph::win
