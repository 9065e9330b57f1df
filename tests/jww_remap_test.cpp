// Which colours and line types a conversion remaps, under each of the seven options.

#include <gtest/gtest.h>

#include "test_support.h"

#include "formats/windows/entity_remap.h"
#include "formats/windows/stream_converter.h"
#include "jw_test_bytes.h"
#include "reference/entity_tables.h"
#include "reference/jws_file.h"
#include "reference/jww_file.h"

namespace penmorph::jw {
namespace {

using testing::IsOk;

using Option = JwwConvSettings::Option;

EntityBase Coded(int style, int color) {
  return {0, static_cast<std::uint8_t>(style), static_cast<std::uint16_t>(color), 0, 0, 0, 0};
}

// One record of every kind, every colour 1 and every line type 1 (a point's tail-free style).
EntityTables EveryKind() {
  EntityTables t;
  t.lines.push_back({Coded(1, 1), {}});
  t.arcs.push_back({Coded(1, 1), {}, 0});
  t.points.push_back({Coded(1, 1), {}, 0, 0, {}});
  TEntMoji text;
  text.base = Coded(1, 1);
  t.texts.push_back(text);
  TEntSunpo dim;
  dim.base = Coded(1, 1);
  dim.line.base = dim.line2.base = dim.line3.base = Coded(1, 1);
  dim.text.base = Coded(1, 1);
  for (TEntTen& point : dim.points) {
    point.base = Coded(1, 1);
  }
  t.dimensions.push_back(dim);
  t.solids.push_back({Coded(1, 1), {}, 0});
  t.blocks.push_back({Coded(1, 1), {}, 0});
  return t;
}

// What one remap did, as "field=value" for each field it changed.
std::vector<std::string> Changed(const EntityTables& t) {
  std::vector<std::string> changed;
  auto check = [&](const std::string& name, const EntityBase& base) {
    if (base.PenColor != 1) {
      changed.push_back(name + ".color=" + std::to_string(base.PenColor));
    }
    if (base.PenStyle != 1) {
      changed.push_back(name + ".style=" + std::to_string(base.PenStyle));
    }
  };
  check("line", t.lines[0].base);
  check("arc", t.arcs[0].base);
  check("point", t.points[0].base);
  check("text", t.texts[0].base);
  const TEntSunpo& dim = t.dimensions[0];
  check("dim", dim.base);
  check("dim.line", dim.line.base);
  check("dim.text", dim.text.base);
  check("dim.line2", dim.line2.base);
  check("dim.line3", dim.line3.base);
  for (int i = 0; i < 4; ++i) {
    check("dim.point" + std::to_string(i), dim.points[i].base);
  }
  check("solid", t.solids[0].base);
  check("block", t.blocks[0].base);
  return changed;
}

struct Result {
  std::vector<std::string> main;
  std::vector<std::string> member;
};

// Colour 1 -> 5 and line type 1 -> 3, with the given options on.
Result Remap(std::initializer_list<Option> options, int version = 700) {
  JwwConvSettings table;
  table.SetEntry(1, 5);
  table.SetEntry(266, 3);
  for (Option option : options) {
    table.SetEntry(option, 1);
  }
  EntityTables main = EveryKind();
  std::vector<WorkspaceBlockDef> defs(1);
  defs[0].members = EveryKind();
  defs[0].base = Coded(1, 1);
  EXPECT_TRUE(IsOk(RemapEntities(table, version, main, defs)));
  EXPECT_EQ(defs[0].base, Coded(1, 1));  // a definition's own attributes never change
  return {Changed(main), Changed(defs[0].members)};
}

const std::vector<std::string> kAlways = {"line.color=5", "line.style=3",  "arc.color=5",
                                          "arc.style=3",  "point.color=5", "text.color=5"};

std::vector<std::string> With(std::vector<std::string> base, const std::vector<std::string>& more) {
  base.insert(base.end(), more.begin(), more.end());
  return base;
}

TEST(JwwRemap, WithoutOptionsOnlyLinesArcsPointsAndTexts) {
  Result r = Remap({});
  EXPECT_EQ(r.main, kAlways);
  EXPECT_TRUE(r.member.empty());
}

TEST(JwwRemap, SolidsAndDimensionsFollowTheirOptions) {
  EXPECT_EQ(Remap({Option::kChangeSolidColor}).main, With(kAlways, {"solid.color=5"}));
  EXPECT_EQ(Remap({Option::kChangeDimColor}).main,
            With(kAlways, {"dim.line.color=5", "dim.text.color=5", "dim.line2.color=5",
                           "dim.line3.color=5", "dim.point0.color=5", "dim.point1.color=5",
                           "dim.point2.color=5", "dim.point3.color=5"}));
  EXPECT_EQ(Remap({Option::kChangeDimLineType}).main,
            With(kAlways, {"dim.line.style=3", "dim.line2.style=3", "dim.line3.style=3"}));
}

TEST(JwwRemap, Before420DimensionsHaveOnlyTheirLineAndText) {
  Result r = Remap({Option::kChangeDimColor, Option::kChangeDimLineType}, 419);
  EXPECT_EQ(r.main, With(kAlways, {"dim.line.color=5", "dim.line.style=3", "dim.text.color=5"}));
}

TEST(JwwRemap, BlockDefinitionsNeedTheirOwnOptions) {
  EXPECT_EQ(
      Remap({Option::kChangeBlockColor}).member,
      (std::vector<std::string>{"line.color=5", "arc.color=5", "point.color=5", "text.color=5"}));
  EXPECT_EQ(Remap({Option::kChangeBlockLineType}).member,
            (std::vector<std::string>{"line.style=3", "arc.style=3"}));
  // Dimensions and solids inside definitions need both their option and the block one.
  EXPECT_TRUE(Remap({Option::kChangeDimColor, Option::kChangeSolidColor}).member.empty());
  EXPECT_EQ(
      Remap({Option::kChangeBlockColor, Option::kChangeDimColor, Option::kChangeSolidColor}).member,
      (std::vector<std::string>{"line.color=5", "arc.color=5", "point.color=5", "text.color=5",
                                "dim.line.color=5", "dim.text.color=5", "dim.line2.color=5",
                                "dim.line3.color=5", "dim.point0.color=5", "dim.point1.color=5",
                                "dim.point2.color=5", "dim.point3.color=5", "solid.color=5"}));
  EXPECT_EQ(Remap({Option::kChangeBlockLineType, Option::kChangeDimLineType}).member,
            (std::vector<std::string>{"line.style=3", "arc.style=3", "dim.line.style=3",
                                      "dim.line2.style=3", "dim.line3.style=3"}));
}

TEST(JwwRemap, CodesOutsideTheRangesBecomeOneEvenWithAnEmptyTable) {
  JwwConvSettings table;
  EntityTables main;
  main.lines.push_back({Coded(10, 0), {}});
  main.arcs.push_back({Coded(46, 357), {}, 0});
  main.texts.push_back(TEntMoji{Coded(5, 100), {}, 0, {}, {}, {}});
  std::vector<WorkspaceBlockDef> defs;
  ASSERT_TRUE(IsOk(RemapEntities(table, 700, main, defs)));
  EXPECT_EQ(main.lines[0].base, Coded(1, 1));
  EXPECT_EQ(main.arcs[0].base, Coded(1, 1));
  EXPECT_EQ(main.texts[0].base, Coded(5, 1));  // a text's style is not remapped
}

TEST(JwwRemap, AnEntryTooLargeForItsFieldFailsNamingIt) {
  JwwConvSettings colors;
  colors.SetEntry(10, 70000);  // SXF colour 1
  EntityTables main;
  main.lines.push_back({Coded(1, 101), {}});
  std::vector<WorkspaceBlockDef> defs;
  Status status = RemapEntities(colors, 700, main, defs);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::kRange);
  EXPECT_NE(status.error().message.find("C10 = 70000"), std::string::npos);

