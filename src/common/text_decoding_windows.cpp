#include <windows.h>

#include "common/text.h"
#include "common/text_decoding.h"
#include "common/windows_text.h"

namespace penmorph {

namespace {

constexpr UINT kShiftJis = 932;

// The UTF-16 of `bytes` when they are valid code page 932 throughout.
bool DecodeStrict(std::string_view bytes, std::wstring& wide) {
  const int size = static_cast<int>(bytes.size());
  const int length =
      MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length == 0) {
    return false;
  }
  wide.resize(static_cast<std::size_t>(length));
  MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length);
  return true;
}

}  // namespace

std::string ShiftJisToUtf8(std::string_view shift_jis) {
  std::wstring wide;
  if (shift_jis.empty() || DecodeStrict(shift_jis, wide)) {
    return WideToUtf8(wide);
  }
  // Character by character, so that a broken one costs one U+FFFD and the rest still shows,
  // as the Linux decoder does.
  std::wstring result;
  for (std::size_t at = 0; at < shift_jis.size();) {
    const bool lead = IsShiftJisLeadByte(static_cast<unsigned char>(shift_jis[at]));
    const std::size_t width = lead && at + 1 < shift_jis.size() ? 2 : 1;
    std::wstring character;
    if (DecodeStrict(shift_jis.substr(at, width), character)) {
      result += character;
      at += width;
    } else {
      result += L'\xFFFD';
      ++at;
    }
  }
  return WideToUtf8(result);
}

std::optional<std::string> Utf8ToShiftJis(std::string_view utf8) {
  if (utf8.empty()) {
    return std::string();
  }
  const int size = static_cast<int>(utf8.size());
  const int units =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (units == 0) {
    return std::nullopt;
  }
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), units);
  // No best fit: a character without its own Shift-JIS code fails rather than turn into a
  // look-alike or "?".
  BOOL defaulted = FALSE;
  const int length = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), units,
                                         nullptr, 0, nullptr, &defaulted);
  if (length == 0 || defaulted) {
    return std::nullopt;
  }
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, wide.data(), units, result.data(), length,
                      nullptr, &defaulted);
  return result;
}

}  // namespace penmorph
