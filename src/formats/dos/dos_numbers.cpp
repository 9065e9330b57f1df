#include "formats/dos/dos_numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/text.h"

namespace penmorph::jw {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The field up to its first NUL: a writer ends the last field of a line with one.
std::string_view BeforeNul(std::string_view field) {
  auto nul = field.find('\0');
  return nul == std::string_view::npos ? field : field.substr(0, nul);
}

// Length of the float at the start of `text` (sign, digits, fraction, exponent), or 0 when
// `text` is not exactly one float.
std::size_t FloatSyntaxLength(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    ++i;
  }
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    ++digits;
  }
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      ++digits;
    }
  }
  if (digits == 0) {
    return 0;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
      ++i;
    }
    std::size_t exponent_digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      ++exponent_digits;
    }
    if (exponent_digits == 0) {
      return 0;
    }
  }
  return i == text.size() ? i : 0;
}

std::string Hex4(std::uint32_t value) {
  std::array<char, 16> buffer{};
  auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, 16).ptr;
  std::string text(buffer.data(), end);
  for (char& c : text) {
    if (c >= 'a' && c <= 'f') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return text.size() < 4 ? std::string(4 - text.size(), '0') + text : text;
}

}  // namespace

std::vector<std::string_view> SplitFields(std::string_view line, std::size_t count) {
  std::vector<std::string_view> fields(count, std::string_view("0"));
  std::string_view rest = line;
  for (std::size_t j = 0; j < count; ++j) {
    auto comma = rest.find(',');
    if (comma == std::string_view::npos) {
      fields[j] = rest;
      break;
    }
    fields[j] = rest.substr(0, comma);
    rest = rest.substr(comma + 1);
    if (rest.empty()) {
      break;
    }
  }
  return fields;
}

std::int32_t ParseIntegerField(std::string_view field) {
  return TextToInt(field);
}

float ParseFloatField(std::string_view field) {
  std::string_view text = BeforeNul(field);
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) {
    return 0.0f;
  }
  text = text.substr(start);
  if (FloatSyntaxLength(text) == 0) {
    return 0.0f;
  }
  if (text[0] == '+') {
    text = text.substr(1);  // from_chars takes no plus sign
  }
  float value = 0.0f;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return 0.0f;  // overflows and underflows past what an f32 holds
  }
  return value;
}

std::int32_t ParseSegmentAddress(std::string_view field) {
  auto part = [field](std::size_t from, std::size_t length) {
    std::string hex = "$";
    if (from < field.size()) {
      hex += field.substr(from, length);
    }
    return TextToInt(hex);
  };
  return part(0, 4) * 16 + part(5, 4);
}

std::string FormatInteger(std::int32_t value) {
  std::array<char, 16> buffer{};
  auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return std::string(buffer.data(), end);
}

std::string FormatGeneral15(double value) {
  return FormatGeneral(value, 15);
}

std::string FormatFloatShortest(float value) {
  for (int digits = 1; digits < 15; ++digits) {
    std::string text = FormatGeneral(value, digits);
    float back = ParseFloatField(text);
    if (std::memcmp(&back, &value, sizeof value) == 0) {
      return text;
    }
  }
  return FormatGeneral15(value);
}

std::string FormatGeneral(double value, int significant) {
  if (value == 0.0 || !std::isfinite(value)) {
    return "0";
  }
  // The exact decimal expansion: a double has at most 767 significant digits, so rounding
  // this text is rounding the value itself, with no second rounding in between.
  std::array<char, 1024> buffer{};
  auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                           std::chars_format::scientific, 800)
                 .ptr;
  std::string_view exact(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
  std::size_t e = exact.find('e');
  int exponent = std::atoi(std::string(exact.substr(e + 1)).c_str());
  std::string digits;
  digits += exact[0];
  const auto wanted = static_cast<std::size_t>(significant);
  digits += exact.substr(2, wanted - 1);  // the leading significant digits
  if (exact[wanted + 1] >= '5') {
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') {
      digits[--i] = '0';
    }
    if (i == 0) {
      digits.insert(digits.begin(), '1');  // 9.99...95 became 10.0...
      digits.pop_back();
      ++exponent;
    } else {
      ++digits[i - 1];
    }
  }
  digits.erase(digits.find_last_not_of('0') + 1);

  std::string text = value < 0 ? "-" : "";
  if (exponent >= -4 && exponent <= 14) {
    if (exponent < 0) {
      text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
      auto whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= whole) {
        text += digits + std::string(whole - digits.size(), '0');
      } else {
        text += digits.substr(0, whole) + "." + digits.substr(whole);
      }
    }
  } else {
    text += digits.substr(0, 1);
    if (digits.size() > 1) {
      text += '.';
      text += digits.substr(1);
    }
    text += 'E';
    text += std::to_string(exponent);  // std::to_string of an int knows no locale
  }
  return text;
}

std::string FormatSegmentAddress(std::uint32_t segment, std::uint32_t offset) {
  return Hex4(segment) + ":" + Hex4(offset);
}

}  // namespace penmorph::jw
