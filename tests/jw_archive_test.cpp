// The building blocks of the Windows formats: strings, counts, class tags, entity bases, names.

#include <gtest/gtest.h>

#include "test_support.h"

#include "formats/windows/archive.h"
#include "formats/windows/archive_string.h"
#include "formats/windows/entity_base.h"
#include "jw_test_bytes.h"

namespace penmorph::jw {
namespace {

using testing::IsOk;

using testing::ByteBuilder;
using namespace std::string_literals;

std::string Written(void (*write)(ByteWriter&, const ArchiveString&), const ArchiveString& s) {
  VectorSink sink;
  ByteWriter out(sink);
  write(out, s);
  EXPECT_TRUE(IsOk(out.Finish()));
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

std::string WriteString(const ArchiveString& s) {
  return Written(&WriteArchiveString, s);
}

// The reader reads the string in place: it must outlive the reader (no temporaries).
ByteReader Reader(const std::string& bytes) {
  return ByteReader::FromMemory(
      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

ArchiveString Bytes(std::string text) {
  return {std::move(text), false};
}
ArchiveString Wide(std::u16string text) {
  ArchiveString s{"", true};
  for (char16_t unit : text) {
    s.bytes += static_cast<char>(unit & 0xFF);
    s.bytes += static_cast<char>(unit >> 8);
  }
  return s;
}

TEST(ArchiveString, ByteFormsByLength) {
  struct Case {
    std::size_t length;
    std::string prefix;
  };
  const Case cases[] = {
      {0, "\x00"s},
      {254, "\xFE"s},
      {255, "\xFF\xFF\x00"s},                    // 255, then u16 255
      {300, "\xFF\x2C\x01"s},                    // 255, then u16 300
      {70000, "\xFF\xFF\xFF\x70\x11\x01\x00"s},  // 255, 0xFFFF, u32 70000
      // 0xFFFE and 0xFFFF bytes would read as the wide marker or the long form in 16 bits.
      {0xFFFE, "\xFF\xFF\xFF\xFE\xFF\x00\x00"s},
      {0xFFFF, "\xFF\xFF\xFF\xFF\xFF\x00\x00"s},
  };
  for (const Case& c : cases) {
    ArchiveString s = Bytes(std::string(c.length, 'a'));
    std::string bytes = WriteString(s);
    const std::string& prefix = c.prefix;
    EXPECT_EQ(bytes.substr(0, prefix.size()), prefix) << c.length;
    EXPECT_EQ(bytes.size(), prefix.size() + c.length) << c.length;
    auto in = Reader(bytes);
    EXPECT_EQ(ReadArchiveString(in), s) << c.length;
    EXPECT_TRUE(in.ok() && in.at_end()) << c.length;
  }
}

TEST(ArchiveString, ReadsTheLongFormWithLowByteFirst) {
  const std::string bytes = "\xFF\x10\x01" + std::string(272, 'x') + "tail";
  auto in = Reader(bytes);
  EXPECT_EQ(ReadArchiveString(in).bytes.size(), 272u);
  EXPECT_EQ(in.remaining(), 4u);
}

TEST(ArchiveString, WideStringsKeepTheirUnits) {
  // 255, u16 0xFFFE marker, length 2 in units, then "図A" in UTF-16LE.
  const std::string bytes = std::string("\xFF\xFE\xFF\x02\xF3\x56\x41\x00", 8);
  auto in = Reader(bytes);
  ArchiveString s = ReadArchiveString(in);
  EXPECT_TRUE(s.wide);
  EXPECT_EQ(s.length(), 2u);
  EXPECT_EQ(Utf16LeToUtf8(s.bytes), "図A");
  EXPECT_EQ(WriteString(s), bytes);
  // A long wide string takes the same length forms, counted in units.
  ArchiveString long_wide = Wide(std::u16string(300, u'x'));
  std::string written = WriteString(long_wide);
  EXPECT_EQ(written.substr(0, 6), std::string("\xFF\xFE\xFF\xFF\x2C\x01", 6));
  auto again = Reader(written);
  EXPECT_EQ(ReadArchiveString(again), long_wide);
  EXPECT_EQ(Wide(u"").bytes, "");
  EXPECT_EQ(WriteString(Wide(u"")), std::string("\xFF\xFE\xFF\x00", 4));
}

TEST(ArchiveString, LengthsPastTheEndFailWithoutAllocating) {
  const std::string huge = std::string(
      "\xFF\xFF\xFF\xFF\xFF\xFF\x7F"
      "abc",
      10);
  auto in = Reader(huge);
  ReadArchiveString(in);
  EXPECT_EQ(in.error().kind, ErrorKind::kTruncated);
  const std::string huge_wide = std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 9);
  auto wide = Reader(huge_wide);
  ReadArchiveString(wide);
  EXPECT_FALSE(wide.ok());
}

// A scan passes over strings it does not need: it must stop where a read stops, and fail where
// and as a read fails, for every form and every place a file may end.
TEST(ArchiveString, SkippingEndsAndFailsWhereReadingDoes) {
  const ArchiveString strings[] = {Bytes(""),
                                   Bytes(std::string(254, 'a')),
                                   Bytes(std::string(300, 'b')),
                                   Bytes(std::string(0xFFFF, 'c')),
                                   Wide(u"図A"),
                                   Wide(std::u16string(300, u'x'))};
  for (const ArchiveString& s : strings) {
    const std::string bytes = WriteString(s) + "tail";
    for (std::size_t cut = 0; cut <= bytes.size(); cut += cut < 400 ? 1 : 997) {
      const std::string head = bytes.substr(0, cut);
      auto read = Reader(head);
      auto skipped = Reader(head);
      ReadArchiveString(read);
      SkipArchiveString(skipped);
      SCOPED_TRACE(::testing::Message() << s.bytes.size() << " bytes cut at " << cut);
      EXPECT_EQ(skipped.offset(), read.offset());
      ASSERT_EQ(skipped.ok(), read.ok());
      if (!read.ok()) {
        EXPECT_EQ(skipped.error().kind, read.error().kind);
        EXPECT_EQ(skipped.error().offset, read.error().offset);
        EXPECT_EQ(skipped.error().message, read.error().message);
      }
    }
  }
}

TEST(CleanName, DropsControlsAndCaretMOutsideDoubleByteCharacters) {
  EXPECT_EQ(CleanName(Bytes("A^mB")).bytes, "AB");
  EXPECT_EQ(CleanName(Bytes("\t\t")).bytes, " ");
  EXPECT_EQ(CleanName(Bytes("\r")).bytes, " ");
  EXPECT_EQ(CleanName(Bytes("")).bytes, "");
  EXPECT_EQ(CleanName(Bytes("\x81\x09")).bytes, "\x81\x09");    // trail byte 0x09 stays
  EXPECT_EQ(CleanName(Bytes("\x81^m")).bytes, "\x81^m");        // '^' is a trail byte here
  EXPECT_EQ(CleanName(Bytes("\xB1\t\xB2")).bytes, "\xB1\xB2");  // half-width kana: one byte
  EXPECT_EQ(CleanName(Bytes("a^")).bytes, "a^");
}

// IsClean looks at several bytes at a time: a control or "^m" anywhere, at every length and
// place, must still be seen, and what it calls clean is what CleanName leaves alone.
TEST(CleanName, IsCleanSeesWhatCleanNameWouldDropAtEveryPlace) {
  for (std::size_t length = 1; length <= 24; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const std::string& bad :
           {std::string(1, '\0'), std::string("\x1F"), std::string("\t"), std::string("^m")}) {
        // Bytes of every range around the one that matters: high, space, DEL, a plain '^'.
        std::string bytes;
        for (std::size_t i = 0; i < length; ++i) {
          bytes += "\xFF\x20\x7F\xE0^a"[i % 6];
        }
        const std::size_t count = std::min(bad.size(), length - at);
        bytes.replace(at, count, bad.substr(0, count));
        const ArchiveString text = Bytes(bytes);
        EXPECT_EQ(IsClean(text), CleanName(text) == text)
            << length << " " << at << " " << int(bad[0]);
      }
    }
    EXPECT_TRUE(IsClean(Bytes(std::string(length, '\xA0')))) << length;
  }
}

TEST(CleanName, WorksOnWideUnits) {
  EXPECT_EQ(CleanName(Wide(u"A^mB\tC")), Wide(u"ABC"));
  EXPECT_EQ(CleanName(Wide(u"\r\n")), Wide(u" "));
  // A surrogate pair whose low half looks like nothing special stays whole.
  EXPECT_EQ(CleanName(Wide(u"\U0001F600x")), Wide(u"\U0001F600x"));
  EXPECT_EQ(CleanName(Wide(u"")), Wide(u""));
}

TEST(ArchiveCount, ShortUpTo65534ThenLong) {
  VectorSink sink;
  ByteWriter out(sink);
  WriteArchiveCount(out, 65534);
  WriteArchiveCount(out, 65535);
  ASSERT_TRUE(IsOk(out.Finish()));
  EXPECT_EQ(std::string(sink.bytes().begin(), sink.bytes().end()),
            std::string("\xFE\xFF\xFF\xFF\xFF\xFF\x00\x00", 8));
  auto in = ByteReader::FromMemory(sink.bytes());
  EXPECT_EQ(ReadArchiveCount(in), 65534);
  EXPECT_EQ(ReadArchiveCount(in), 65535);
  const std::string minus_one = std::string("\xFF\xFF\xFF\xFF\xFF\xFF", 6);
  auto negative = Reader(minus_one);
  ReadArchiveCount(negative);
  EXPECT_EQ(negative.error().kind, ErrorKind::kMalformed);
}

TEST(ClassTag, IndicesRunThroughClassesAndObjects) {
  // Three lines and an arc: line class 1, lines 2-4, arc class 5, arc 6; then refs.
  ArchiveState state;
  VectorSink sink;
  ByteWriter out(sink);
  for (EntityKind kind : {EntityKind::kLine, EntityKind::kLine, EntityKind::kLine, EntityKind::kArc,
                          EntityKind::kArc}) {
    WriteClassTag(out, state, kind, 600);
    state.Advance();
  }
  ASSERT_TRUE(IsOk(out.Finish()));
  ByteBuilder expected;
  expected.new_class("CDataSen", 600)
      .u16(0x8001)
      .u16(0x8001)
      .new_class("CDataEnko", 600)
      .u16(0x8005);
  EXPECT_EQ(std::string(sink.bytes().begin(), sink.bytes().end()), expected.bytes());

  ArchiveState reading;
  auto in = ByteReader::FromMemory(sink.bytes());
  for (EntityKind kind : {EntityKind::kLine, EntityKind::kLine, EntityKind::kLine, EntityKind::kArc,
                          EntityKind::kArc}) {
    EXPECT_EQ(ReadClassTag(in, reading, false), kind);
    reading.Advance();
  }
  EXPECT_TRUE(IsOk(in));
}

TEST(ClassTag, ReferencesAbove32766UseTheLongForm) {
  auto reference_bytes = [](std::uint32_t objects_before) {
    ArchiveState state;
    for (std::uint32_t i = 0; i < objects_before; ++i) {
      state.Advance();
    }
    state.Introduce(EntityKind::kText);  // the class takes index objects_before + 1
    VectorSink sink;
    ByteWriter out(sink);
    WriteClassTag(out, state, EntityKind::kText, 700);
    EXPECT_TRUE(IsOk(out.Finish()));
    return std::string(sink.bytes().begin(), sink.bytes().end());
  };
  EXPECT_EQ(reference_bytes(32765), "\xFE\xFF");  // index 32766: 0x8000 + 32766
  EXPECT_EQ(reference_bytes(32766), std::string("\xFF\x7F\xFF\x7F\x00\x80", 6));
}

TEST(ClassTag, AnythingButAKnownClassFailsAtItsOffset) {
  struct Case {
    std::string bytes;
    ErrorKind kind;
  };
  ByteBuilder unknown;
  unknown.new_class("CDataFoo", 600);
  ByteBuilder not_long;
  not_long.u16(0x7FFF).u32(5);  // a long object reference, not a class
  const Case cases[] = {
      {unknown.bytes(), ErrorKind::kUnsupported},
      {std::string("\x01\x00", 2), ErrorKind::kUnsupported},  // object reference tag
      {std::string("\x00\x00", 2), ErrorKind::kUnsupported},  // null object
      {not_long.bytes(), ErrorKind::kUnsupported},
      {"\x01\x80", ErrorKind::kMalformed},  // a class that was never introduced
      {std::string("\x00\x80", 2), ErrorKind::kMalformed},
  };
  for (const Case& c : cases) {
    const std::string bytes = "pad" + c.bytes;
    auto in = Reader(bytes);
    in.skip(3);
    ArchiveState state;
    EXPECT_EQ(ReadClassTag(in, state, false), EntityKind::kNone);
    ASSERT_FALSE(in.ok());
    EXPECT_EQ(in.error().kind, c.kind);
    EXPECT_EQ(in.error().offset, 3u);
  }
}

TEST(ClassTag, BlockListTakesAnyNewClassButOnlyItsOwnReferences) {
  ByteBuilder bytes;
  bytes.new_class("CDataSen", 600).new_class("AnyName", 600).u16(0x8002).u16(0x8001);
  auto in = Reader(bytes.bytes());
  ArchiveState state;
  EXPECT_EQ(ReadClassTag(in, state, false), EntityKind::kLine);     // class 1
  EXPECT_EQ(ReadClassTag(in, state, true), EntityKind::kBlockDef);  // class 2
  EXPECT_EQ(ReadClassTag(in, state, true), EntityKind::kBlockDef);
  EXPECT_EQ(ReadClassTag(in, state, true), EntityKind::kNone);  // a line where a list belongs
  EXPECT_EQ(in.error().kind, ErrorKind::kMalformed);
}

TEST(EntityBase, WidthOnlyAbove350) {
  EntityBase base{-7, 5, 104, 9, 3, 4, 0x8001};
  for (int version : {350, 351}) {
    VectorSink sink;
    ByteWriter out(sink);
    WriteEntityBaseAsRead(out, version, base);
    ASSERT_TRUE(IsOk(out.Finish()));
    EXPECT_EQ(sink.bytes().size(), version == 350 ? 13u : 15u);
    auto in = ByteReader::FromMemory(sink.bytes());
    EntityBase read = ReadEntityBase(in, version);
    EntityBase expected = base;
    expected.PenWidth = version == 350 ? 0 : 9;
    EXPECT_EQ(read, expected);
  }
}

TEST(WriteEntityBase, FoldsSxfCodesBelow420Only) {
  EntityBase line{0, 40, 105, 0, 0, 0, 0};
  EXPECT_EQ(AdjustEntityBase(300, EntityKind::kLine, line).PenStyle, 6);
  EXPECT_EQ(AdjustEntityBase(300, EntityKind::kLine, line).PenColor, 4);
  EXPECT_EQ(AdjustEntityBase(420, EntityKind::kLine, line).PenStyle, 40);
  EXPECT_EQ(AdjustEntityBase(420, EntityKind::kLine, line).PenColor, 105);
  // Every SXF line type and colour folds to the table's value.
  const int styles[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};
  for (int s = 31; s <= 62; ++s) {
    EntityBase b{0, static_cast<std::uint8_t>(s), 1, 0, 0, 0, 0};
    EXPECT_EQ(AdjustEntityBase(419, EntityKind::kArc, b).PenStyle, s <= 45 ? styles[s - 31] : 1)
        << s;
  }
  const int colors[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};
  for (int c = 101; c <= 356; ++c) {
    EntityBase b{0, 1, static_cast<std::uint16_t>(c), 0, 0, 0, 0};
    EXPECT_EQ(AdjustEntityBase(351, EntityKind::kSolid, b).PenColor, c <= 116 ? colors[c - 101] : 2)
        << c;
  }
  // Texts keep SXF colours' folding too, block insertions do not fold.
  EntityBase block{0, 40, 105, 0, 0, 0, 0};
  EXPECT_EQ(AdjustEntityBase(300, EntityKind::kBlock, block), block);
}

TEST(WriteEntityBase, ReplacesWhatTheKindDoesNotAllow) {
  auto adjusted = [](EntityKind kind, int style, int color) {
    EntityBase b{0, static_cast<std::uint8_t>(style), static_cast<std::uint16_t>(color), 0, 0, 0,
                 0};
    return AdjustEntityBase(700, kind, b);
  };
  EXPECT_EQ(adjusted(EntityKind::kText, 10, 1).PenStyle, 1);
  EXPECT_EQ(adjusted(EntityKind::kText, 9, 1).PenStyle, 9);
  EXPECT_EQ(adjusted(EntityKind::kPoint, 100, 1).PenStyle, 100);
  EXPECT_EQ(adjusted(EntityKind::kPoint, 2, 1).PenStyle, 1);
  EXPECT_EQ(adjusted(EntityKind::kLine, 10, 1).PenStyle, 1);
  EXPECT_EQ(adjusted(EntityKind::kLine, 20, 1).PenStyle, 1);
  EXPECT_EQ(adjusted(EntityKind::kLine, 19, 1).PenStyle, 19);
  EXPECT_EQ(adjusted(EntityKind::kDimension, 99, 1).PenStyle, 99);  // unchecked
  EXPECT_EQ(adjusted(EntityKind::kSolid, 1, 10).PenColor, 10);
  EXPECT_EQ(adjusted(EntityKind::kLine, 1, 10).PenColor, 2);
  EXPECT_EQ(adjusted(EntityKind::kLine, 1, 0).PenColor, 2);
  EXPECT_EQ(adjusted(EntityKind::kDimension, 1, 357).PenColor, 2);
  EXPECT_EQ(adjusted(EntityKind::kBlock, 1, 999).PenColor, 999);
  EXPECT_EQ(adjusted(EntityKind::kBlockDef, 1, 0).PenColor, 0);
  EntityBase layers{0, 1, 1, 30001, 16, 65535, 0};
  EntityBase fixed = AdjustEntityBase(700, EntityKind::kBlockDef, layers);
  EXPECT_EQ(fixed.Layer, 0);
  EXPECT_EQ(fixed.LayerGroup, 0);
  EXPECT_EQ(fixed.PenWidth, 0);
  layers.PenWidth = 30000;
  layers.Layer = 15;
  EXPECT_EQ(AdjustEntityBase(700, EntityKind::kLine, layers).PenWidth, 30000);
  EXPECT_EQ(AdjustEntityBase(700, EntityKind::kLine, layers).Layer, 15);
}

}  // namespace
}  // namespace penmorph::jw
