#include "settings/conv_settings.h"

namespace penmorph {

std::string EntryKey(int number) {
  return "C" + std::to_string(number);
}

}  // namespace penmorph
