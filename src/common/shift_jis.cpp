#include "common/shift_jis.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#include <cerrno>
#endif

namespace penmorph {

namespace {
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
}

#if defined(_WIN32)

std::string ShiftJisToUtf8(std::string_view shift_jis) {
  if (shift_jis.empty()) {
    return {};
  }
  int size = static_cast<int>(shift_jis.size());
  int wide_length = MultiByteToWideChar(932, 0, shift_jis.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wide_length), L'\0');
  MultiByteToWideChar(932, 0, shift_jis.data(), size, wide.data(), wide_length);
  int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

#else

std::string ShiftJisToUtf8(std::string_view shift_jis) {
  iconv_t converter = iconv_open("UTF-8", "CP932");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return std::string(shift_jis);  // no converter: show the bytes as they are
  }
  std::string result;
  char buffer[1024];
  char* in = const_cast<char*>(shift_jis.data());
  std::size_t in_left = shift_jis.size();
  while (in_left > 0) {
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t done = iconv(converter, &in, &in_left, &out, &out_left);
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // An invalid or incomplete character: mark it and go on after its first byte.
      result += kReplacement;
      ++in;
      --in_left;
    }
  }
  iconv_close(converter);
  return result;
}

#endif

}  // namespace penmorph
