#include "app/path_text.h"

#include "common/path_text.h"
#include "common/text_decoding.h"

namespace penmorph::app {

namespace fs = std::filesystem;

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > text.size()) {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        return false;
      }
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string PathText(const fs::path& path) {
  const std::string bytes = PathToUtf8(path);
  return IsValidUtf8(bytes) ? bytes : ShiftJisToUtf8(bytes);
}

fs::path PathFromText(std::string_view text) {
  // One kind of separator in what is shown later, whichever the user typed.
  return PathFromUtf8(text).make_preferred();
}

fs::path FolderPath(fs::path folder) {
  if (!folder.empty() && folder.has_filename()) {
    folder /= "";
  }
  return folder;
}

}  // namespace penmorph::app
