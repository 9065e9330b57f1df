#include "win/report_window.h"

#include <cstring>

#include "app/dialog_flow.h"
#include "app/path_text.h"
#include "app/window_texts.h"
#include "win/control_ids.h"
#include "win/controls.h"
#include "win/win_text.h"

namespace penmorph::win {

namespace {

// Windows programs read a UTF-8 file as such when it starts with the byte order mark.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string WithCrLf(const std::string& text) {
  return Utf8(win::WithCrLf(Wide(text)));
}

}  // namespace

ReportWindow::ReportWindow(const app::RunSummary& summary, Desktop& desktop)
    : ReportWindow(app::SummaryText(summary), desktop, app::kRunReportSaving) {}

ReportWindow::ReportWindow(const std::string& report, Desktop& desktop, app::ReportSaving saving)
    : desktop_(desktop), report_(WithCrLf(report)), saving_(saving) {}

void ReportWindow::ShowModal(HWND owner) {
  RegisterClassOnce(kClassName);
  const UINT dpi = WindowDpi(owner);
  RECT owner_rect{};
  GetWindowRect(owner, &owner_rect);
  CreateWindowOf(kClassName, Wide(kApplicationTitle).c_str(),
                 WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX), WS_EX_DLGMODALFRAME,
                 owner_rect.left + Scale(40, dpi), owner_rect.top + Scale(40, dpi), Scale(720, dpi),
                 Scale(420, dpi), owner);
  font_ = UiFont(12, dpi);
  text_ = AddControl(
      hwnd(), L"EDIT", "",
      WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL,
      ids::kReportText, WS_EX_CLIENTEDGE);
  copy_ = AddControl(hwnd(), L"BUTTON", app::texts::kCopyButton, WS_TABSTOP | BS_PUSHBUTTON,
                     ids::kReportCopy);
  save_ = AddControl(hwnd(), L"BUTTON", app::texts::kSaveButton, WS_TABSTOP | BS_PUSHBUTTON,
                     ids::kReportSave);
  ok_ = AddControl(hwnd(), L"BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK);
  SetFontOfChildren(hwnd(), font_.get());
  Layout();
  // The text comes once the box has its size and font: wrapped at a control's first, tiny
  // width, a long report took most of a second to lay out.
  SetWindowTextUtf8(text_, report_);
  SetFocus(ok_);
  RunModal(hwnd(), owner, done_);
  DestroyWindow(hwnd());
}

void ReportWindow::Layout() {
  RECT client{};
  GetClientRect(hwnd(), &client);
  const UINT dpi = WindowDpi(hwnd());
  const int margin = Scale(8, dpi);
  const int button_width = Scale(96, dpi);
  const int button_height = Scale(26, dpi);
  const int gap = Scale(6, dpi);
  const int buttons_top = client.bottom - margin - button_height;
  MoveWindow(text_, margin, margin, client.right - 2 * margin, buttons_top - gap - margin, TRUE);
  int left = client.right - margin - button_width;
  MoveWindow(ok_, left, buttons_top, button_width, button_height, TRUE);
  left -= button_width + gap;
  MoveWindow(save_, left, buttons_top, button_width, button_height, TRUE);
  left -= button_width + gap;
  MoveWindow(copy_, left, buttons_top, button_width, button_height, TRUE);
}

void CopyTextToClipboard(HWND owner, std::string_view utf8) {
  const std::wstring text = Wide(utf8);
  if (!OpenClipboard(owner)) {
    return;
  }
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

std::optional<std::filesystem::path> ChooseReportFile(Desktop& desktop, HWND owner,
                                                      const app::FileToSave& file) {
  return desktop.ChooseReportFile(owner, file.title, std::filesystem::path(Wide(file.file_name)),
                                  file.filter, file.extension);
}

void ReportWindow::CopyClick() {
  CopyTextToClipboard(hwnd(), report_);
}

void ReportWindow::SaveClick() {
  app::SaveChosenFile({std::string(saving_.title),
                       std::string(saving_.file_name),
                       {},
                       {},
                       std::string(kUtf8Mark) + report_},
                      *this);
}

std::optional<std::filesystem::path> ReportWindow::ChooseSaveFile(const app::FileToSave& file) {
  return ChooseReportFile(desktop_, hwnd(), file);
}

void ReportWindow::ShowError(const std::string& text) {
  desktop_.Beep();
  desktop_.ShowMessage(hwnd(), app::MessageKind::kError, text);
}

LRESULT ReportWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ids::kReportCopy:
          CopyClick();
          return 0;
        case ids::kReportSave:
          SaveClick();
          return 0;
        case IDOK:
        case IDCANCEL:
          done_ = true;
          return 0;
      }
      break;
    case WM_CLOSE:
      done_ = true;
      return 0;
    case WM_SIZE:
      if (text_ != nullptr) {
        Layout();
      }
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      font_ = UiFont(12, HIWORD(wparam));
      SetFontOfChildren(hwnd(), font_.get());
      SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
  }
  return WindowBase::HandleMessage(message, wparam, lparam);
}

}  // namespace penmorph::win
