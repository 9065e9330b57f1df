#pragma once

// The numbers of the DOS formats' text header lines: splitting a line into comma-separated
// fields, reading a field as an integer, a float or a segment address, and writing them back.
// Nothing here follows the process's C locale: the decimal point is always ".".

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace penmorph::jw {

// Splits a header line into exactly `count` fields. Fields the line does not reach stay "0";
// text after the comma that ends the last field is ignored; the last field of a line without a
// trailing comma runs to the end of the line.
std::vector<std::string_view> SplitFields(std::string_view line, std::size_t count);

// An integer field: leading blanks, an optional sign, decimal digits or hexadecimal ones after
// "$", "x", "X", "0x" or "0X", ended by the end of the field or a NUL. Anything malformed or
// outside the i32 range is 0.
std::int32_t ParseIntegerField(std::string_view field);

// A float field: leading blanks, an optional sign, digits with an optional "." fraction and an
// optional exponent, ended by the end of the field or a NUL; rounded to the nearest f32.
// Anything malformed, or a value too large or too small for an f32, is 0.
float ParseFloatField(std::string_view field);

// A segment address "SSSS:OOOO" (hexadecimal; the separator is not looked at) as the 20-bit
// address segment * 16 + offset. A part that is not hexadecimal counts as 0.
std::int32_t ParseSegmentAddress(std::string_view field);

// Decimal, "-" for negative values, no plus sign or leading zeros.
std::string FormatInteger(std::int32_t value);

// A value rounded to 15 significant digits (halves away from zero), trailing zeros and point
// removed; plain notation for decimal exponents -4 to 14, otherwise "d.dddE-n" / "d.dddEn".
// The value must be finite.
std::string FormatGeneral15(double value);
// The same with another number of significant digits (1 to 15).
std::string FormatGeneral(double value, int significant);

// The fewest significant digits in the same notation that still read back as exactly this f32;
// for header lines whose 15-digit numbers would not fit.
std::string FormatFloatShortest(float value);

// A header float: its f32 value, formatted by FormatGeneral15.
inline std::string FormatFloat(float value) {
  return FormatGeneral15(static_cast<double>(value));
}

// "SSSS:OOOO": both parts in upper-case hexadecimal, at least four digits each.
std::string FormatSegmentAddress(std::uint32_t segment, std::uint32_t offset);

}  // namespace penmorph::jw
