#include "cli/language.h"

namespace penmorph {

Language LanguageOfLocale(std::string_view lc_all, std::string_view lc_messages,
                          std::string_view lang) {
  for (std::string_view value : {lc_all, lc_messages, lang}) {
    if (!value.empty()) {
      return value.starts_with("ja") ? Language::kJapanese : Language::kEnglish;
    }
  }
  return Language::kEnglish;
}

std::optional<Language> LanguageNamed(std::string_view name) {
  if (name == "en") {
    return Language::kEnglish;
  }
  if (name == "ja") {
    return Language::kJapanese;
  }
  return std::nullopt;
}

Language LanguageOfArguments(const std::vector<std::string>& args, Language fallback) {
  constexpr std::string_view kOption = "--lang";
  Language language = fallback;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--") {
      break;  // FILEs only from here
    }
    std::optional<std::string_view> value;
    if (arg == kOption && i + 1 < args.size()) {
      value = args[++i];
    } else if (arg.starts_with(kOption) && arg.size() > kOption.size() &&
               arg[kOption.size()] == '=') {
      value = arg.substr(kOption.size() + 1);
    }
    if (value) {
      // A value that names no language is the parser's to report, in the language so far.
      language = LanguageNamed(*value).value_or(language);
    }
  }
  return language;
}

}  // namespace penmorph
