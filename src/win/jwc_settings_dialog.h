#pragma once

// The JWC/JWK settings dialog: the table of the DOS formats - six pens, seventeen line types
// and one option - chosen in drop-down lists whose item positions are the stored values.

#include <array>

#include "app/jwc_settings_form.h"
#include "settings/conv_settings.h"
#include "win/controls.h"
#include "win/desktop.h"
#include "win/ui_font.h"
#include "win/window_base.h"

namespace penmorph::win {

class TForm2 : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"TForm2";
  static constexpr int kListCount = app::JwcSettingsForm::kListCount;

  TForm2(JwcConvSettings& table, Desktop& desktop, HWND owner, POINT place);

  // Shows the dialog modally; the table changes only when the user confirms.
  void ShowModal();
  POINT Place() const;

  HWND ComboBox(int k) const { return lists_[k - 1]; }

  void FormShow();
  void Button1Click();
  void Button2Click();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Build();
  void ApplyDpi(UINT dpi);

  JwcConvSettings& table_;
  Desktop& desktop_;
  HWND owner_;
  FixedLayout layout_;
  UINT dpi_ = 96;  // the DPI the controls are laid out for
  UiFont font_;
  std::array<HWND, kListCount> lists_{};
  std::array<HWND, 6> swatches_{};
  std::array<HBRUSH, 6> swatch_brushes_{};
  HWND check_box_ = nullptr;
  bool done_ = false;
};

}  // namespace penmorph::win