  JwwConvSettings types;
  types.SetEntry(284, 256);  // SXF line type 1
  main.lines[0].base = Coded(31, 1);
  status = RemapEntities(types, 700, main, defs);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.error().message.find("C284 = 256"), std::string::npos);
  types.SetEntry(284, 255);
  EXPECT_TRUE(IsOk(RemapEntities(types, 700, main, defs)));
}

// A solid of its own RGB colour and one of pen 3, in the main list and in a block definition.
void AddSolids(EntityTables& main, std::vector<WorkspaceBlockDef>& defs) {
  for (EntityTables* tables : {&main, &defs.emplace_back().members}) {
    tables->solids.push_back({Coded(1, kOwnColor), {}, 0x123456});
    tables->order.push_back({EntityKind::kSolid, 0});
    tables->solids.push_back({Coded(1, 3), {}, 0});
    tables->order.push_back({EntityKind::kSolid, 1});
  }
}

void ExpectRgbSolidKept(const EntityTables& tables) {
  ASSERT_EQ(tables.solids.size(), 2u);
  EXPECT_EQ(tables.solids[0].base.PenColor, kOwnColor);
  EXPECT_EQ(tables.solids[0].color, 0x123456);
  EXPECT_EQ(tables.solids[1].base.PenColor, 5);  // a pen's solid beside it is remapped
}

