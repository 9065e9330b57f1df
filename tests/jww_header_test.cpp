// The JWW header: its layout at each version boundary, the versions refused, the write rules
// and the two header remaps.

#include <gtest/gtest.h>

#include "jw_test_bytes.h"
#include "test_support.h"

namespace penmorph::jw {
namespace {

using testing::IsOk;

using testing::ByteBuilder;
using testing::EmptyJww;
using testing::HeaderValues;
using testing::I32At;
using testing::ReadJwwBytes;
using testing::WriteJwwBytes;
using testing::WriteJwwBytesAsRead;

TEST(JwwHeader, EveryVersionBoundaryReadsAndWritesItsOwnLayout) {
  struct Case {
    int version;
    std::size_t view_table;
  };
  for (Case c : {Case{220, 96}, Case{223, 96}, Case{225, 96}, Case{230, 96}, Case{300, 280},
                 Case{350, 280}, Case{351, 280}, Case{420, 280}, Case{421, 280}, Case{600, 280},
                 Case{699, 280}, Case{700, 280}}) {
    const std::string bytes = EmptyJww(c.version);
    JwwWorkspace workspace;
    ASSERT_TRUE(IsOk(ReadJwwBytes(bytes, workspace))) << c.version;
    EXPECT_EQ(workspace.header.version, c.version);
    EXPECT_EQ(workspace.header.memo.bytes, "memo");
    EXPECT_EQ(workspace.header.view_table.size(), c.view_table) << c.version;
    EXPECT_EQ(workspace.header.sxf_colors.size(), c.version >= 420 ? 257u : 0u);
    EXPECT_EQ(workspace.header.layers[255].name.bytes, "L");
    // Nothing carried is lost or moved: the file comes back byte for byte.
    EXPECT_EQ(WriteJwwBytes(workspace), bytes) << c.version;
  }
}

TEST(JwwHeader, VersionsWithoutAKnownLayoutAreRefused) {
  for (int version : {0, 100, 219, 221, 222, 224, 226, 229, 231, 250, 299}) {
    JwwWorkspace workspace;
    Status status = ReadJwwBytes(EmptyJww(version), workspace);
    ASSERT_FALSE(status.ok()) << version;
    EXPECT_EQ(status.error().kind, ErrorKind::kUnsupported) << version;
    EXPECT_NE(status.error().message.find(std::to_string(version)), std::string::npos);
  }
}

TEST(JwwHeader, ReservedItemsAreWrittenAsZeros) {
  ByteBuilder out;
  auto at = AppendJwwHeader(out, 600);
  out.u16(0).u16(0);
  std::string bytes = out.bytes();
  for (std::size_t i = 0; i < 56; ++i) {
    bytes[at.reserved6 + i] = static_cast<char>(i + 1);
  }
  bytes.replace(at.reserved8, 4, std::string("\x07\x00\x00\x01", 4));
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(bytes, workspace)));
  std::string written = WriteJwwBytes(workspace);
  EXPECT_EQ(written.substr(at.reserved6, 56), std::string(56, '\0'));
  EXPECT_EQ(I32At(written, at.reserved8), 0);
  EXPECT_EQ(WriteJwwBytesAsRead(workspace), bytes);  // the reader kept them
}

TEST(JwwHeader, SettingsValueKeepsItsTensFrom600AndOnlyItsLastDigitBefore) {
  struct Case {
    int version;
    std::int32_t read;
    std::int32_t written;
  };
  for (Case c : {Case{600, 7, 17}, Case{600, 23, 23}, Case{600, 0, 10}, Case{700, 10, 10},
                 Case{351, 23, 3}, Case{351, 7, 7}, Case{599, 19, 9}}) {
    HeaderValues values;
    values.settings_b = c.read;
    ByteBuilder out;
    auto at = AppendJwwHeader(out, c.version, values);
    out.u16(0).u16(0);
    if (c.version >= 700) {
      out.i32(0);
    }
    JwwWorkspace workspace;
    ASSERT_TRUE(IsOk(ReadJwwBytes(out.bytes(), workspace)));
    EXPECT_EQ(I32At(WriteJwwBytes(workspace), at.settings_b), c.written)
        << c.version << " " << c.read;
  }
}

TEST(JwwHeader, LimitedValueStopsAtMinus101UpTo420) {
  for (auto [version, read, written] : {std::tuple{420, -250, -101}, std::tuple{421, -250, -250},
                                        std::tuple{300, -101, -101}, std::tuple{300, -100, -100}}) {
    HeaderValues values;
    values.limited9 = read;
    ByteBuilder out;
    auto at = AppendJwwHeader(out, version, values);
    out.u16(0).u16(0);
    JwwWorkspace workspace;
    ASSERT_TRUE(IsOk(ReadJwwBytes(out.bytes(), workspace)));
    EXPECT_EQ(I32At(WriteJwwBytes(workspace), at.limited9), written) << version;
  }
}

