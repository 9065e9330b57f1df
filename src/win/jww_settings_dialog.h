#pragma once

// The JWW/JWS settings dialog: the table of the Windows formats - 265 colours, 49 line types
// and seven options - edited as numbers in two grids, checked only when the user confirms.

#include <array>
#include <memory>

#include "app/jww_settings_form.h"
#include "settings/conv_settings.h"
#include "win/controls.h"
#include "win/desktop.h"
#include "win/ui_font.h"
#include "win/value_grid.h"
#include "win/window_base.h"

namespace penmorph::win {

class TForm3 : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"TForm3";
  static constexpr int kOptionCount = app::JwwSettingsForm::kOptionCount;

  TForm3(JwwConvSettings& table, Desktop& desktop, HWND owner, POINT place);

  // Shows the dialog modally; the table changes only when the user confirms.
  void ShowModal();
  POINT Place() const;

  ValueGrid& StringGrid1() { return *colours_; }
  ValueGrid& StringGrid2() { return *line_types_; }

  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Build();
  void ApplyDpi(UINT dpi);
  void FillRange(ValueGrid& grid, HWND edit, app::ValueRule rule);
  HWND CheckBox(int k) const { return options_[k - 1]; }

  JwwConvSettings& table_;
  Desktop& desktop_;
  HWND owner_;
  FixedLayout layout_;
  UINT dpi_ = 96;  // the DPI the controls are laid out for
  UiFont font_;
  UiFont hint_font_;
  std::unique_ptr<ValueGrid> colours_;
  std::unique_ptr<ValueGrid> line_types_;
  HWND colour_value_ = nullptr;
  HWND line_type_value_ = nullptr;
  std::array<HWND, kOptionCount> options_{};
  HWND hints_[2] = {};
  HBRUSH hint_brush_ = nullptr;
  bool done_ = false;
};

}  // namespace penmorph::win
