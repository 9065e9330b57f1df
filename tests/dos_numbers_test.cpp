#include "formats/dos/dos_numbers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "test_support.h"

#include <bit>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>

namespace penmorph::jw {
namespace {

TEST(SplitFields, MissingFieldsStayZeroAndExtraTextIsIgnored) {
  EXPECT_EQ(SplitFields("1,2", 4), (std::vector<std::string_view>{"1", "2", "0", "0"}));
  EXPECT_EQ(SplitFields("1,2,", 3), (std::vector<std::string_view>{"1", "2", "0"}));
  EXPECT_EQ(SplitFields("1,,3", 3), (std::vector<std::string_view>{"1", "", "3"}));
  EXPECT_EQ(SplitFields("1,2,3,4,5", 3), (std::vector<std::string_view>{"1", "2", "3"}));
  // The last field of a line without a trailing comma runs to the end of the line.
  EXPECT_EQ(SplitFields(std::string_view("7,518\0  \n", 9), 2),
            (std::vector<std::string_view>{"7", std::string_view("518\0  \n", 7)}));
  EXPECT_EQ(SplitFields("", 2), (std::vector<std::string_view>{"", "0"}));
}

TEST(ParseIntegerField, FollowsTheTextToIntegerRule) {
  EXPECT_EQ(ParseIntegerField("42"), 42);
  EXPECT_EQ(ParseIntegerField("   42"), 42);
  EXPECT_EQ(ParseIntegerField("-42"), -42);
  EXPECT_EQ(ParseIntegerField("+42"), 42);
  EXPECT_EQ(ParseIntegerField("$1F"), 31);
  EXPECT_EQ(ParseIntegerField("0x1f"), 31);
  EXPECT_EQ(ParseIntegerField("X1F"), 31);
  EXPECT_EQ(ParseIntegerField(std::string_view("518\0 junk\n", 10)), 518);
  EXPECT_EQ(ParseIntegerField("2147483647"), 2147483647);
  EXPECT_EQ(ParseIntegerField("-2147483648"), std::numeric_limits<std::int32_t>::min());
  for (const char* malformed : {"12a", "12 ", "", "   ", "2147483648", "-2147483649", "1.5", "$"}) {
    EXPECT_EQ(ParseIntegerField(malformed), 0) << malformed;
  }
}

TEST(ParseFloatField, ReadsDecimalTextRoundedToF32) {
  EXPECT_EQ(ParseFloatField("1.5"), 1.5f);
  EXPECT_EQ(ParseFloatField("  -2.25"), -2.25f);
  EXPECT_EQ(ParseFloatField("+4"), 4.0f);
  EXPECT_EQ(ParseFloatField("1e3"), 1000.0f);
  EXPECT_EQ(ParseFloatField("1.5E-2"), 0.015f);
  EXPECT_EQ(ParseFloatField(".5"), 0.5f);
  EXPECT_EQ(ParseFloatField("5."), 5.0f);
  EXPECT_EQ(ParseFloatField("4.000000"), 4.0f);
  EXPECT_EQ(ParseFloatField("0.1"), 0.1f);
  EXPECT_EQ(ParseFloatField("16777217"), 16777216.0f);  // the nearest f32
  EXPECT_EQ(ParseFloatField(std::string_view("100\0     \n", 10)), 100.0f);
  for (const char* malformed : {"1.5x", "1.5 ", "", "   ", "1e", "e5", ".", "-", "1,5", "inf",
                                "nan", "0x10", "1e39", "1e-50"}) {
    EXPECT_EQ(ParseFloatField(malformed), 0.0f) << malformed;
  }
}

TEST(FormatInteger, PlainDecimal) {
  EXPECT_EQ(FormatInteger(0), "0");
  EXPECT_EQ(FormatInteger(518), "518");
  EXPECT_EQ(FormatInteger(-7), "-7");
  EXPECT_EQ(FormatInteger(std::numeric_limits<std::int32_t>::max()), "2147483647");
  EXPECT_EQ(FormatInteger(std::numeric_limits<std::int32_t>::min()), "-2147483648");
}

TEST(FormatFloat, FifteenSignificantDigitsFromTheF32Value) {
  EXPECT_EQ(FormatFloat(1.0f), "1");
  EXPECT_EQ(FormatFloat(0.5f), "0.5");
  EXPECT_EQ(FormatFloat(100.0f), "100");
  EXPECT_EQ(FormatFloat(0.1f), "0.100000001490116");
  EXPECT_EQ(FormatFloat(0.00001f), "9.99999974737875E-6");
  EXPECT_EQ(FormatFloat(0.0f), "0");
  EXPECT_EQ(FormatFloat(-0.0f), "0");
  EXPECT_EQ(FormatFloat(-2.25f), "-2.25");
  EXPECT_EQ(FormatFloat(0.048889f), "0.0488889999687672");
  EXPECT_EQ(FormatFloat(std::numeric_limits<float>::max()), "3.40282346638529E38");
  EXPECT_EQ(FormatFloat(std::numeric_limits<float>::denorm_min()), "1.40129846432482E-45");
  EXPECT_EQ(FormatFloat(-std::numeric_limits<float>::min()), "-1.17549435082229E-38");
  // f32 has no 0.0001 or 1E15: their neighbours fall on either side of the notation change.
  EXPECT_EQ(FormatFloat(0.0001f), "9.99999974737875E-5");
  EXPECT_EQ(FormatFloat(std::nextafter(0.0001f, 1.0f)), "0.000100000004749745");
  EXPECT_EQ(FormatFloat(1e15f), "999999986991104");
  EXPECT_EQ(FormatFloat(std::nextafter(1e15f, 1e16f)), "1.00000005409997E15");
  EXPECT_EQ(FormatFloat(16777216.0f), "16777216");
  EXPECT_EQ(FormatFloat(1.0f / 1024), "0.0009765625");
}

TEST(FormatGeneral15, NotationChangesAtTheRoundedValuesExponent) {
  EXPECT_EQ(FormatGeneral15(0.0001), "0.0001");
  EXPECT_EQ(FormatGeneral15(0.00012345), "0.00012345");
  EXPECT_EQ(FormatGeneral15(0.000099999), "9.9999E-5");
  EXPECT_EQ(FormatGeneral15(1e15), "1E15");
  EXPECT_EQ(FormatGeneral15(-1e15), "-1E15");
  EXPECT_EQ(FormatGeneral15(999999999999999.0), "999999999999999");
  EXPECT_EQ(FormatGeneral15(123456789012345678.0), "1.23456789012346E17");
  EXPECT_EQ(FormatGeneral15(1.5e-5), "1.5E-5");
  EXPECT_EQ(FormatGeneral15(1e100), "1E100");
  // Values that round up to the next power of ten take that power's notation.
  EXPECT_EQ(FormatGeneral15(999999999999999.5), "1E15");
  EXPECT_EQ(FormatGeneral15(99999.99999999999), "100000");
  EXPECT_EQ(FormatGeneral15(9.9999999999999999e-5), "0.0001");
  EXPECT_EQ(FormatGeneral15(0.99999999999999994), "1");
  EXPECT_EQ(FormatGeneral15(-9.99999999999999951), "-10");
  // Rounding works on the exact value: halves go away from zero, just below half goes down.
  EXPECT_EQ(FormatGeneral15(std::ldexp(1.0, -22)), "2.38418579101563E-7");  // ...5625 exactly
  EXPECT_EQ(FormatGeneral15(0.1234567890123449), "0.123456789012345");
  EXPECT_EQ(FormatGeneral15(1.00000000000000049), "1");
}

TEST(FormatFloat, ReadsBackAsTheSameF32) {
  std::mt19937 random(11);
  int checked = 0;
  for (int i = 0; i < 200000; ++i) {
    float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (!std::isfinite(value)) {
      continue;
    }
    std::string text = FormatFloat(value);
    float back = ParseFloatField(text);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(back),
              std::bit_cast<std::uint32_t>(value == 0.0f ? 0.0f : value))
        << text;
    ++checked;
  }
  EXPECT_GT(checked, 190000);
}

TEST(FormatFloatShortest, TakesTheFewestDigitsThatReadBackExactly) {
  EXPECT_EQ(FormatFloatShortest(0.1f), "0.1");
  EXPECT_EQ(FormatFloatShortest(1e-5f), "1E-5");
  EXPECT_EQ(FormatFloatShortest(1.0f / 3.0f), "0.33333334");  // seven digits read back another f32
  EXPECT_EQ(FormatFloatShortest(100.0f), "100");
  EXPECT_EQ(FormatFloatShortest(-2.5f), "-2.5");
  EXPECT_EQ(FormatFloatShortest(16777216.0f), "16777216");
  EXPECT_EQ(FormatFloatShortest(1e15f), "1E15");
  std::mt19937 random(11);
  for (int i = 0; i < 20000; ++i) {
    float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (!std::isfinite(value)) {
      continue;
    }
    std::string text = FormatFloatShortest(value);
    ASSERT_EQ(std::bit_cast<std::uint32_t>(ParseFloatField(text)),
              std::bit_cast<std::uint32_t>(value))
        << text;
    ASSERT_LE(text.size(), FormatFloat(value).size()) << text;
  }
}

TEST(FormatFloat, IgnoresTheProcessLocale) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  std::string saved = previous ? previous : "C";
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "de_DE"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      chosen = name;
      break;
    }
  }
