#include "win/controls.h"

#include "win/ui_font.h"
#include "win/win_text.h"

namespace penmorph::win {

HWND AddControl(HWND parent, const wchar_t* window_class, std::string_view text, DWORD style,
                int id, DWORD extended_style) {
  return CreateWindowExW(extended_style, window_class, Wide(text).c_str(),
                         WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         GetModuleHandleW(nullptr), nullptr);
}

int TextWidth(HWND control, std::string_view text) {
  HDC dc = GetDC(control);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  const std::wstring wide = Wide(text);
  SIZE size{};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

HWND FixedLayout::Place(HWND control, int left, int top, int width, int height) {
  placed_.push_back({control, {left, top, left + width, top + height}});
  return control;
}

void FixedLayout::Apply(UINT dpi) const {
  for (const Placed& placed : placed_) {
    MoveWindow(placed.control, Scale(placed.at.left, dpi), Scale(placed.at.top, dpi),
               Scale(placed.at.right - placed.at.left, dpi),
               Scale(placed.at.bottom - placed.at.top, dpi), TRUE);
  }
}

void SetClientSize(HWND window, int width, int height, UINT dpi) {
  RECT frame{0, 0, Scale(width, dpi), Scale(height, dpi)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                           GetMenu(window) != nullptr,
                           static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)), dpi);
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RunModal(HWND window, HWND owner, const bool& done) {
  if (owner != nullptr) {
    EnableWindow(owner, FALSE);
  }
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  MSG message;
  bool quit = false;
  while (!done) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit = true;
      break;
    }
    if (!IsDialogMessageW(window, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // The owner first, so that the activation goes back to it and not to another program.
  if (owner != nullptr) {
    EnableWindow(owner, TRUE);
  }
  ShowWindow(window, SW_HIDE);
  if (owner != nullptr) {
    SetActiveWindow(owner);
  }
  if (quit) {
    PostQuitMessage(static_cast<int>(message.wParam));
  }
}

bool BusyPump::EscapePressed() {
  MSG message;
  // Messages sent by other threads are answered, and the windows repaint; the user's keys and
  // clicks are dropped (noting Escape), and posted commands wait until the job is done, so that
  // no handler runs inside another.
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
      escape_ = true;
    }
  }
  while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE) ||
         PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
    DispatchMessageW(&message);
  }
  if ((GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0 && GetForegroundWindow() != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    escape_ = escape_ || process == GetCurrentProcessId();
  }
  return escape_;
}

}  // namespace penmorph::win
