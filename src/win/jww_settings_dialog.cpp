#include "win/jww_settings_dialog.h"

#include <commctrl.h>

#include "app/dialog_texts.h"
#include "win/control_ids.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace {

namespace texts = app::dialog_texts;

constexpr DWORD kStaticStyle = SS_LEFT | SS_NOPREFIX;

constexpr int kOptionGeometry[TForm3::kOptionCount][3] = {
    {8, 328, 209}, {8, 352, 209},   {8, 376, 281},   {8, 400, 281},
    {8, 424, 281}, {296, 328, 225}, {296, 352, 225},
};

}  // namespace

TForm3::TForm3(JwwConvSettings& table, Desktop& desktop, HWND owner, POINT place)
    : table_(table), desktop_(desktop), owner_(owner) {
  RegisterClassOnce(kClassName);
  CreateWindowOf(kClassName, Wide(texts::kJwwTitle).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                 WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, place.x, place.y, 100, 100, owner);
  hint_brush_ = CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF));
  Build();
  ApplyDpi(WindowDpi(hwnd()));
}

void TForm3::Build() {
  HWND dialog = hwnd();
  auto label = [&](std::string_view text, int left, int top, int width, int height) {
    return layout_.Place(AddControl(dialog, L"STATIC", text, kStaticStyle, -1), left, top, width,
                         height);
  };
  // Created in the order the Tab key walks them.
  label(texts::kColourGridLabel, 8, 8, 48, 12);
  colours_ =
      std::make_unique<ValueGrid>(dialog, ids::kStringGrid1, std::string(texts::kGridCorner),
                                  std::string(texts::kColourGridHeading), app::ColourRowCaptions());
  layout_.Place(colours_->hwnd(), 8, 24, 281, 217);
  label(texts::kLineTypeGridLabel, 296, 8, 48, 12);
  line_types_ = std::make_unique<ValueGrid>(
      dialog, ids::kStringGrid2, std::string(texts::kGridCorner),
      std::string(texts::kLineTypeGridHeading), app::LineTypeRowCaptions());
  layout_.Place(line_types_->hwnd(), 296, 24, 281, 217);

  label(texts::kFillBefore, 8, 252, 120, 12);
  colour_value_ = layout_.Place(
      AddControl(dialog, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, ids::kEdit1, WS_EX_CLIENTEDGE),
      136, 248, 49, 20);
  label(texts::kFillAfter, 192, 252, 36, 12);
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kFillButton, WS_TABSTOP | BS_PUSHBUTTON, ids::kButton1),
      240, 248, 49, 20);
  label(texts::kFillBefore, 296, 252, 120, 12);
  line_type_value_ = layout_.Place(
      AddControl(dialog, L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, ids::kEdit2, WS_EX_CLIENTEDGE),
      424, 248, 49, 20);
  label(texts::kFillAfter, 480, 252, 36, 12);
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kFillButton, WS_TABSTOP | BS_PUSHBUTTON, ids::kButton2),
      528, 248, 49, 20);

  label(texts::kSelectionHint, 8, 272, 552, 12);
  hints_[0] = label(texts::kRangeHint, 8, 288, 570, 15);
  hints_[1] = label(texts::kZeroHint, 8, 304, 240, 15);

  for (int k = 0; k < kOptionCount; ++k) {
    options_[k] =
        layout_.Place(AddControl(dialog, L"BUTTON", texts::kJwwOptions[k],
                                 WS_TABSTOP | BS_AUTOCHECKBOX, ids::kJwwCheckBox0 + k + 1),
                      kOptionGeometry[k][0], kOptionGeometry[k][1], kOptionGeometry[k][2], 17);
  }
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kOkButton, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK), 352,
      416, 105, 25);
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kCancelButton, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL),
      472, 416, 105, 25);
}

