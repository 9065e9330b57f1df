#pragma once

// Numbers as the user types them into the settings dialogs. A Japanese input method often types
// full-width characters; digits, the two signs and the blank count as their ASCII forms, and
// the text is then read by the program's one rule for numbers in text (TextToInt).

#include <cstdint>
#include <string>
#include <string_view>

namespace penmorph::app {

// ０-９, －, ＋ and the ideographic blank (U+3000) replaced by 0-9, -, + and a space; every
// other character stays.
std::string HalfWidthNumberText(std::string_view utf8);

// A typed number: blanks before it, a sign, decimal or hexadecimal ("$", "x", "0x") digits;
// anything else, or a number outside 32 bits, reads as 0.
std::int32_t ReadTypedNumber(std::string_view utf8);

}  // namespace penmorph::app
