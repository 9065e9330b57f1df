#pragma once

#include <string_view>

namespace penmorph::jw {

// A text that refers to an embedded image opens with these 10 bytes, then the image's name and
// a comma. Both the Windows and the DOS formats rewrite them.
inline constexpr std::string_view kImageRefPrefix = "^@BM%temp%";

}  // namespace penmorph::jw
