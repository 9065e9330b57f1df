#include "app/typed_number.h"

#include "common/text.h"

namespace penmorph::app {

std::string HalfWidthNumberText(std::string_view utf8) {
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(utf8[at]); };
    if (i + 2 < utf8.size() && byte(i) == 0xEF && byte(i + 1) == 0xBC) {
      const unsigned char last = byte(i + 2);
      if (last >= 0x90 && last <= 0x99) {  // U+FF10 ... U+FF19
        text += static_cast<char>('0' + (last - 0x90));
        i += 2;
        continue;
      }
      if (last == 0x8D || last == 0x8B) {  // U+FF0D, U+FF0B
        text += last == 0x8D ? '-' : '+';
        i += 2;
        continue;
      }
    }
    if (i + 2 < utf8.size() && byte(i) == 0xE3 && byte(i + 1) == 0x80 && byte(i + 2) == 0x80) {
      text += ' ';  // U+3000
      i += 2;
      continue;
    }
    text += utf8[i];
  }
  return text;
}

std::int32_t ReadTypedNumber(std::string_view utf8) {
  return TextToInt(HalfWidthNumberText(utf8));
}

}  // namespace penmorph::app
