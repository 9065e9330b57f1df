#include "settings/conv_settings.h"

#include <gtest/gtest.h>

namespace penmorph {
namespace {

// Every entry set to a value the lookups can be traced by: 1000 + entry number.
template <class Table>
Table Traced() {
  Table table;
  for (int entry = 1; entry <= Table::kEntryCount; ++entry) {
    table.SetEntry(entry, 1000 + entry);
  }
  return table;
}

TEST(ConvTables, NumberedFromOneAndStartAtZero) {
  JwcConvSettings jwc;
  JwwConvSettings jww;
  EXPECT_EQ(JwcConvSettings::kEntryCount, 24);
  EXPECT_EQ(JwwConvSettings::kEntryCount, 321);
  for (int entry = 1; entry <= 321; ++entry) {
    EXPECT_EQ(jww.Entry(entry), 0);
  }
  jwc.SetEntry(24, 7);
  EXPECT_EQ(jwc.Entry(24), 7);
  // Numbers outside the table are neither stored nor read.
  jwc.SetEntry(0, 5);
  jwc.SetEntry(25, 5);
  EXPECT_EQ(jwc.Entry(0), 0);
  EXPECT_EQ(jwc.Entry(25), 0);
}

TEST(MapJwcPen, MapsPensOneToSixAndSendsTheRestToOne) {
  auto table = Traced<JwcConvSettings>();
  for (int pen = 1; pen <= 6; ++pen) {
    EXPECT_EQ(MapJwcPen(table, static_cast<std::uint8_t>(pen)), 1000 + pen);
  }
  for (int pen : {0, 7, 100, 255}) {
    EXPECT_EQ(MapJwcPen(table, static_cast<std::uint8_t>(pen)), 1) << pen;
  }
}

TEST(MapJwcLineType, SkipsTypeTen) {
  auto table = Traced<JwcConvSettings>();
  EXPECT_EQ(MapJwcLineType(table, 1), 1007);
  EXPECT_EQ(MapJwcLineType(table, 9), 1015);
  EXPECT_EQ(MapJwcLineType(table, 11), 1016);
  EXPECT_EQ(MapJwcLineType(table, 18), 1023);
  for (int type : {0, 10, 19, 255}) {
    EXPECT_EQ(MapJwcLineType(table, static_cast<std::uint8_t>(type)), 1) << type;
  }
}

TEST(MapJwwColor, MapsStandardAndSxfColours) {
  auto table = Traced<JwwConvSettings>();
  EXPECT_EQ(MapJwwColor(table, 1), 1001);
  EXPECT_EQ(MapJwwColor(table, 9), 1009);
  EXPECT_EQ(MapJwwColor(table, 101), 1010);  // "SXF 1:black"
  EXPECT_EQ(MapJwwColor(table, 116), 1025);
  EXPECT_EQ(MapJwwColor(table, 117), 1026);
  EXPECT_EQ(MapJwwColor(table, 356), 1265);
  for (int code : {-1, 0, 10, 100, 357, 65535}) {
    EXPECT_EQ(MapJwwColor(table, code), 1) << code;
  }
}

TEST(MapJwwLineType, MapsEveryRangeAndNotSxfSixteen) {
  auto table = Traced<JwwConvSettings>();
  EXPECT_EQ(MapJwwLineType(table, 1), 1266);
  EXPECT_EQ(MapJwwLineType(table, 9), 1274);
  EXPECT_EQ(MapJwwLineType(table, 11), 1275);
  EXPECT_EQ(MapJwwLineType(table, 19), 1283);
  EXPECT_EQ(MapJwwLineType(table, 31), 1284);
  EXPECT_EQ(MapJwwLineType(table, 45), 1298);
  EXPECT_EQ(MapJwwLineType(table, 47), 1299);
  EXPECT_EQ(MapJwwLineType(table, 62), 1314);
  for (int code : {0, 10, 20, 30, 46, 63, 255}) {
    EXPECT_EQ(MapJwwLineType(table, static_cast<std::uint8_t>(code)), 1) << code;
  }
}

TEST(Lookups, ZeroOrNegativeEntriesKeepTheSourceNumber) {
  JwcConvSettings jwc;
  JwwConvSettings jww;
  // All zero: every number in range comes back unchanged.
  for (int pen = 1; pen <= 6; ++pen) {
    EXPECT_EQ(MapJwcPen(jwc, static_cast<std::uint8_t>(pen)), pen);
  }
  for (int code = 101; code <= 356; ++code) {
    EXPECT_EQ(MapJwwColor(jww, code), code);
  }
  jwc.SetEntry(3, -5);
  EXPECT_EQ(MapJwcPen(jwc, 3), 3);
  jww.SetEntry(284, -1);
  EXPECT_EQ(MapJwwLineType(jww, 31), 31);
  // Out of range stays 1 even with a zero table.
  EXPECT_EQ(MapJwcLineType(jwc, 10), 1);
  EXPECT_EQ(MapJwwLineType(jww, 46), 1);
}

TEST(Flags, ActOnlyOnTheValueOne) {
  JwcConvSettings jwc;
  jwc.SetEntry(JwcConvSettings::kChangeTextPen, 2);
  EXPECT_FALSE(jwc.ChangeTextPen());
  jwc.SetEntry(JwcConvSettings::kChangeTextPen, 1);
  EXPECT_TRUE(jwc.ChangeTextPen());

  JwwConvSettings jww;
  for (int entry = JwwConvSettings::kChangeTextSettingColor;
       entry <= JwwConvSettings::kChangeBlockLineType; ++entry) {
    auto option = static_cast<JwwConvSettings::Option>(entry);
    jww.SetEntry(entry, 2);
    EXPECT_FALSE(jww.IsOn(option)) << entry;
    jww.SetEntry(entry, 1);
    EXPECT_TRUE(jww.IsOn(option)) << entry;
  }
}

TEST(EntryNumbers, NameTheEntryBehindASourceNumber) {
  EXPECT_EQ(JwwConvSettings::ColorEntry(356), 265);
  EXPECT_EQ(JwwConvSettings::ColorEntry(357), 0);
  EXPECT_EQ(JwwConvSettings::LineTypeEntry(62), 314);
  EXPECT_EQ(JwcConvSettings::LineTypeEntry(10), 0);
  EXPECT_EQ(EntryKey(321), "C321");
}

}  // namespace
}  // namespace penmorph