// Every option on and every pen mapped: the converter keeps a solid's own colour, code 10 and
// the RGB value after it, in both Windows formats, in the main list and in block definitions.
TEST(JwwRemap, AnRgbSolidKeepsItsColourUnderEveryOption) {
  JwwConvSettings table;
  for (int pen = 1; pen <= 9; ++pen) {
    table.SetEntry(pen, 5);
  }
  for (int option = Option::kChangeTextSettingColor; option <= Option::kChangeBlockLineType;
       ++option) {
    table.SetEntry(option, 1);
  }
  auto convert = [&](const std::string& bytes, bool jws) {
    auto in =
        ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    VectorSink sink;
    ConversionStatus status = jws ? ConvertJwsStream(in, table, sink, LayerTable{})
                                  : ConvertJwwStream(in, table, sink, LayerTable{});
    EXPECT_TRUE(status.ok());
    return std::string(sink.bytes().begin(), sink.bytes().end());
  };

  JwwWorkspace drawing;
  ASSERT_TRUE(IsOk(testing::ReadJwwBytes(testing::EmptyJww(700), drawing)));
  AddSolids(drawing.entities, drawing.block_defs);
  JwwWorkspace converted;
  ASSERT_TRUE(
      IsOk(testing::ReadJwwBytes(convert(testing::WriteJwwBytes(drawing), false), converted)));
  ExpectRgbSolidKept(converted.entities);
  ASSERT_EQ(converted.block_defs.size(), 1u);
  ExpectRgbSolidKept(converted.block_defs[0].members);

  const std::string one_line = testing::JwsWithOneLine(700);
  JwsWorkspace symbol;
  auto in = ByteReader::FromMemory(
      {reinterpret_cast<const std::uint8_t*>(one_line.data()), one_line.size()});
  ASSERT_TRUE(IsOk(JwsRead(in, symbol)));
  AddSolids(symbol.entities, symbol.block_defs);
  VectorSink written;
  ByteWriter out(written);
  ASSERT_TRUE(IsOk(JwsWrite(out, symbol)));
  ASSERT_TRUE(IsOk(out.Finish()));
  const std::string jws = convert({written.bytes().begin(), written.bytes().end()}, true);
  JwsWorkspace symbol_back;
  auto back =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(jws.data()), jws.size()});
  ASSERT_TRUE(IsOk(JwsRead(back, symbol_back)));
  ExpectRgbSolidKept(symbol_back.entities);
  ASSERT_EQ(symbol_back.block_defs.size(), 1u);
  ExpectRgbSolidKept(symbol_back.block_defs[0].members);
}

}  // namespace
}  // namespace penmorph::jw