void TForm3::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  font_ = UiFont(12, dpi);
  hint_font_ = UiFont(15, dpi);
  SetFontOfChildren(hwnd(), font_.get());
  for (HWND hint : hints_) {
    SendMessageW(hint, WM_SETFONT, reinterpret_cast<WPARAM>(hint_font_.get()), TRUE);
  }
  layout_.Apply(dpi);
  colours_->ApplyDpi(dpi);
  line_types_->ApplyDpi(dpi);
  SetClientSize(hwnd(), 582, 445, dpi);
}

POINT TForm3::Place() const {
  RECT frame{};
  GetWindowRect(hwnd(), &frame);
  return {frame.left, frame.top};
}

void TForm3::ShowModal() {
  // Hidden since it was laid out, it may open on a monitor of another DPI.
  if (WindowDpi(hwnd()) != dpi_) {
    ApplyDpi(WindowDpi(hwnd()));
  }
  FormShow();
  done_ = false;
  SetFocus(colours_->hwnd());
  RunModal(hwnd(), owner_, done_);
  colours_->CancelOpenEditor();
  line_types_->CancelOpenEditor();
}

void TForm3::FormShow() {
  colours_->CommitOpenEditor();
  line_types_->CommitOpenEditor();
  const app::JwwSettingsForm form = app::JwwFormFromTable(table_);
  colours_->SetValues(form.colours);
  line_types_->SetValues(form.line_types);
  for (int k = 1; k <= kOptionCount; ++k) {
    SendMessageW(CheckBox(k), BM_SETCHECK, form.options[k - 1] ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void TForm3::FillRange(ValueGrid& grid, HWND edit, app::ValueRule rule) {
  grid.CommitOpenEditor();
  std::vector<std::string> cells = grid.Values();
  auto [first, last] = grid.SelectedRows();
  const auto text = app::FillRows(cells, static_cast<std::size_t>(first),
                                  static_cast<std::size_t>(last), Utf8(WindowText(edit)), rule);
  if (!text) {
    desktop_.Beep();
    desktop_.ShowMessage(hwnd(), app::MessageKind::kError,
                         app::FillRefusalText(Utf8(WindowText(edit)), rule));
    SetFocus(edit);
    return;
  }
  SetWindowTextUtf8(edit, *text);
  grid.SetValues(cells);
}

void TForm3::Button1Click() {
  FillRange(*colours_, colour_value_, app::ValueRule::kColour);
}

void TForm3::Button2Click() {
  FillRange(*line_types_, line_type_value_, app::ValueRule::kLineType);
}

void TForm3::Button3Click() {
  colours_->CommitOpenEditor();
  line_types_->CommitOpenEditor();
  app::JwwSettingsForm form;
  form.colours = colours_->Values();
  form.line_types = line_types_->Values();
  for (int k = 1; k <= kOptionCount; ++k) {
    form.options[k - 1] = SendMessageW(CheckBox(k), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  const auto refused = app::ConfirmJwwForm(form, table_);
  // Cells checked before a refused one show their decimal value, as after a success.
  colours_->SetValues(form.colours);
  line_types_->SetValues(form.line_types);
  if (refused) {
    ValueGrid& grid = refused->grid == app::RefusedCell::kColours ? *colours_ : *line_types_;
    desktop_.Beep();
    // Before the cell's editor opens: the box taking the focus would close it again.
    desktop_.ShowMessage(hwnd(), app::MessageKind::kError, refused->message);
    SetFocus(grid.hwnd());
    grid.SetCurrentRow(static_cast<int>(refused->row));
    grid.BeginEdit();  // the text selected, to be typed over
    return;
  }
  done_ = true;
}

void TForm3::Button4Click() {
  done_ = true;
}

LRESULT TForm3::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ids::kButton1:
          Button1Click();
          return 0;
        case ids::kButton2:
          Button2Click();
          return 0;
        case IDOK:
          Button3Click();
          return 0;
        case IDCANCEL:
          Button4Click();
          return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
      LRESULT result = 0;
      // The grids notify while they are made, before both exist.
      if ((colours_ && colours_->Notify(header, result)) ||
          (line_types_ && line_types_->Notify(header, result))) {
        return result;
      }
      break;
    }
    case WM_CLOSE:
      Button4Click();
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
