#pragma once

// The layer dialog: where the entities of each of the 256 layers go and new names for layers
// and groups, beside the names the highlighted drawing gives them; checked only when the user
// confirms.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/layer_settings_form.h"
#include "settings/layer_table.h"
#include "win/controls.h"
#include "win/desktop.h"
#include "win/ui_font.h"
#include "win/value_grid.h"
#include "win/window_base.h"

namespace penmorph::win {

class TForm4 : public WindowBase {
 public:
  static constexpr const wchar_t* kClassName = L"TForm4";
  // Columns of the layer grid and of the group grid (0 holds the captions).
  enum LayerColumn { kLayerDrawingName = 1, kTarget, kLayerNewName };
  enum GroupColumn { kGroupDrawingName = 1, kGroupNewName };

  TForm4(LayerTable& table, Desktop& desktop, HWND owner);

  // Asked at OK of a table that passes its checks: a question for the user, or empty.
  using MoveQuestion = std::function<std::string(const LayerTable& proposed)>;

  // The highlighted drawing's layers (nullptr: none), shown the next time the dialog opens, and
  // the question OK asks about it (see app::LayerMoveQuestion).
  void SetDrawingLayers(const preview::LayerSheet* sheet, MoveQuestion question = {});
  // Shows the dialog modally, centred on its owner; the table changes only when the user
  // confirms.
  void ShowModal();

  ValueGrid& StringGrid1() { return *layers_; }
  ValueGrid& StringGrid2() { return *groups_; }

  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Build();
  void ApplyDpi(UINT dpi);
  void CommitOpenEditors();

  LayerTable& table_;
  MoveQuestion move_question_;
  Desktop& desktop_;
  HWND owner_;
  FixedLayout layout_;
  UINT dpi_ = 96;
  UiFont font_;
  std::vector<std::string> drawing_layer_names_;
  std::vector<std::string> drawing_group_names_;
  std::unique_ptr<ValueGrid> layers_;
  std::unique_ptr<ValueGrid> groups_;
  HWND target_value_ = nullptr;
  HWND hints_[3] = {};
  HBRUSH hint_brush_ = nullptr;
  bool done_ = false;
};

}  // namespace penmorph::win