TEST(JwwHeader, NamesAreCleanedButTheMemoIsNot) {
  HeaderValues values;
  values.memo = "a\r\nb";
  values.layer_name = "\r";
  std::string bytes = EmptyJww(600, values);
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(bytes, workspace)));
  workspace.header.layers[1].name.bytes = "";
  std::string written = WriteJwwBytes(workspace);
  JwwWorkspace again;
  ASSERT_TRUE(IsOk(ReadJwwBytes(written, again)));
  EXPECT_EQ(again.header.memo.bytes, "a\r\nb");
  EXPECT_EQ(again.header.layers[0].name.bytes, " ");
  EXPECT_EQ(again.header.layers[1].name.bytes, "");
  EXPECT_EQ(again.header.layer_groups[15].name.bytes, " ");
}

TEST(JwwHeaderRemap, DimensionColoursChangeDigitByDigit) {
  HeaderValues values;
  values.dim_setting_colors = 1021;
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(EmptyJww(600, values), workspace)));
  JwwConvSettings table;
  table.SetEntry(1, 3);
  table.SetEntry(2, 9);
  ASSERT_TRUE(IsOk(JwwRemap(workspace, table)));
  EXPECT_EQ(workspace.header.DimSettingColors, 1021);  // the option is off
  table.SetEntry(JwwConvSettings::kChangeDimSettingColor, 1);
  ASSERT_TRUE(IsOk(JwwRemap(workspace, table)));
  EXPECT_EQ(workspace.header.DimSettingColors, 1193);
}

TEST(JwwHeaderRemap, DimensionColoursThatOverflowFailTheFile) {
  HeaderValues values;
  values.dim_setting_colors = 2000000001;
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(EmptyJww(600, values), workspace)));
  JwwConvSettings table;
  table.SetEntry(JwwConvSettings::kChangeDimSettingColor, 1);
  table.SetEntry(1, 2000000000);
  Status status = JwwRemap(workspace, table);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::kRange);
  EXPECT_NE(status.error().message.find("C1"), std::string::npos);
}

TEST(JwwHeaderRemap, TextKindColoursFollowTheirOption) {
  HeaderValues values;
  values.text_kind_color = 5;
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(ReadJwwBytes(EmptyJww(700, values), workspace)));
  JwwConvSettings table;
  table.SetEntry(5, 7);
  ASSERT_TRUE(IsOk(JwwRemap(workspace, table)));
  EXPECT_EQ(workspace.header.text_kinds[9].color, 5);
  table.SetEntry(JwwConvSettings::kChangeTextSettingColor, 1);
  ASSERT_TRUE(IsOk(JwwRemap(workspace, table)));
  for (const TextKind& kind : workspace.header.text_kinds) {
    EXPECT_EQ(kind.color, 7);
  }
}

TEST(JwwProbe, NeedsTheWholeMagic) {
  testing::ScratchFolder folder;
  testing::WriteBytes(folder / "a.jww", "JwwData.rest");
  testing::WriteBytes(folder / "b.jww", std::string("JwwData\0rest", 12));
  testing::WriteBytes(folder / "c.jww", "JwwData");
  testing::WriteBytes(folder / "d.jww", "jwwdata.");
  EXPECT_TRUE(JwwProbe(folder / "a.jww"));
  EXPECT_FALSE(JwwProbe(folder / "b.jww"));
  EXPECT_FALSE(JwwProbe(folder / "c.jww"));
  EXPECT_FALSE(JwwProbe(folder / "d.jww"));
  EXPECT_FALSE(JwwProbe(folder / "missing.jww"));
}

TEST(JwwReadHeaderInfo, ReadsTheMemoFromTheHeaderAlone) {
  HeaderValues values;
  values.memo = "平面図";
  // A header followed by garbage still gives its memo: the entities are not read.
  std::string bytes = EmptyJww(700, values).substr(0, 4300) + "garbage";
  auto in =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  JwwWorkspace workspace;
  ASSERT_TRUE(IsOk(JwwReadHeaderInfo(in, workspace)));
  EXPECT_EQ(workspace.header.memo.bytes, "平面図");
  // Cut inside the layer names, it fails.
  auto cut = ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), 2600});
  EXPECT_FALSE(JwwReadHeaderInfo(cut, workspace).ok());
}

}  // namespace
}  // namespace penmorph::jw
