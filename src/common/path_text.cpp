#include "common/path_text.h"

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

}  // namespace penmorph
