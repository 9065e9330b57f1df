#pragma once

// Creating common controls and placing them at fixed positions given in pixels at 96 DPI, so
// that a dialog keeps its layout on any monitor.

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace penmorph::win {

// A colour given as 0xRRGGBB, as GDI takes it.
inline COLORREF ColorOf(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

HWND AddControl(HWND parent, const wchar_t* window_class, std::string_view text, DWORD style,
                int id, DWORD extended_style = 0);

// Controls with their places at 96 DPI.
class FixedLayout {
 public:
  HWND Place(HWND control, int left, int top, int width, int height);
  // Moves every control to its place at `dpi`.
  void Apply(UINT dpi) const;

 private:
  struct Placed {
    HWND control;
    RECT at;
  };
  std::vector<Placed> placed_;
};

// The width in pixels of `text` in the control's font.
int TextWidth(HWND control, std::string_view text);

// Sizes a window so that its client area is width x height (96-DPI pixels) at `dpi`.
void SetClientSize(HWND window, int width, int height, UINT dpi);

// Runs a window modally over its owner until `done` turns true (or the program quits): the
// owner is disabled meanwhile, and Tab, Enter and Esc work as in a dialog.
void RunModal(HWND window, HWND owner, const bool& done);

// Lets the window paint while a long job runs in a handler, dropping the user's input to it;
// remembers an Escape key press.
class BusyPump {
 public:
  // True when Escape was pressed since the job began.
  bool EscapePressed();

 private:
  bool escape_ = false;
};

}  // namespace penmorph::win
