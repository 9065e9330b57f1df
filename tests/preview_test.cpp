// The preview's geometry: a built drawing of every kind gives the expected primitives, pens
// follow the tables with the conversion's own rules, the SVG says the same, and every sample
// written by jw_cad draws inside its extents without a NaN.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <sstream>

#include "convert/file_preview.h"
#include "dos_test_files.h"
#include "formats/dos/dos_preview.h"
#include "formats/standard_formats.h"
#include "formats/windows/drawing_builder.h"
#include "jw_test_bytes.h"
#include "preview/display_list.h"
#include "preview/svg_writer.h"
#include "preview_test_files.h"
#include "test_support.h"

namespace penmorph::preview {
namespace {

namespace fs = std::filesystem;
using testing::IsOk;

constexpr double kPi = std::numbers::pi;

ByteReader Reader(const std::string& bytes) {
  return ByteReader::FromMemory(
      {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

Drawing EveryKind() {
  const std::string bytes = testing::JwwOfEveryKind();
  auto in = Reader(bytes);
  auto drawing = jw::DrawJwwRecords(in);
  EXPECT_TRUE(IsOk(drawing));
  return drawing.ok() ? std::move(drawing).value() : Drawing{};
}

void ExpectNear(Point2 actual, Point2 expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

const StyleKey& KeyOf(const Drawing& drawing, std::uint32_t style) {
  return drawing.styles.at(style);
}

TEST(PreviewDrawing, EachKindBecomesItsPrimitives) {
  const Drawing d = EveryKind();
  // The main line, three dimension lines, the line placed from definition 7.
  ASSERT_EQ(d.segments.size(), 5u);
  ExpectNear(d.segments[0].from, {0, 0});
  ExpectNear(d.segments[0].to, {10, 0});
  EXPECT_EQ(KeyOf(d, d.segments[0].style).color, 2);
  EXPECT_EQ(KeyOf(d, d.segments[0].style).line_type, 2);

  // The arc: centre, radius 5 along x and 2.5 (flatness 0.5) along y, from 90 degrees over 180.
  ASSERT_EQ(d.arcs.size(), 2u);
  const Arc& arc = d.arcs[0];
  ExpectNear(arc.centre, {20, 0});
  ExpectNear(arc.u, {5, 0});
  ExpectNear(arc.v, {0, 2.5});
  EXPECT_NEAR(arc.start, kPi / 2, 1e-12);
  EXPECT_NEAR(arc.sweep, kPi, 1e-12);
  EXPECT_FALSE(arc.full);
  ExpectNear(arc.At(arc.start), {20, 2.5});
  ExpectNear(arc.At(arc.start + arc.sweep), {20, -2.5});

  ASSERT_EQ(d.dots.size(), 3u);  // the point and the dimension's two used points
  ExpectNear(d.dots[0].at, {1, 2});
  EXPECT_EQ(KeyOf(d, d.dots[0].style).role, PenRole::kPoint);

  // The text sits on its baseline, 3 high; the dimension's text with it.
  ASSERT_EQ(d.texts.size(), 2u);
  EXPECT_EQ(d.texts[0].utf8, "AB");
  ExpectNear(d.texts[0].origin, {0, 10});
  ExpectNear(d.texts[0].advance, {8, 0});
  EXPECT_NEAR(d.texts[0].height(), 3, 1e-12);
  EXPECT_NEAR(d.texts[0].angle(), 0, 1e-12);
  EXPECT_EQ(d.texts[1].utf8, "10");
  EXPECT_EQ(KeyOf(d, d.texts[1].style).role, PenRole::kDimensionText);
  EXPECT_EQ(KeyOf(d, d.texts[1].style).color, 7);

  // The solid, filled in its own colour.
  ASSERT_EQ(d.polygons.size(), 1u);
  ASSERT_EQ(d.polygons[0].count, 4u);
  ExpectNear(d.vertices[d.polygons[0].first + 2], {40, 10});
  EXPECT_EQ(KeyOf(d, d.polygons[0].style).rgb, 0x0000FF);
}

TEST(PreviewDrawing, DimensionMembersAreDrawnWithTheirOwnPens) {
  const Drawing d = EveryKind();
  int dimension_lines = 0;
  for (const Segment& s : d.segments) {
    if (KeyOf(d, s.style).role == PenRole::kDimensionLine) {
      ++dimension_lines;
      EXPECT_EQ(KeyOf(d, s.style).color, 6);
      EXPECT_EQ(KeyOf(d, s.style).line_type, 3);
    }
  }
  EXPECT_EQ(dimension_lines, 3);
  ExpectNear(d.dots[1].at, {0, -5});
  ExpectNear(d.dots[2].at, {10, -5});
}

TEST(PreviewDrawing, BlockMembersArePlacedScaledAndTurnedNestedToo) {
  const Drawing d = EveryKind();
  // Definition 7's line (0,0)-(1,0), inserted at (100,0) twice as large and turned 90 degrees.
  const Segment& placed = d.segments.back();
  ExpectNear(placed.from, {100, 0});
  ExpectNear(placed.to, {100, 2});
  EXPECT_TRUE(KeyOf(d, placed.style).in_block);
  // Definition 8's unit circle, inserted in 7 at (0,5): at (90,0) with radius 2.
  const Arc& circle = d.arcs.back();
  EXPECT_TRUE(circle.full);
  ExpectNear(circle.centre, {90, 0});
  ExpectNear(circle.u, {0, 2});
  ExpectNear(circle.v, {-2, 0});
  EXPECT_EQ(KeyOf(d, circle.style).color, 3);
  EXPECT_TRUE(KeyOf(d, circle.style).in_block);
}

TEST(PreviewDrawing, ExtentsHoldEverythingAndNoMore) {
  const Drawing d = EveryKind();
  ASSERT_FALSE(d.extents.empty);
  EXPECT_NEAR(d.extents.min_x, 0, 1e-9);
  EXPECT_NEAR(d.extents.max_x, 100, 1e-9);  // the placed line's end
  EXPECT_NEAR(d.extents.min_y, -5, 1e-9);
  EXPECT_NEAR(d.extents.max_y, 13, 1e-9);  // the text's top
  const Extents measured = d.Measure();
  EXPECT_EQ(measured.min_x, d.extents.min_x);
  EXPECT_EQ(measured.max_y, d.extents.max_y);
}

TEST(PreviewDrawing, ArcExtentsFollowTheSweepAndTheTilt) {
  Arc arc;
  arc.u = {2, 0};
  arc.v = {0, 1};
  arc.start = 0;
  arc.sweep = kPi / 2;  // the first quarter only
  Extents e = ArcExtents(arc);
  EXPECT_NEAR(e.min_x, 0, 1e-12);
  EXPECT_NEAR(e.max_x, 2, 1e-12);
  EXPECT_NEAR(e.min_y, 0, 1e-12);
  EXPECT_NEAR(e.max_y, 1, 1e-12);
  arc.sweep = -kPi / 2;  // clockwise: the fourth quarter
  e = ArcExtents(arc);
  EXPECT_NEAR(e.min_y, -1, 1e-12);
  EXPECT_NEAR(e.max_y, 0, 1e-12);
  // Tilted 45 degrees, a whole ellipse reaches sqrt((4 + 1) / 2) either way.
  arc.full = true;
  arc.u = {std::sqrt(2.0), std::sqrt(2.0)};
  arc.v = {-std::sqrt(0.5), std::sqrt(0.5)};
  e = ArcExtents(arc);
  EXPECT_NEAR(e.max_x, std::sqrt(2.5), 1e-12);
  EXPECT_NEAR(e.min_y, -std::sqrt(2.5), 1e-12);
}

TEST(PreviewPens, FollowTheTablesByTheConversionRules) {
  auto drawing = std::make_shared<const Drawing>(EveryKind());
  ConversionTables tables;
  tables.jww.SetEntry(2, 8);  // colour 2 -> 8 (red)
  tables.jww.SetEntry(3, 6);  // colour 3 -> 6 (blue)
  const DisplayList before = MakeDisplayList(drawing, tables, Side::kBefore, Background::kWhite);
  const DisplayList after = MakeDisplayList(drawing, tables, Side::kAfter, Background::kWhite);
  const Drawing& d = *drawing;
  EXPECT_EQ(before.PenOf(d.segments[0].style).rgb, StandardPenColor(2, Background::kWhite));
  EXPECT_EQ(after.PenOf(d.segments[0].style).rgb, StandardPenColor(8, Background::kWhite));
  EXPECT_EQ(after.PenOf(d.arcs[0].style).rgb, StandardPenColor(6, Background::kWhite));
  // Block members keep their colours unless the block option is on.
  EXPECT_EQ(after.PenOf(d.segments.back().style).rgb, StandardPenColor(2, Background::kWhite));
  tables.jww.SetEntry(JwwConvSettings::kChangeBlockColor, 1);
  const DisplayList blocks = MakeDisplayList(drawing, tables, Side::kAfter, Background::kWhite);
  EXPECT_EQ(blocks.PenOf(d.segments.back().style).rgb, StandardPenColor(8, Background::kWhite));
  EXPECT_EQ(blocks.PenOf(d.arcs.back().style).rgb, StandardPenColor(6, Background::kWhite));
  // A solid's own colour stays, the solid option on or not, as the conversion keeps it.
  EXPECT_EQ(blocks.PenOf(d.polygons[0].style).rgb, 0xFF0000u);
  tables.jww.SetEntry(JwwConvSettings::kChangeSolidColor, 1);
  const DisplayList solids = MakeDisplayList(drawing, tables, Side::kAfter, Background::kWhite);
  EXPECT_EQ(solids.PenOf(d.polygons[0].style).rgb, 0xFF0000u);
}

TEST(PreviewPens, LineTypesDashAndBackgroundsChangeColours) {
  auto drawing = std::make_shared<const Drawing>(EveryKind());
  ConversionTables tables;
  tables.jww.SetEntry(JwwConvSettings::LineTypeEntry(2), 1);  // dotted -> continuous
  const DisplayList before = MakeDisplayList(drawing, tables, Side::kBefore, Background::kBlack);
  const DisplayList after = MakeDisplayList(drawing, tables, Side::kAfter, Background::kBlack);
  EXPECT_FALSE(before.PenOf(drawing->segments[0].style).dash.empty());
  EXPECT_TRUE(after.PenOf(drawing->segments[0].style).dash.empty());
  EXPECT_EQ(before.PenOf(drawing->segments[0].style).rgb, 0xFFFFFFu);  // pen 2 on black
  EXPECT_EQ(before.background_rgb(), 0u);
}

std::string Svg(const DisplayList& list) {
  std::ostringstream svg;
  WriteSvg(svg, list);
  return svg.str();
}

// How each line of JwwWithHiddenLayers is painted, by where it starts: 'S' in its own pen,
// 'F' fainter, '-' not at all.
std::map<std::pair<double, double>, char> LinesSeen(const DisplayList& list) {
  std::map<std::pair<double, double>, char> seen;
  for (const Segment& s : list.drawing->segments) {
    const Pen& pen = list.PenOf(s.style);
    seen[{s.from.x, s.from.y}] = pen.hidden ? '-' : pen.faint ? 'F' : 'S';
  }
  return seen;
}

std::shared_ptr<const Drawing> WithHiddenLayers() {
  const std::string bytes = testing::JwwWithHiddenLayers();
  auto in = Reader(bytes);
  auto drawing = jw::DrawJwwRecords(in);
  EXPECT_TRUE(IsOk(drawing));
  return std::make_shared<const Drawing>(drawing.ok() ? std::move(drawing).value() : Drawing{});
}

using Seen = std::map<std::pair<double, double>, char>;

TEST(PreviewLayers, HiddenLayersAndGroupsAreLeftOutAndBlocksGoByTheirInsertion) {
  const auto drawing = WithHiddenLayers();
  ASSERT_TRUE(drawing->layers.known);
  EXPECT_TRUE(drawing->layers.Hidden(LayerAddress{0, 1}.Index()));
  EXPECT_TRUE(drawing->layers.Hidden(LayerAddress{1, 0}.Index()));
  const ConversionTables tables;
  // Layer 0-1 and group 1 hidden; definition 7's line (on hidden 0-1) and definition 8 nested in
  // it are seen by their insertion on 0-0, definition 8 inserted on 0-1 is not.
  EXPECT_EQ(LinesSeen(MakeDisplayList(drawing, tables, Side::kBefore, Background::kWhite)),
            (Seen{{{0, 0}, 'S'},
                  {{0, 1}, '-'},
                  {{0, 2}, '-'},
                  {{100, 0}, 'S'},
                  {{100, 5}, 'S'},
                  {{200, 0}, '-'}}));
  const DisplayList all =
      MakeDisplayList(drawing, tables, Side::kBefore, Background::kWhite, HiddenLayers::kFaint);
  EXPECT_EQ(LinesSeen(all), (Seen{{{0, 0}, 'S'},
                                  {{0, 1}, 'F'},
                                  {{0, 2}, 'F'},
                                  {{100, 0}, 'S'},
                                  {{100, 5}, 'S'},
                                  {{200, 0}, 'F'}}));
  // Fainter: neither the pen's own colour nor the background.
  const std::uint32_t faint = all.PenOf(drawing->segments[1].style).rgb;
  EXPECT_NE(faint, all.PenOf(drawing->segments[0].style).rgb);
  EXPECT_NE(faint, all.background_rgb());
  // The SVG leaves out what the display list leaves out.
  const std::string svg = Svg(MakeDisplayList(drawing, tables, Side::kBefore, Background::kWhite));
  EXPECT_NE(svg.find("<line x1=\"0\" y1=\"0\""), std::string::npos) << svg;
  EXPECT_EQ(svg.find("<line x1=\"0\" y1=\"-1\""), std::string::npos) << svg;
  EXPECT_EQ(svg.find("<line x1=\"200\""), std::string::npos) << svg;
}

TEST(PreviewLayers, TheAfterSideGoesByTheLayersTheEntitiesLandOn) {
  const auto drawing = WithHiddenLayers();
  ConversionTables tables;
  tables.layers.SetTarget(LayerAddress{0, 0}.Index(), LayerAddress{0, 1});  // shown -> hidden
  tables.layers.SetTarget(LayerAddress{0, 1}.Index(), LayerAddress{0, 2});  // hidden -> shown
  EXPECT_EQ(LinesSeen(MakeDisplayList(drawing, tables, Side::kAfter, Background::kWhite)),
            (Seen{{{0, 0}, '-'},
                  {{0, 1}, 'S'},
                  {{0, 2}, '-'},
                  {{100, 0}, '-'},
                  {{100, 5}, '-'},
                  {{200, 0}, 'S'}}));
  // The side before the tables stays as the file shows it.
  EXPECT_EQ(
      LinesSeen(MakeDisplayList(drawing, tables, Side::kBefore, Background::kWhite)).at({0, 0}),
      'S');
}

TEST(PreviewLayers, FilesWithoutLayerStatesShowEverything) {
  const std::string symbol = testing::JwsWithOneLine(600);
  auto in = Reader(symbol);
  auto drawing = jw::DrawJwsRecords(in);
  ASSERT_TRUE(IsOk(drawing));
  EXPECT_FALSE(drawing.value().layers.known);
  const auto shared = std::make_shared<const Drawing>(std::move(drawing).value());
  const DisplayList list =
      MakeDisplayList(shared, ConversionTables{}, Side::kBefore, Background::kWhite);
  ASSERT_FALSE(shared->segments.empty());
  EXPECT_FALSE(list.PenOf(shared->segments[0].style).hidden);
}

TEST(PreviewSvg, SaysWhatTheDisplayListSays) {
  auto drawing = std::make_shared<const Drawing>(EveryKind());
  ConversionTables tables;
  tables.jww.SetEntry(2, 8);
  const std::string before =
      Svg(MakeDisplayList(drawing, tables, Side::kBefore, Background::kWhite));
  // The line, y turned upside down, in pen 2; after the tables in red.
  EXPECT_NE(before.find("<line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\" stroke=\"#000000\""),
            std::string::npos)
      << before;
  const std::string after = Svg(MakeDisplayList(drawing, tables, Side::kAfter, Background::kWhite));
  EXPECT_NE(after.find("<line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\" stroke=\"#ff0000\""),
            std::string::npos);
  // The half ellipse from (20,2.5) to (20,-2.5) counter-clockwise, radii 5 and 2.5: on the
  // page from the top round the left (x = 15) to the bottom, SVG's negative direction.
  EXPECT_NE(before.find("<path d=\"M20 -2.5A5 2.5 0 0 0 20 2.5\""), std::string::npos) << before;
  // The placed circle, a whole one of radius 2 at (90,0).
  EXPECT_NE(before.find("<ellipse cx=\"90\" cy=\"0\" rx=\"2\" ry=\"2\""), std::string::npos);
  EXPECT_NE(before.find("<polygon points=\"30,0 40,0 40,-10 30,-10\" fill=\"#ff0000\"/>"),
            std::string::npos);
  EXPECT_NE(before.find(">AB</text>"), std::string::npos);
  EXPECT_NE(before.find("viewBox=\"-2 -15 104 22\""), std::string::npos) << before;
}

TEST(PreviewSvg, EscapesTextsAndSkipsBrokenNumbers) {
  auto drawing = std::make_shared<Drawing>();
  drawing->styles.push_back({});
  drawing->texts.push_back({{0, 0}, {4, 0}, {0, 1}, "a<b&\"c\"\x01", 0});
  drawing->segments.push_back({{0, 0}, {std::nan(""), 1}, 0});
  drawing->extents = drawing->Measure();
  const std::string svg =
      Svg(MakeDisplayList(drawing, ConversionTables{}, Side::kBefore, Background::kWhite));
  EXPECT_NE(svg.find(">a&lt;b&amp;&quot;c&quot;</text>"), std::string::npos) << svg;
  EXPECT_EQ(svg.find("nan"), std::string::npos);
  EXPECT_EQ(svg.find("<line"), std::string::npos);
}

// Finite numbers near the largest double overflow in the writer's own arithmetic: the frame of
// a drawing wider than a double, an arc's radii and ends, a dash in pixels.
TEST(PreviewSvg, NumbersThatOverflowAreNeverWritten) {
  constexpr double kHuge = 1e308;
  auto svg_of = [](const std::shared_ptr<Drawing>& drawing) {
    drawing->extents = drawing->Measure();
    const std::string svg =
        Svg(MakeDisplayList(drawing, ConversionTables{}, Side::kBefore, Background::kWhite));
    EXPECT_EQ(svg.find("inf"), std::string::npos) << svg;
    EXPECT_EQ(svg.find("nan"), std::string::npos) << svg;
    return svg;
  };

  auto wide = std::make_shared<Drawing>();
  wide->styles.push_back({});
  wide->segments.push_back({{-kHuge, 0}, {kHuge, 0}, 0});
  EXPECT_NE(svg_of(wide).find("<line x1=\"-1e+308\" y1=\"0\" x2=\"1e+308\""), std::string::npos);

  auto arcs = std::make_shared<Drawing>();
  arcs->styles.push_back({});
  arcs->arcs.push_back({{0, 0}, {kHuge, 0}, {0, kHuge}, 0, 0, true, 0});         // radii overflow
  arcs->arcs.push_back({{kHuge, 0}, {kHuge, 0}, {0, 1}, 0, kPi / 2, false, 0});  // ends overflow
  arcs->arcs.push_back({{0, 0}, {1, 0}, {0, 1}, 0, 0, true, 0});
  const std::string arcs_svg = svg_of(arcs);
  EXPECT_NE(arcs_svg.find("<ellipse cx=\"0\" cy=\"0\" rx=\"1\" ry=\"1\""), std::string::npos);
  EXPECT_EQ(arcs_svg.find("<ellipse", arcs_svg.find("<ellipse") + 1), std::string::npos);
  EXPECT_EQ(arcs_svg.find("<path"), std::string::npos);

  // SXF line types 31 and 32: a dash too long for any screen, and one that overflows only in
  // drawing units, where a pixel of a 100000-wide drawing is about 87 of them.
  auto dashes = std::make_shared<Drawing>();
  dashes->sxf.line_patterns = {{}, {kHuge}, {1e306}};
  dashes->styles.push_back({CodeFamily::kWindows, PenRole::kLine, false, 2, 31});
  dashes->styles.push_back({CodeFamily::kWindows, PenRole::kLine, false, 2, 32});
  dashes->segments.push_back({{0, 0}, {100000, 0}, 0});
  dashes->segments.push_back({{0, 1}, {100000, 1}, 1});
  const std::vector<Pen> pens = ResolvePens(*dashes, nullptr, Background::kWhite);
  EXPECT_TRUE(pens[0].dash.empty());
  ASSERT_EQ(pens[1].dash.size(), 1u);
  EXPECT_DOUBLE_EQ(pens[1].dash[0], 3e306);
  const std::string dashes_svg = svg_of(dashes);
  EXPECT_EQ(dashes_svg.find("stroke-dasharray"), std::string::npos);
  EXPECT_NE(dashes_svg.find("<line x1=\"0\" y1=\"-1\" x2=\"100000\""), std::string::npos);
}

TEST(PreviewDrawing, BlocksThatInsertEachOtherEnd) {
  // Definition 1 inserts itself through definition 2, twice each time: without a bound the
  // placements would double at every level.
  testing::ByteBuilder out;
  testing::AppendJwwHeader(out, 700);
  jw::EntityBase base;
  base.PenColor = 2;
  base.PenStyle = 1;
  out.u16(1).new_class("CDataBlock", 700).base(700, base);
  out.f64(0).f64(0).f64(1).f64(1).f64(0).i32(1);  // classes 1, object 2
  out.u16(2);
  out.new_class("CDataList", 700).base(700, base).i32(1).i32(1).i32(0).str("a").u16(3);  // 3, 4
  out.u16(0x8001).base(700, base).f64(0).f64(0).f64(1).f64(1).f64(0).i32(2);
  out.u16(0x8001).base(700, base).f64(1).f64(0).f64(1).f64(1).f64(0).i32(2);
  out.new_class("CDataSen", 700).base(700, base).f64(0).f64(0).f64(1).f64(1);
  out.u16(0x8003).base(700, base).i32(2).i32(1).i32(0).str("b").u16(2);
  out.u16(0x8001).base(700, base).f64(0).f64(0).f64(1).f64(1).f64(0).i32(1);
  out.u16(0x8001).base(700, base).f64(0).f64(1).f64(1).f64(1).f64(0).i32(1);
  out.i32(0);
  auto in = Reader(out.bytes());
  auto drawing = jw::DrawJwwRecords(in);
  ASSERT_TRUE(IsOk(drawing));
  EXPECT_GT(drawing->segments.size(), 0u);
  EXPECT_LE(drawing->segments.size(), jw::kMinPlacementBudget);
}

TEST(PreviewDrawing, DosRecordsKeepTheirPlaces) {
  // A line, a quarter arc from 90 to 180 degrees, a point and a text of two double-byte
  // characters 600 long.
  testing::JwkFile file;
  file.lines = {testing::F32(0) + testing::F32(0) + testing::F32(100) + testing::F32(50) +
                "\x02\x03" + testing::Pattern(4, 1)};
  file.arcs = {testing::F32(10) + testing::F32(20) + testing::F32(30) + testing::Le16(10000) +
               testing::Le32(90 << 16) + testing::Le32(180 << 16) + testing::Le32(0) + "\x01\x02" +
               testing::Pattern(4, 2)};
  file.points = {testing::F32(5) + testing::F32(6) + "\x01\x04" + testing::Pattern(2, 3)};
  file.texts = {"\x82\xa0\x82\xa2"};
  file.text_records = {testing::F32(0) + testing::F32(-100) + testing::F32(600) +
                       testing::F32(-100) + testing::Le16(0) + testing::Le16(0) +
                       testing::Pattern(4, 4)};
  const std::string bytes = file.Bytes();
  auto in = Reader(bytes);
  auto drawing = jw::DrawJwk(in);
  ASSERT_TRUE(IsOk(drawing));
  const Drawing& d = drawing.value();
  ASSERT_EQ(d.segments.size(), 1u);
  ExpectNear(d.segments[0].to, {100, 50});
  EXPECT_EQ(KeyOf(d, d.segments[0].style).color, 3);
  EXPECT_EQ(KeyOf(d, d.segments[0].style).line_type, 2);
  ASSERT_EQ(d.arcs.size(), 1u);
  ExpectNear(d.arcs[0].At(d.arcs[0].start), {10, 50});
  ExpectNear(d.arcs[0].At(d.arcs[0].start + d.arcs[0].sweep), {-20, 20});
  ASSERT_EQ(d.dots.size(), 1u);
  EXPECT_EQ(KeyOf(d, d.dots[0].style).color, 4);
  ASSERT_EQ(d.texts.size(), 1u);
  EXPECT_EQ(d.texts[0].utf8, "\xE3\x81\x82\xE3\x81\x84");  // あい
  EXPECT_NEAR(d.texts[0].height(), 300, 1e-9);
}

TEST(PreviewSamples, EveryPrimitiveLiesInsideTheExtentsWithoutNaN) {
  std::vector<fs::path> samples;
  for (const char* extension : {".jww", ".jws", ".jwk", ".jwc"}) {
    for (const fs::path& file : testing::SampleFiles(extension)) {
      samples.push_back(file);
    }
  }
  if (samples.empty()) {
    GTEST_SKIP() << "no samples folder at " << PENMORPH_SAMPLES_DIR;
  }
  const FormatRegistry formats = MakeStandardFormats();
  for (const fs::path& file : samples) {
    SCOPED_TRACE(file.filename().string());
    auto drawing = DrawFile(formats, file);
    ASSERT_TRUE(IsOk(drawing));
    const Drawing& d = *drawing.value();
    const double slack = 1e-6 * std::max(1.0, std::max(d.extents.width(), d.extents.height()));
    auto inside = [&](Point2 p) {
      EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
      EXPECT_TRUE(d.extents.Contains(p, slack)) << p.x << ", " << p.y;
    };
    for (const Segment& s : d.segments) {
      inside(s.from);
      inside(s.to);
    }
    for (const Arc& a : d.arcs) {
      std::vector<Point2> points;
      FlattenArc(a, d.extents.width() / 1000, points);
      for (Point2 p : points) {
        inside(p);
      }
    }
    for (const Point2& p : d.vertices) {
      inside(p);
    }
    for (const Text& t : d.texts) {
      const Extents box = TextExtents(t);
      inside({box.min_x, box.min_y});
      inside({box.max_x, box.max_y});
      EXPECT_FALSE(t.utf8.empty());
    }
    for (const Dot& dot : d.dots) {
      inside(dot.at);
    }
    const std::string svg =
        Svg(MakeDisplayList(drawing.value(), ConversionTables{}, Side::kAfter, Background::kBlack));
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
  }
}

// The legend of jw_cad's own sample: members of block definitions on hidden layers, inserted on
// a shown one. jw_cad shows them; so must the preview.
TEST(PreviewSamples, BlocksOnShownLayersAreDrawnWholeInJwCadsSample) {
  const fs::path file = fs::path(PENMORPH_SAMPLES_DIR) / "jw_cad__sample.jww";
  if (!fs::exists(file)) {
    GTEST_SKIP() << "no " << file.string();
  }
  const FormatRegistry formats = MakeStandardFormats();
  auto drawing = DrawFile(formats, file);
  ASSERT_TRUE(IsOk(drawing));
  const Drawing& d = *drawing.value();
  ASSERT_TRUE(d.layers.known);
  const DisplayList list =
      MakeDisplayList(drawing.value(), ConversionTables{}, Side::kBefore, Background::kWhite);
  std::size_t members = 0;
  std::size_t hidden = 0;
  auto count = [&](std::uint32_t style) {
    members += KeyOf(d, style).in_block ? 1 : 0;
    hidden += list.PenOf(style).hidden ? 1 : 0;
  };
  for (const Segment& s : d.segments) {
    count(s.style);
  }
  for (const Arc& a : d.arcs) {
    count(a.style);
  }
  for (const Text& t : d.texts) {
    count(t.style);
  }
  for (const Polygon& p : d.polygons) {
    count(p.style);
  }
  EXPECT_GT(members, 0u);
  EXPECT_EQ(hidden, 0u);  // nothing of the main list lies on a hidden layer either
}

}  // namespace
}  // namespace penmorph::preview
