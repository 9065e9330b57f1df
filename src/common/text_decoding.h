#pragma once

// The Shift-JIS text of drawings: decoded for display, and encoded for names written into a
// drawing. One implementation per platform: iconv on Linux, the system's code page 932 on Windows.

#include <optional>
#include <string>
#include <string_view>

namespace penmorph {

// Shift-JIS (code page 932) text to UTF-8; a byte that starts no valid character becomes U+FFFD
// and decoding goes on after it.
std::string ShiftJisToUtf8(std::string_view shift_jis);

// UTF-8 text to Shift-JIS (code page 932); nullopt when the text is not UTF-8 or holds a
// character Shift-JIS has none for - a name written with a stand-in would not be the user's.
std::optional<std::string> Utf8ToShiftJis(std::string_view utf8);

}  // namespace penmorph
