#include "common/path_text.h"

#include "common/text.h"
#include "common/text_decoding.h"

#ifdef _WIN32
#include "common/windows_text.h"
#endif

namespace penmorph {

#ifdef _WIN32

std::string PathToUtf8(const std::filesystem::path& path) {
  return WideToUtf8(path.native());
}

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(Utf8ToWide(text));
}

#else

std::string PathToUtf8(const std::filesystem::path& path) {
  return path.native();
}

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

#endif

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One part of a path; false when some of its bytes were read as U+FFFD.
bool AppendPart(std::string_view part, std::string& text) {
  if (IsValidUtf8(part)) {
    text += part;
    return true;
  }
  const std::string decoded = ShiftJisToUtf8(part);
  if (!IsValidUtf8(decoded)) {  // no decoder at hand: the bytes came back as they were
    text += kReplacement;
    return false;
  }
  text += decoded;
  return decoded.find(kReplacement) == std::string::npos;
}

}  // namespace

// No byte of a Shift-JIS character is a slash, so the parts can be read one by one.
bool ReadNameText(std::string_view bytes, std::string& text) {
  bool whole = true;
  while (true) {
    const std::size_t slash = bytes.find('/');
    whole = AppendPart(bytes.substr(0, slash), text) && whole;
    if (slash == std::string_view::npos) {
      return whole;
    }
    text += '/';
    bytes.remove_prefix(slash + 1);
  }
}

}  // namespace penmorph
