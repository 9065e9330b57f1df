#include "win/win_text.h"

namespace penmorph::win {

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
  return text;
}

void SetWindowTextUtf8(HWND window, std::string_view utf8) {
  SetWindowTextW(window, Wide(utf8).c_str());
}

std::wstring WithCrLf(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) {
      out += L'\r';
    }
    out += text[i];
  }
  return out;
}

}  // namespace penmorph::win
