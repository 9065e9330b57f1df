#pragma once

// Text between the layer (UTF-8) and the W functions (UTF-16).

#include <windows.h>

#include <string>
#include <string_view>

#include "common/windows_text.h"

namespace penmorph::win {

inline std::wstring Wide(std::string_view utf8) {
  return Utf8ToWide(utf8);
}

inline std::string Utf8(std::wstring_view wide) {
  return WideToUtf8(wide);
}

// A window's whole text.
std::wstring WindowText(HWND window);
void SetWindowTextUtf8(HWND window, std::string_view utf8);

// "\n" as "\r\n": the line breaks an edit control and the clipboard expect.
std::wstring WithCrLf(std::wstring_view text);

}  // namespace penmorph::win
