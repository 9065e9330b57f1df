#include "win/layer_settings_dialog.h"

#include <commctrl.h>

#include "app/dialog_texts.h"
#include "win/control_ids.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace {

namespace texts = app::dialog_texts;

constexpr DWORD kStaticStyle = SS_LEFT | SS_NOPREFIX;
constexpr int kClientWidth = 760;
constexpr int kClientHeight = 470;

}  // namespace

TForm4::TForm4(LayerTable& table, Desktop& desktop, HWND owner)
    : table_(table),
      desktop_(desktop),
      owner_(owner),
      drawing_layer_names_(app::DrawingLayerNames(nullptr)),
      drawing_group_names_(app::DrawingGroupNames(nullptr)) {
  RegisterClassOnce(kClassName);
  CreateWindowOf(kClassName, Wide(texts::kLayerTitle).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                 WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, 0, 0, 100, 100, owner);
  hint_brush_ = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
  Build();
  ApplyDpi(WindowDpi(hwnd()));
}

void TForm4::Build() {
  HWND dialog = hwnd();
  auto label = [&](std::string_view text, int left, int top, int width, int height) {
    return layout_.Place(AddControl(dialog, L"STATIC", text, kStaticStyle, -1), left, top, width,
                         height);
  };
  const std::string drawing_name(texts::kDrawingNameHeading);
  const std::string new_name(texts::kNewNameHeading);
  // Created in the order the Tab key walks them. The grids' labels keep their "&": Alt and the
  // letter go to the control after the label, the grid.
  auto grid_label = [&](std::string_view text, int left, int top, int width) {
    return layout_.Place(AddControl(dialog, L"STATIC", text, SS_LEFT, -1), left, top, width, 12);
  };
  grid_label(texts::kLayerGridLabel, 8, 8, 120);
  layers_ = std::make_unique<ValueGrid>(
      dialog, ids::kStringGrid1, "", 48,
      std::vector<GridColumn>{{drawing_name, 150, false},
                              {std::string(texts::kTargetHeading), 56, true},
                              {new_name, 150, true}},
      app::LayerRowCaptions());
  layout_.Place(layers_->hwnd(), 8, 24, 426, 313);
  grid_label(texts::kGroupGridLabel, 446, 8, 160);
  groups_ = std::make_unique<ValueGrid>(
      dialog, ids::kStringGrid2, "", 48,
      std::vector<GridColumn>{{drawing_name, 110, false}, {new_name, 124, true}},
      app::GroupRowCaptions());
  layout_.Place(groups_->hwnd(), 446, 24, 306, 313);

  label(texts::kFillBefore, 8, 348, 120, 12);
  target_value_ = layout_.Place(
      AddControl(dialog, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, ids::kEdit1, WS_EX_CLIENTEDGE),
      136, 344, 49, 20);
  label(texts::kFillAfter, 192, 348, 36, 12);
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kFillButton, WS_TABSTOP | BS_PUSHBUTTON, ids::kButton1),
      240, 344, 49, 20);

  label(texts::kSelectionHint, 8, 372, 744, 12);
  hints_[0] = label(texts::kLayerHint, 8, 390, 744, 15);
  hints_[1] = label(texts::kLayerNameHint, 8, 406, 744, 15);
  hints_[2] = label(texts::kLayerScaleHint, 8, 422, 500, 15);

  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kOkButton, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK), 532,
      440, 105, 25);
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kCancelButton, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL),
      647, 440, 105, 25);
}

void TForm4::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  font_ = UiFont(12, dpi);
  SetFontOfChildren(hwnd(), font_.get());
  layout_.Apply(dpi);
  layers_->ApplyDpi(dpi);
  groups_->ApplyDpi(dpi);
  SetClientSize(hwnd(), kClientWidth, kClientHeight, dpi);
}

void TForm4::SetDrawingLayers(const preview::LayerSheet* sheet, MoveQuestion question) {
  move_question_ = std::move(question);
  drawing_layer_names_ = app::DrawingLayerNames(sheet);
  drawing_group_names_ = app::DrawingGroupNames(sheet);
}

