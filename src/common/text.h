#pragma once

// Text and number helpers shared by the settings, the formats and the window.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace penmorph {

// Text to a signed 32-bit integer, the way the program reads every number typed or stored as
// text: leading blanks, an optional sign, decimal digits or hexadecimal ones after "$", "x",
// "X", "0x" or "0X"; a NUL ends the text. Anything else, no digits, or a value outside the i32
// range gives 0 - such text is never an error.
std::int32_t TextToInt(std::string_view text);

// True for a Shift-JIS byte that starts a double-byte character.
constexpr bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x80 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFD);
}

// Drops bytes below 0x20 outside double-byte characters; a lead byte keeps its partner even if
// that partner is a control byte.
std::string StripControlChars(std::string_view shift_jis);

// Without the blanks (spaces and tabs) at either end; whether nothing else is there.
std::string_view TrimBlanks(std::string_view text);
inline bool IsBlank(std::string_view text) {
  return TrimBlanks(text).empty();
}

// Seconds, rounded, as a clock shows a span: "0:42", "3:05:09".
std::string DurationText(double seconds);

// Bytes as lower-case hex digits, two per byte ("1f8b").
std::string HexBytes(std::string_view bytes);
// A number in upper-case hex as a message quotes it: "0x1F", "-0x1F".
std::string HexNumber(std::int64_t value);

// Upper-cases ASCII letters only; every other byte stays as it is.
std::string ToUpperAscii(std::string_view text);
// Lower-cases ASCII letters only; every other byte stays as it is.
std::string ToLowerAscii(std::string_view text);

// True when `bytes` begin with the characters of `prefix`, byte for byte.
bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view prefix);

// Wildcards byte for byte: "*" stands for any run of bytes, "?" for any one byte.
bool MatchesWildcard(std::string_view text, std::string_view pattern);
// The same, character for character.
bool MatchesWildcard(std::u32string_view text, std::u32string_view pattern);

// The extension of a file name from its last dot, dot included; empty when there is no dot.
std::string_view FileExtension(std::string_view file_name);

// Whether `text` is UTF-8 throughout: no overlong forms, surrogates or values past U+10FFFF.
bool IsValidUtf8(std::string_view text);
// The character that starts at byte `i`, moving `i` past it; nullopt (and `i` unchanged) where
// the bytes there are not UTF-8.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i);
// The characters of UTF-8 text; a byte that is not UTF-8 stands as U+FFFD.
std::u32string CodePoints(std::string_view utf8);

// Bytes of a file quoted in a message: printable ASCII as it is, every other byte (and the
// backslash) as \xNN, at most `max_shown` bytes of them and "..." after a longer run. What a
// damaged file holds thus never puts control bytes or broken UTF-8 into a report.
std::string EscapedBytes(std::string_view bytes, std::size_t max_shown = 24);

// A field of a CSV row: quoted when it holds a comma, a quote or a line break, its quotes doubled.
std::string CsvField(std::string_view text);

// Cuts UTF-8 text to at most max_bytes without splitting a character.
std::string_view CutUtf8(std::string_view text, std::size_t max_bytes);

}  // namespace penmorph
