// The user's language on Linux: the locale variables, as every POSIX program reads them.

#include <cstdlib>

#include "cli/language.h"

namespace penmorph {

Language UserLanguage() {
  auto value = [](const char* name) {
    const char* text = std::getenv(name);
    return std::string_view(text == nullptr ? "" : text);
  };
  return LanguageOfLocale(value("LC_ALL"), value("LC_MESSAGES"), value("LANG"));
}

}  // namespace penmorph