#if !defined(_WIN32)
  // No such locale installed: build one in a scratch folder, where glibc can be pointed at it.
  testing::ScratchFolder folder;
  if (chosen == nullptr) {
    std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0 && setenv("LOCPATH", folder.path().c_str(), 1) == 0 &&
        std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
      chosen = "de_DE.UTF-8 (built for the test)";
    }
  }
#endif
  if (chosen == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  char decimal[16];
  std::snprintf(decimal, sizeof decimal, "%.1f", 2.5);
  std::string formatted = FormatFloat(2.5f);
  float parsed = ParseFloatField("2.5");
  std::setlocale(LC_ALL, saved.c_str());
#if !defined(_WIN32)
  unsetenv("LOCPATH");
#endif
  EXPECT_EQ(std::string(decimal), "2,5") << "the locale " << chosen << " was not in use";
  EXPECT_EQ(formatted, "2.5") << chosen;
  EXPECT_EQ(parsed, 2.5f) << chosen;
}

TEST(SegmentAddress, ReadsSegmentAndOffsetAsTwentyBits) {
  EXPECT_EQ(ParseSegmentAddress("6000:012C"), 0x6012C);
  EXPECT_EQ(ParseSegmentAddress("6000:012c"), 0x6012C);
  EXPECT_EQ(ParseSegmentAddress("0000:0005"), 5);
  EXPECT_EQ(ParseSegmentAddress("FFFF:FFFF"), 0x10FFEF);
  EXPECT_EQ(ParseSegmentAddress("6000-0010"), 0x60010);  // the separator is not looked at
  EXPECT_EQ(ParseSegmentAddress("G000:0010"), 0x10);     // not hexadecimal: segment 0
  EXPECT_EQ(ParseSegmentAddress("6000:zz"), 0x60000);
  EXPECT_EQ(ParseSegmentAddress("60"), 0x600);  // fewer characters: what is there
  EXPECT_EQ(ParseSegmentAddress(""), 0);
  EXPECT_EQ(ParseSegmentAddress(std::string_view("6000:0010\0", 10)), 0x60010);

  EXPECT_EQ(FormatSegmentAddress(0x6000, 0), "6000:0000");
  EXPECT_EQ(FormatSegmentAddress(0x6000, 0x12C), "6000:012C");
  EXPECT_EQ(FormatSegmentAddress(0, 5), "0000:0005");
  EXPECT_EQ(FormatSegmentAddress(0xFFFF, 0xABCD), "FFFF:ABCD");
}

}  // namespace
}  // namespace penmorph::jw