void TForm4::ShowModal() {
  if (WindowDpi(hwnd()) != dpi_) {
    ApplyDpi(WindowDpi(hwnd()));
  }
  // Centred on the main window: its place is not kept in the ini file.
  RECT owner{};
  RECT frame{};
  GetWindowRect(owner_, &owner);
  GetWindowRect(hwnd(), &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(hwnd(), nullptr, owner.left + (owner.right - owner.left - width) / 2,
               owner.top + (owner.bottom - owner.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FormShow();
  done_ = false;
  SetFocus(layers_->hwnd());
  RunModal(hwnd(), owner_, done_);
  layers_->CancelOpenEditor();
  groups_->CancelOpenEditor();
}

void TForm4::CommitOpenEditors() {
  layers_->CommitOpenEditor();
  groups_->CommitOpenEditor();
}

void TForm4::FormShow() {
  CommitOpenEditors();
  const app::LayerSettingsForm form = app::LayerFormFromTable(table_);
  layers_->SetValues(drawing_layer_names_, kLayerDrawingName);
  layers_->SetValues(form.targets, kTarget);
  layers_->SetValues(form.layer_names, kLayerNewName);
  groups_->SetValues(drawing_group_names_, kGroupDrawingName);
  groups_->SetValues(form.group_names, kGroupNewName);
}

void TForm4::Button1Click() {
  CommitOpenEditors();
  std::vector<std::string> targets = layers_->Values(kTarget);
  auto [first, last] = layers_->SelectedRows();
  const auto text =
      app::FillTargets(targets, static_cast<std::size_t>(first), static_cast<std::size_t>(last),
                       Utf8(WindowText(target_value_)));
  if (!text) {
    desktop_.Beep();
    desktop_.ShowMessage(hwnd(), app::MessageKind::kError,
                         app::FillTargetRefusalText(Utf8(WindowText(target_value_))));
    SetFocus(target_value_);
    return;
  }
  SetWindowTextUtf8(target_value_, *text);
  layers_->SetValues(targets, kTarget);
}

void TForm4::Button2Click() {
  CommitOpenEditors();
  app::LayerSettingsForm form;
  form.targets = layers_->Values(kTarget);
  form.layer_names = layers_->Values(kLayerNewName);
  form.group_names = groups_->Values(kGroupNewName);
  LayerTable proposed = table_;
  const auto refused = app::ConfirmLayerForm(form, proposed);
  layers_->SetValues(form.targets, kTarget);
  if (refused) {
    desktop_.Beep();
    // Before the cell's editor opens: the box taking the focus would close it again.
    desktop_.ShowMessage(hwnd(), app::MessageKind::kError, refused->message);
    SetFocus(layers_->hwnd());
    layers_->SetEditColumn(kTarget);
    layers_->SetCurrentRow(static_cast<int>(refused->row));
    layers_->BeginEdit();
    return;
  }
  if (const std::string question = move_question_ ? move_question_(proposed) : std::string();
      !question.empty() && !desktop_.AskYesNo(hwnd(), question)) {
    return;  // the dialog stays open, the table as it was
  }
  table_ = std::move(proposed);
  done_ = true;
}

void TForm4::Button3Click() {
  done_ = true;
}

LRESULT TForm4::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ids::kButton1:
          Button1Click();
          return 0;
        case IDOK:
          Button2Click();
          return 0;
        case IDCANCEL:
          Button3Click();
          return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
      LRESULT result = 0;
      if ((layers_ && layers_->Notify(header, result)) ||
          (groups_ && groups_->Notify(header, result))) {
        return result;
      }
      break;
    }
    case WM_CLOSE:
      Button3Click();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (HBRUSH brush = PaintHint(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam),
                                   hints_, hint_brush_)) {
        return reinterpret_cast<LRESULT>(brush);
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(wparam));
      return 0;
    case WM_DESTROY:
      DeleteObject(hint_brush_);
      hint_brush_ = nullptr;
      break;
  }
  return WindowBase::HandleMessage(message, wparam, lparam);
}

}  // namespace penmorph::win
