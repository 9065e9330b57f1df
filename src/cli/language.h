#pragma once

// The language the command line speaks: Japanese where the user's is Japanese, English
// otherwise. The choice is made once, at the start, and handed down as a value; the words that
// scripts look for (converted, skipped, failed, the JSON keys) are the same in both.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace penmorph {

enum class Language { kEnglish, kJapanese };

// The POSIX choice from the locale variables' values (empty: unset): the first non-empty of
// LC_ALL, LC_MESSAGES and LANG decides, Japanese when it begins with "ja".
Language LanguageOfLocale(std::string_view lc_all, std::string_view lc_messages,
                          std::string_view lang);

// The user's language as the platform tells it: the locale variables on Linux, the user's
// UI language on Windows. One implementation per platform (language_posix.cpp,
// language_windows.cpp).
Language UserLanguage();

// --lang's value: "en" or "ja"; nothing for any other.
std::optional<Language> LanguageNamed(std::string_view name);

// The language `args` ask for with --lang VALUE or --lang=VALUE (before any "--"), else
// `fallback`. Read ahead of the options themselves, so that the usage and the errors of a
// command line that does not parse speak it too.
Language LanguageOfArguments(const std::vector<std::string>& args, Language fallback);

// The English text or the Japanese one.
inline std::string Say(Language language, std::string_view english, std::string_view japanese) {
  return std::string(language == Language::kJapanese ? japanese : english);
}

}  // namespace penmorph
