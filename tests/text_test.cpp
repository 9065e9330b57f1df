#include "common/text.h"
#include "common/text_decoding.h"

#include <gtest/gtest.h>

#include <string>

namespace penmorph {
namespace {

using namespace std::string_literals;

TEST(TextToInt, ReadsDecimalWithBlanksAndSign) {
  EXPECT_EQ(TextToInt("12"), 12);
  EXPECT_EQ(TextToInt("   12"), 12);
  EXPECT_EQ(TextToInt("-5"), -5);
  EXPECT_EQ(TextToInt("+7"), 7);
  EXPECT_EQ(TextToInt("007"), 7);
}

TEST(TextToInt, ReadsHexadecimalAfterEachPrefix) {
  EXPECT_EQ(TextToInt("$1F"), 31);
  EXPECT_EQ(TextToInt("x1f"), 31);
  EXPECT_EQ(TextToInt("X1F"), 31);
  EXPECT_EQ(TextToInt("0x1F"), 31);
  EXPECT_EQ(TextToInt("0X10"), 16);
  EXPECT_EQ(TextToInt("-$10"), -16);
}

TEST(TextToInt, MalformedTextIsZero) {
  for (const char* text :
       {"", "   ", "12 ", "12a", "a12", "-", "+", "$", "0x", "1 2", "1.5", "$G", "--1", "٣"}) {
    EXPECT_EQ(TextToInt(text), 0) << '"' << text << '"';
  }
}

TEST(TextToInt, KeepsTheI32RangeAndNoMore) {
  EXPECT_EQ(TextToInt("2147483647"), 2147483647);
  EXPECT_EQ(TextToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TextToInt("2147483648"), 0);
  EXPECT_EQ(TextToInt("-2147483649"), 0);
  EXPECT_EQ(TextToInt("$7FFFFFFF"), 2147483647);
  EXPECT_EQ(TextToInt("$80000000"), 0);
  EXPECT_EQ(TextToInt("-$80000000"), INT32_MIN);
  EXPECT_EQ(TextToInt("99999999999999999999999999"), 0);
}

TEST(TextToInt, NulEndsTheNumber) {
  EXPECT_EQ(TextToInt("42\0junk"s), 42);
  EXPECT_EQ(TextToInt("\0"s), 0);
}

TEST(StripControlChars, DropsControlBytesOutsideDoubleByteCharacters) {
  EXPECT_EQ(StripControlChars("A\tB\r\n"), "AB");
  EXPECT_EQ(StripControlChars("\x01\x1F"), "");
  // 0x81 is a lead byte: its partner stays even though it is a tab.
  EXPECT_EQ(StripControlChars("\x81\x09Z"), "\x81\x09Z");
  // Half-width katakana (0xA0-0xDF) are single bytes; the tab after one goes.
  EXPECT_EQ(StripControlChars("\xB1\x09"), "\xB1");
  // A lead byte at the very end is kept alone.
  EXPECT_EQ(StripControlChars("A\xE0"), "A\xE0");
}

TEST(FileExtension, TakesTheLastDot) {
  EXPECT_EQ(FileExtension("plan.jww"), ".jww");
  EXPECT_EQ(FileExtension("a.b.JwW"), ".JwW");
  EXPECT_EQ(FileExtension("noext"), "");
  EXPECT_EQ(FileExtension("trailing."), ".");
  EXPECT_EQ(ToUpperAscii(FileExtension("x.jw$")), ".JW$");
}

TEST(ToUpperAscii, LeavesNonAsciiBytesAlone) {
  EXPECT_EQ(ToUpperAscii("abc\xE3\x81\x82z"), "ABC\xE3\x81\x82Z");
}

TEST(CutUtf8, NeverSplitsACharacter) {
  const std::string a = "\xE3\x81\x82";  // one three-byte character
  EXPECT_EQ(CutUtf8("abc", 5), "abc");
  EXPECT_EQ(CutUtf8("abcdef", 3), "abc");
  EXPECT_EQ(CutUtf8("x" + a, 1), "x");
  EXPECT_EQ(CutUtf8("x" + a, 2), "x");
  EXPECT_EQ(CutUtf8("x" + a, 3), "x");
  EXPECT_EQ(CutUtf8("x" + a + "y", 4), "x" + a);
  // Bytes that are not UTF-8 are cut at the limit.
  EXPECT_EQ(CutUtf8(std::string(6, '\x80'), 3), std::string(3, '\x80'));
}

TEST(IsValidUtf8, RefusesOverlongFormsAndSurrogates) {
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));      // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // a surrogate
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
}

TEST(Utf8ToShiftJis, WritesWhatShiftJisHoldsAndRefusesTheRest) {
  EXPECT_EQ(Utf8ToShiftJis("壁 A-1"), "\x95\xC7 A-1"s);
  EXPECT_EQ(Utf8ToShiftJis(""), ""s);
  for (const char* name : {"平面図", "ｱｲｳ", "①～㈱"}) {  // half-width kana, code page 932's own
    const auto encoded = Utf8ToShiftJis(name);
    ASSERT_TRUE(encoded.has_value()) << name;
    EXPECT_EQ(ShiftJisToUtf8(*encoded), name);
  }
  // No stand-in: a name written with "?" in it is not the name the user gave.
  EXPECT_EQ(Utf8ToShiftJis("窓🪟"), std::nullopt);
  EXPECT_EQ(Utf8ToShiftJis("한"), std::nullopt);
  EXPECT_EQ(Utf8ToShiftJis("\xFF\xFE"), std::nullopt);
}

}  // namespace
}  // namespace penmorph
