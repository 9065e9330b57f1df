#pragma once

// The three settings dialogs, each built from the description its model gives. The handlers keep
// the names the dialogs' buttons have always had.

#include "app/settings_dialogs.h"
#include "win/described_dialog.h"

namespace penmorph::win {

// "JWC/JWK設定": six pens, seventeen line types and the flag for the text settings' pens.
class TForm2 : public DescribedDialog {
 public:
  TForm2(app::JwcSettingsDialog& model, Desktop& desktop, HWND owner, POINT place)
      : DescribedDialog(model, desktop, owner, place), model_(model) {}

  void Button1Click() { Press(model_.description().ok); }
  void Button2Click() { Press(model_.description().cancel); }

 private:
  app::JwcSettingsDialog& model_;
};

// "JWW/JWS設定": the colours and line types as numbers in two grids, and the options.
class TForm3 : public DescribedDialog {
 public:
  TForm3(app::JwwSettingsDialog& model, Desktop& desktop, HWND owner, POINT place)
      : DescribedDialog(model, desktop, owner, place), model_(model) {}

  void Button1Click() { Press(model_.fill_button(0)); }
  void Button2Click() { Press(model_.fill_button(1)); }
  void Button3Click() { Press(model_.description().ok); }
  void Button4Click() { Press(model_.description().cancel); }

 private:
  app::JwwSettingsDialog& model_;
};

// "レイヤ設定": where each layer's entities go and new names, beside the drawing's names. It opens
// centred on the main window: its place is not kept.
class TForm4 : public DescribedDialog {
 public:
  TForm4(app::LayerSettingsDialog& model, Desktop& desktop, HWND owner)
      : DescribedDialog(model, desktop, owner, std::nullopt), model_(model) {}

  void Button1Click() { Press(model_.fill_button()); }
  void Button2Click() { Press(model_.description().ok); }
  void Button3Click() { Press(model_.description().cancel); }

 private:
  app::LayerSettingsDialog& model_;
};

}  // namespace penmorph::win
