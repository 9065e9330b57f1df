#include "win/described_dialog.h"

#include <commctrl.h>

#include <string>

#include "win/control_ids.h"
#include "win/report_window.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace {

using app::ControlKind;

constexpr COLORREF kHintText = RGB(0x00, 0x00, 0xFF);
constexpr COLORREF kHintGround = RGB(0xFF, 0xFF, 0xFF);

std::wstring ClassName(const app::DialogDescription& description) {
  return L"T" + Wide(description.name);
}

}  // namespace

DescribedDialog::DescribedDialog(app::DialogModel& model, Desktop& desktop, HWND owner,
                                 std::optional<POINT> place)
    : model_(model), desktop_(desktop), owner_(owner), centred_(!place) {
  const app::DialogDescription& description = model.description();
  const std::wstring class_name = ClassName(description);
  RegisterClassOnce(class_name.c_str());
  const POINT at = place.value_or(POINT{0, 0});
  CreateWindowOf(class_name.c_str(), Wide(description.title).c_str(),
                 WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                 at.x, at.y, 100, 100, owner);
  Build();
  ApplyDpi(WindowDpi(hwnd()));
}

DescribedDialog::~DescribedDialog() {
  for (HBRUSH brush : brushes_) {
    if (brush != nullptr) {
      DeleteObject(brush);
    }
  }
}

void DescribedDialog::Build() {
  const app::DialogDescription& description = model_.description();
  const int count = static_cast<int>(description.controls.size());
  grids_.resize(count);
  brushes_.assign(count, nullptr);
  own_fonts_.resize(count);
  // Made in the description's order, which is the order the Tab key walks them.
  for (int i = 0; i < count; ++i) {
    const app::ControlDescription& control = description.controls[i];
    const int id = ids::DialogControlId(description, i);
    HWND made = nullptr;
    switch (control.kind) {
      case ControlKind::kLabel:
        // A label that names its control keeps its "&": Alt and the letter go to that control,
        // the next one the Tab key reaches.
        made = AddControl(hwnd(), L"STATIC", control.text,
                          SS_LEFT | (control.buddy >= 0 ? 0 : SS_NOPREFIX), id);
        break;
      case ControlKind::kHint:
        made = AddControl(hwnd(), L"STATIC", control.text, SS_LEFT | SS_NOPREFIX, id);
        brushes_[i] = CreateSolidBrush(kHintGround);
        break;
      case ControlKind::kSwatch:
        // Framed, so that a white swatch stands out from the dialog's own white.
        made = AddControl(hwnd(), L"STATIC", control.text, SS_LEFT | SS_NOPREFIX | WS_BORDER, id);
        brushes_[i] = CreateSolidBrush(ColorOf(control.rgb));
        break;
      case ControlKind::kGroup:
        made = AddControl(hwnd(), L"BUTTON", control.text, BS_GROUPBOX, id);
        break;
      case ControlKind::kEdit:
        made = AddControl(hwnd(), L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, id, WS_EX_CLIENTEDGE);
        break;
      case ControlKind::kButton:
        made =
            AddControl(hwnd(), L"BUTTON", control.text,
                       WS_TABSTOP | (i == description.ok ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), id);
        break;
      case ControlKind::kCheckBox:
        made = AddControl(hwnd(), L"BUTTON", control.text, WS_TABSTOP | BS_AUTOCHECKBOX, id);
        break;
      case ControlKind::kList:
        made = AddControl(hwnd(), L"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, id);
        for (const std::string& item : control.items) {
          SendMessageW(made, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        }
        break;
      case ControlKind::kGrid:
        grids_[i] = std::make_unique<ValueGrid>(hwnd(), id, control.grid);
        made = grids_[i]->hwnd();
        break;
    }
    app::DialogRect place = control.place;
    if (control.kind == ControlKind::kList) {
      // A drop-down list's height is that of its box and the open list of all its items.
      place.height += 16 * static_cast<int>(control.items.size());
    }
    controls_.push_back(layout_.Place(made, place.left, place.top, place.width, place.height));
  }
}

void DescribedDialog::ApplyDpi(UINT dpi) {
  const app::DialogDescription& description = model_.description();
  dpi_ = dpi;
  font_ = UiFont(12, dpi);
  SetFontOfChildren(hwnd(), font_.get());
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (const int pixels = description.controls[i].font_pixels; pixels > 0) {
      own_fonts_[i] = UiFont(pixels, dpi);
      SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(own_fonts_[i].get()), TRUE);
    }
  }
  layout_.Apply(dpi);
  for (const auto& grid : grids_) {
    if (grid) {
      grid->ApplyDpi(dpi);
    }
  }
  SetClientSize(hwnd(), description.width, description.height, dpi);
}

POINT DescribedDialog::Place() const {
  RECT frame{};
  GetWindowRect(hwnd(), &frame);
  return {frame.left, frame.top};
}

