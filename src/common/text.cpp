#include "common/text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace penmorph {

namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9') {
    value = c - '0';
  } else if (c >= 'a' && c <= 'f') {
    value = c - 'a' + 10;
  } else if (c >= 'A' && c <= 'F') {
    value = c - 'A' + 10;
  }
  return value < base ? value : -1;
}

}  // namespace

std::int32_t TextToInt(std::string_view text) {
  if (auto nul = text.find('\0'); nul != std::string_view::npos) {
    text = text.substr(0, nul);
  }
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) {
    return 0;  // no digits at all
  }
  // Accumulate the magnitude in 64 bits; anything past the i32 range is rejected as it grows.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i], base);
    if (digit < 0) {
      return 0;
    }
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) {
      return 0;
    }
  }
  if (!negative && magnitude == kLimit) {
    return 0;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string StripControlChars(std::string_view shift_jis) {
  std::string result;
  result.reserve(shift_jis.size());
  for (std::size_t i = 0; i < shift_jis.size(); ++i) {
    auto byte = static_cast<unsigned char>(shift_jis[i]);
    if (IsShiftJisLeadByte(byte)) {
      result += shift_jis[i];
      if (i + 1 < shift_jis.size()) {
        result += shift_jis[++i];
      }
    } else if (byte >= 0x20) {
      result += shift_jis[i];
    }
  }
  return result;
}

std::string ToUpperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return result;
}

std::string ToLowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return result;
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

namespace {

template <class Char>
bool Wildcard(std::basic_string_view<Char> text, std::basic_string_view<Char> pattern) {
  // Iterative: on a mismatch, let the last "*" take one more byte.
  std::size_t t = 0, p = 0;
  std::size_t star = std::basic_string_view<Char>::npos, star_t = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      star_t = t;
    } else if (star != std::basic_string_view<Char>::npos) {
      p = star + 1;
      t = ++star_t;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') {
    ++p;
  }
  return p == pattern.size();
}

}  // namespace

bool MatchesWildcard(std::string_view text, std::string_view pattern) {
  return Wildcard(text, pattern);
}

bool MatchesWildcard(std::u32string_view text, std::u32string_view pattern) {
  return Wildcard(text, pattern);
}

std::string_view FileExtension(std::string_view file_name) {
  auto dot = file_name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : file_name.substr(dot);
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
    text.remove_suffix(1);
  }
  return text;
}

std::string DurationText(double seconds) {
  const auto whole = static_cast<long long>(seconds + 0.5);
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                  whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  }
  return text;
}

std::string HexBytes(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

std::string HexNumber(std::int64_t value) {
  std::string digits;
  // Unsigned, so that the most negative value has a magnitude too.
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[magnitude % 16]);
    magnitude /= 16;
  } while (magnitude != 0);
  return (value < 0 ? "-0x" : "0x") + digits;
}

std::string_view CutUtf8(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) {
    return text;
  }
  std::size_t cut = max_bytes;
  // Step back over continuation bytes (at most three) so the cut lands before a lead byte.
  for (int steps = 0; steps < 3 && cut > 0; ++steps) {
    if ((static_cast<unsigned char>(text[cut]) & 0xC0) != 0x80) {
      break;
    }
    --cut;
  }
  if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
    cut = max_bytes;  // not UTF-8 after all: cut at the byte limit
  }
  return text.substr(0, cut);
}

std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = 0;
  char32_t code = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (i + length > text.size()) {
    return std::nullopt;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) {
      return std::nullopt;
    }
    code = (code << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
      (code >= 0xD800 && code <= 0xDFFF)) {
    return std::nullopt;
  }
  i += length;
  return code;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (!NextCodePoint(text, i)) {
      return false;
    }
  }
  return true;
}

std::u32string CodePoints(std::string_view utf8) {
  std::u32string codes;
  for (std::size_t i = 0; i < utf8.size();) {
    if (std::optional<char32_t> code = NextCodePoint(utf8, i)) {
      codes += *code;
    } else {
      codes += U'\uFFFD';
      ++i;
    }
  }
  return codes;
}

std::string EscapedBytes(std::string_view bytes, std::size_t max_shown) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size() && i < max_shown; ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      text += static_cast<char>(byte);
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  if (bytes.size() > max_shown) {
    text += "...";
  }
  return text;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    return std::string(text);
  }
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c == '"' ? "\"\"" : std::string(1, c);
  }
  return quoted + "\"";
}

}  // namespace penmorph
