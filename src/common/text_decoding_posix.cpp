#include <iconv.h>

#include <cerrno>

#include "common/text_decoding.h"

namespace penmorph {

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
      result += "\xEF\xBF\xBD";
      ++in;
      --in_left;
    }
  }
  iconv_close(converter);
  return result;
}

std::optional<std::string> Utf8ToShiftJis(std::string_view utf8) {
  iconv_t converter = iconv_open("CP932", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    return std::nullopt;
  }
  std::string result;
  char buffer[1024];
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  bool failed = false;
  while (in_left > 0 && !failed) {
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t done = iconv(converter, &in, &in_left, &out, &out_left);
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    failed = done == static_cast<std::size_t>(-1) && errno != E2BIG;
  }
  iconv_close(converter);
  if (failed) {
    return std::nullopt;
  }
  return result;
}

}  // namespace penmorph
