#include "common/windows_names.h"

#include <array>

#include "common/text.h"

namespace penmorph {

namespace {

bool IsDeviceName(std::string_view name) {
  // The device is what comes before the first dot, with the blanks before that dot ignored.
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') {
    stem.remove_suffix(1);
  }
  const std::string upper = ToUpperAscii(stem);
  static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN",    "AUX",
                                                               "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kDevices) {
    if (upper == device) {
      return true;
    }
  }
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string WindowsNameProblem(std::string_view file_name) {
  if (file_name.empty()) {
    return "the name is empty";
  }
  for (unsigned char c : file_name) {
    if (c < 0x20 ||
        std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos) {
      return "the name \"" + std::string(file_name) +
             "\" holds a character Windows does not allow in names";
    }
  }
  if (file_name.back() == '.' || file_name.back() == ' ') {
    return "the name \"" + std::string(file_name) + "\" ends in a " +
           (file_name.back() == '.' ? "dot" : "space") + ", which Windows drops";
  }
  if (IsDeviceName(file_name)) {
    return "the name \"" + std::string(file_name) + "\" is reserved for a device by Windows";
  }
  return {};
}

}  // namespace penmorph
