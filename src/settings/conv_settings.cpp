#include "settings/conv_settings.h"

namespace penmorph {

std::string EntryKey(int number) {
  // Appended rather than concatenated: GCC 12 at -O3 warns wrongly about "C" + std::string.
  std::string key = "C";
  key += std::to_string(number);
  return key;
}

}  // namespace penmorph
