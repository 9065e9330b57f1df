#pragma once

// UTF-8 and UTF-16 on Windows, where the system's names and console speak UTF-16.

#include <string>
#include <string_view>

namespace penmorph {

// Unpaired surrogates (possible in Windows names) become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
// Invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);

}  // namespace penmorph
