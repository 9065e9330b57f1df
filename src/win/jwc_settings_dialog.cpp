#include "win/jwc_settings_dialog.h"

#include <string>

#include "app/dialog_texts.h"
#include "win/control_ids.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace {

namespace texts = app::dialog_texts;

COLORREF ColorOf(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

constexpr int kLeftColumnRows = 9;

constexpr DWORD kStaticStyle = SS_LEFT | SS_NOPREFIX;

}  // namespace

TForm2::TForm2(JwcConvSettings& table, Desktop& desktop, HWND owner, POINT place)
    : table_(table), desktop_(desktop), owner_(owner) {
  RegisterClassOnce(kClassName);
  CreateWindowOf(kClassName, Wide(texts::kJwcTitle).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU,
                 WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, place.x, place.y, 100, 100, owner);
  Build();
  ApplyDpi(WindowDpi(hwnd()));
}

void TForm2::Build() {
  HWND dialog = hwnd();
  // Created in the order the Tab key walks them.
  auto label = [&](std::string_view text, int left, int top, int width, int height) {
    return layout_.Place(AddControl(dialog, L"STATIC", text, kStaticStyle, -1), left, top, width,
                         height);
  };
  layout_.Place(AddControl(dialog, L"BUTTON", texts::kPenGroup, BS_GROUPBOX, -1), 0, 0, 201, 241);
  for (int row = 0; row < 6; ++row) {
    const int top = 24 * (row + 1);
    label(texts::kPenRows[row].label, 8, top, 36, 12);
    // Framed, so that Pen.2's white stands out from the dialog's own white.
    swatches_[row] =
        layout_.Place(AddControl(dialog, L"STATIC", texts::kSwatch, kStaticStyle | WS_BORDER, -1),
                      48, top, 48, 12);
    swatch_brushes_[row] = CreateSolidBrush(ColorOf(texts::kPenRows[row].rgb));
    label(texts::kArrow, 88, top, 16, 12);
    lists_[row] = layout_.Place(
        AddControl(dialog, L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                   ids::kComboBox0 + row + 1),
        112, top - 4, 81, 20 + 16 * 7);
    if (row == 0) {
      SetWindowLongPtrW(lists_[row], GWL_STYLE,
                        GetWindowLongPtrW(lists_[row], GWL_STYLE) | WS_GROUP);
    }
  }
  check_box_ = layout_.Place(AddControl(dialog, L"BUTTON", texts::kChangeTextPen,
                                        WS_TABSTOP | BS_AUTOCHECKBOX, ids::kJwcCheckBox1),
                             8, 168, 185, 17);

  constexpr int kGroup2Left = 208;
  layout_.Place(AddControl(dialog, L"BUTTON", texts::kLineTypeGroup, BS_GROUPBOX, -1), kGroup2Left,
                0, 393, 241);
  const int line_type_lists = kListCount - app::JwcSettingsForm::kFirstLineTypeList + 1;
  for (int i = 0; i < line_type_lists; ++i) {
    const bool left_column = i < kLeftColumnRows;
    const int top = 24 * ((left_column ? i : i - kLeftColumnRows) + 1);
    const int left = kGroup2Left + (left_column ? 8 : 200);
    label(texts::kLineTypeLabels[i], left, top, 72, 12);
    const int k = app::JwcSettingsForm::kFirstLineTypeList + i;
    lists_[k - 1] =
        layout_.Place(AddControl(dialog, L"COMBOBOX", "",
                                 WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, ids::kComboBox0 + k),
                      left + 80, top - 4, 105, 20 + 16 * 19);
  }
  for (int k = 1; k <= kListCount; ++k) {
    const auto& items =
        k < app::JwcSettingsForm::kFirstLineTypeList ? app::JwcPenItems() : app::JwcLineTypeItems();
    for (const std::string& item : items) {
      SendMessageW(ComboBox(k), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
  }
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kOkButton, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK), 368,
      248, 105, 25);
  layout_.Place(
      AddControl(dialog, L"BUTTON", texts::kCancelButton, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL),
      496, 248, 105, 25);
}

void TForm2::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  font_ = UiFont(12, dpi);
  SetFontOfChildren(hwnd(), font_.get());
  layout_.Apply(dpi);
  SetClientSize(hwnd(), 602, 279, dpi);
}

POINT TForm2::Place() const {
  RECT frame{};
  GetWindowRect(hwnd(), &frame);
  return {frame.left, frame.top};
}

void TForm2::ShowModal() {
  // Hidden since it was laid out, it may open on a monitor of another DPI.
  if (WindowDpi(hwnd()) != dpi_) {
    ApplyDpi(WindowDpi(hwnd()));
  }
  FormShow();
  done_ = false;
  SetFocus(ComboBox(1));
  RunModal(hwnd(), owner_, done_);
}

void TForm2::FormShow() {
  const app::JwcSettingsForm form = app::JwcFormFromTable(table_);
  for (int k = 1; k <= kListCount; ++k) {
    SendMessageW(ComboBox(k), CB_SETCURSEL, static_cast<WPARAM>(form.positions[k - 1]), 0);
  }
  SendMessageW(check_box_, BM_SETCHECK, form.change_text_pen ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm2::Button1Click() {
  app::JwcSettingsForm form;
  for (int k = 1; k <= kListCount; ++k) {
    form.positions[k - 1] = static_cast<int>(SendMessageW(ComboBox(k), CB_GETCURSEL, 0, 0));
  }
  form.change_text_pen = SendMessageW(check_box_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (auto refused = app::ConfirmJwcForm(form, table_)) {
    desktop_.Beep();
    desktop_.ShowMessage(hwnd(), app::MessageKind::kError, app::BlankLineTypeText(*refused));
    SetFocus(ComboBox(*refused));  // the lists before this one are already stored
    return;
  }
  done_ = true;
}

void TForm2::Button2Click() {
  done_ = true;
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        Button1Click();
        return 0;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        Button2Click();
        return 0;
      }
      break;
    case WM_CLOSE:
      Button2Click();
      return 0;
    case WM_CTLCOLORSTATIC:
      for (std::size_t row = 0; row < swatches_.size(); ++row) {
        if (reinterpret_cast<HWND>(lparam) == swatches_[row]) {
          SetBkColor(reinterpret_cast<HDC>(wparam), ColorOf(texts::kPenRows[row].rgb));
          return reinterpret_cast<LRESULT>(swatch_brushes_[row]);
        }
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(wparam));
      return 0;
    case WM_DESTROY:
      for (HBRUSH brush : swatch_brushes_) {
        DeleteObject(brush);
      }
      swatch_brushes_ = {};
      break;
  }
  return WindowBase::HandleMessage(message, wparam, lparam);
}

}  // namespace penmorph::win
