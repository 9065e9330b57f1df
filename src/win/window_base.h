#pragma once

// A window class whose messages go to a C++ object: each window of the program derives from
// this and answers HandleMessage.

#include <windows.h>

namespace penmorph::win {

class WindowBase {
 public:
  virtual ~WindowBase();
  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class once per process.
  static void RegisterClassOnce(const wchar_t* class_name, HBRUSH background = nullptr);
  // Creates the window of that class; HandleMessage gets its messages from WM_NCCREATE on.
  HWND CreateWindowOf(const wchar_t* class_name, const wchar_t* title, DWORD style,
                      DWORD extended_style, int left, int top, int width, int height, HWND owner,
                      HMENU menu = nullptr);
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK Route(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  HWND hwnd_ = nullptr;
};

}  // namespace penmorph::win
