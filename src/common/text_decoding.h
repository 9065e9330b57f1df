#pragma once

// Decoding the Shift-JIS text of drawings for display. One function, one implementation per
// platform: iconv on Linux, the system's code page 932 on Windows.

#include <string>
#include <string_view>

namespace penmorph {

// Shift-JIS (code page 932) text to UTF-8; a byte that starts no valid character becomes U+FFFD
// and decoding goes on after it.
std::string ShiftJisToUtf8(std::string_view shift_jis);

}  // namespace penmorph
