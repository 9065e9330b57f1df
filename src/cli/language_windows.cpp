// The user's language on Windows: the language of the user's UI, whatever the locale variables
// say (Windows programs do not read them).

#include <windows.h>

#include "cli/language.h"

namespace penmorph {

Language UserLanguage() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::kJapanese
                                                                    : Language::kEnglish;
}

}  // namespace penmorph
