#pragma once

#include <string>
#include <string_view>

namespace penmorph {

// Shift-JIS (code page 932) text to UTF-8, for the terminal and the window; undecodable bytes
// become U+FFFD.
std::string ShiftJisToUtf8(std::string_view shift_jis);

}  // namespace penmorph
