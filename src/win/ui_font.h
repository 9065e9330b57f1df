#pragma once

// The system's Japanese UI font, in sizes that follow the monitor's DPI.

#include <windows.h>

#include <string>

namespace penmorph::win {

// The first installed of "Yu Gothic UI", "Meiryo UI" and "MS UI Gothic" (the last also when
// none is found: the system substitutes a font that has its glyphs).
const std::wstring& JapaneseUiFontFace();

// Pixels at 96 DPI, for a window on a monitor of `dpi`.
inline int Scale(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), 96);
}

// The DPI of the monitor a window is on (96 before per-monitor awareness is known).
UINT WindowDpi(HWND window);

// An owned font handle.
class UiFont {
 public:
  UiFont() = default;
  // A character height of `pixels` at 96 DPI.
  UiFont(int pixels, UINT dpi, bool bold = false);
  ~UiFont();
  UiFont(UiFont&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  UiFont& operator=(UiFont&& other) noexcept;
  UiFont(const UiFont&) = delete;
  UiFont& operator=(const UiFont&) = delete;

  HFONT get() const { return handle_; }

 private:
  HFONT handle_ = nullptr;
};

// Sets the font of a window and of all its children.
void SetFontOfChildren(HWND parent, HFONT font);

}  // namespace penmorph::win