void DescribedDialog::CentreOnOwner() {
  RECT owner{};
  RECT frame{};
  GetWindowRect(owner_, &owner);
  GetWindowRect(hwnd(), &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(hwnd(), nullptr, owner.left + (owner.right - owner.left - width) / 2,
               owner.top + (owner.bottom - owner.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DescribedDialog::ShowModal() {
  // Hidden since it was laid out, it may open on a monitor of another DPI.
  if (WindowDpi(hwnd()) != dpi_) {
    ApplyDpi(WindowDpi(hwnd()));
  }
  if (centred_) {
    CentreOnOwner();
  }
  FormShow();
  done_ = false;
  SetFocus(controls_[model_.description().first_focus]);
  RunModal(hwnd(), owner_, done_);
  for (const auto& grid : grids_) {
    if (grid) {
      grid->CancelOpenEditor();
    }
  }
}

void DescribedDialog::FormShow() {
  app::OpenDialog(model_, *this);
}

app::DialogValues DescribedDialog::ValuesOnScreen() {
  const app::DialogDescription& description = model_.description();
  app::DialogValues values(controls_.size());
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    app::ControlValue& value = values[i];
    switch (description.controls[i].kind) {
      case ControlKind::kEdit:
        value.text = Utf8(WindowText(controls_[i]));
        break;
      case ControlKind::kCheckBox:
        value.checked = SendMessageW(controls_[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
        break;
      case ControlKind::kList:
        value.position = static_cast<int>(SendMessageW(controls_[i], CB_GETCURSEL, 0, 0));
        break;
      case ControlKind::kGrid: {
        ValueGrid& grid = *grids_[i];
        grid.CommitOpenEditor();
        for (std::size_t column = 0; column < description.controls[i].grid.columns.size();
             ++column) {
          value.columns.push_back(grid.Values(static_cast<int>(column) + 1));
        }
        std::tie(value.first_row, value.last_row) = grid.SelectedRows();
        value.bars = grid.Bars();
        break;
      }
      default:
        break;
    }
  }
  return values;
}

void DescribedDialog::ShowValues(const app::DialogValues& values) {
  const app::DialogDescription& description = model_.description();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const app::ControlValue& value = values[i];
    switch (description.controls[i].kind) {
      case ControlKind::kEdit:
        SetWindowTextUtf8(controls_[i], value.text);
        break;
      case ControlKind::kCheckBox:
        SendMessageW(controls_[i], BM_SETCHECK, value.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case ControlKind::kList:
        SendMessageW(controls_[i], CB_SETCURSEL, static_cast<WPARAM>(value.position), 0);
        break;
      case ControlKind::kGrid:
        if (description.controls[i].grid.numbered_rows && !value.columns.empty()) {
          grids_[i]->SetRowCount(static_cast<int>(value.columns[0].size()));
        }
        for (std::size_t column = 0; column < value.columns.size(); ++column) {
          grids_[i]->SetValues(value.columns[column], static_cast<int>(column) + 1);
        }
        grids_[i]->SetBars(value.bars);
        break;
      default:
        break;
    }
  }
}

void DescribedDialog::Press(int button) {
  app::PressDialogButton(model_, *this, button);
}

std::optional<std::filesystem::path> DescribedDialog::ChooseSaveFile(const app::FileToSave& file) {
  return ChooseReportFile(desktop_, hwnd(), file);
}

void DescribedDialog::ShowError(const std::string& text) {
  desktop_.Beep();
  desktop_.ShowMessage(hwnd(), app::MessageKind::kError, text);
}

void DescribedDialog::CopyToClipboard(const std::string& text) {
  CopyTextToClipboard(hwnd(), text);
}

bool DescribedDialog::AskYesNo(const std::string& question) {
  return desktop_.AskYesNo(hwnd(), question);
}

void DescribedDialog::Focus(int control) {
  SetFocus(controls_[control]);
}

void DescribedDialog::EditCell(int grid, int row, int column) {
  SetFocus(controls_[grid]);
  grids_[grid]->SetEditColumn(column + 1);
  grids_[grid]->SetCurrentRow(row);
  grids_[grid]->BeginEdit();  // the text selected, to be typed over
}

void DescribedDialog::SelectRow(int grid, int row) {
  SetFocus(controls_[grid]);
  grids_[grid]->SetCurrentRow(row);
}

void DescribedDialog::Close(app::DialogReply::Close) {
  done_ = true;
}

LRESULT DescribedDialog::PaintStatic(HWND control, HDC dc) {
  const app::DialogDescription& description = model_.description();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i] != control || brushes_[i] == nullptr) {
      continue;
    }
    const app::ControlDescription& described = description.controls[i];
    if (described.kind == ControlKind::kHint) {
      SetTextColor(dc, kHintText);
      SetBkColor(dc, kHintGround);
    } else {
      SetBkColor(dc, ColorOf(described.rgb));
    }
    return reinterpret_cast<LRESULT>(brushes_[i]);
  }
  return 0;
}

LRESULT DescribedDialog::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const app::DialogDescription& description = model_.description();
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == ValueGrid::kCellsEdited) {
        for (int i = 0; i < static_cast<int>(grids_.size()); ++i) {
          if (grids_[i] && grids_[i]->hwnd() == reinterpret_cast<HWND>(lparam)) {
            app::DialogCellsEdited(model_, *this, i);
          }
        }
        return 0;
      }
      if (HIWORD(wparam) != BN_CLICKED) {
        break;
      }
      for (int i = 0; i < static_cast<int>(controls_.size()); ++i) {
        if (description.controls[i].kind == ControlKind::kButton &&
            ids::DialogControlId(description, i) == LOWORD(wparam)) {
          Press(i);
          return 0;
        }
      }
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
      LRESULT result = 0;
      for (const auto& grid : grids_) {
        // The grids notify while they are made, before all exist.
        if (grid && grid->Notify(header, result)) {
          return result;
        }
      }
      break;
    }
    case WM_CLOSE:
      Press(description.cancel);
      return 0;
    case WM_CTLCOLORSTATIC:
      if (LRESULT brush =
              PaintStatic(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam))) {
        return brush;
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(wparam));
      return 0;
  }
  return WindowBase::HandleMessage(message, wparam, lparam);
}

}  // namespace penmorph::win
