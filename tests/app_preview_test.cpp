// The preview's window layer: where the drawing sits on the screen, what is painted there, and
// the panel that reads the selected file on its own thread.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "app/preview_panel.h"
#include "app/preview_view.h"
#include "formats/standard_formats.h"
#include "layer_test_files.h"
#include "preview_test_files.h"
#include "test_support.h"

namespace penmorph::app {
namespace {

using preview::Extents;
using preview::Point2;

void ExpectScreen(ScreenPoint actual, double x, double y) {
  EXPECT_NEAR(actual.x, x, 1e-9);
  EXPECT_NEAR(actual.y, y, 1e-9);
}

TEST(PreviewViewport, FitZoomAndPan) {
  PreviewViewport view;
  view.Resize(200, 100);
  Extents e;
  e.Add({0, 0});
  e.Add({100, 10});
  view.FitTo(e);
  EXPECT_NEAR(view.scale(), 1.9, 1e-12);  // the width decides, with a margin
  ExpectScreen(view.ToScreen({50, 5}), 100, 50);
  ExpectScreen(view.ToScreen({0, 10}), 5, 50 - 9.5);  // y grows upwards on the drawing
  // Still fitted, it fits again when the window is minimised and restored or resized.
  view.Resize(0, 0);
  view.Resize(400, 100);
  EXPECT_NEAR(view.scale(), 3.8, 1e-12);
  view.Resize(200, 100);

  // The point under the cursor stays under it.
  const Point2 under = view.ToDrawing({30, 70});
  view.ZoomAt(2, {30, 70});
  EXPECT_NEAR(view.scale(), 3.8, 1e-12);
  ExpectScreen(view.ToScreen(under), 30, 70);

  view.PanBy(10, -5);
  ExpectScreen(view.ToScreen(under), 40, 65);
  view.ZoomAt(0, {0, 0});  // refused
  view.ZoomAt(std::nan(""), {0, 0});
  EXPECT_NEAR(view.scale(), 3.8, 1e-12);
  // Zoomed by the user: a resize keeps the zoom and the drawing's centre in the middle.
  view.Resize(400, 200);
  EXPECT_NEAR(view.scale(), 3.8, 1e-12);
  ExpectScreen(view.ToScreen(under), 40 + 100, 65 + 50);
  view.Resize(200, 100);

  // A single point or nothing still gives a usable view.
  Extents point;
  point.Add({5, 5});
  view.FitTo(point);
  ExpectScreen(view.ToScreen({5, 5}), 100, 50);
  view.FitTo(Extents{});
  EXPECT_EQ(view.scale(), 1);
}

struct Recorder : PreviewPainter {
  void Polyline(std::span<const ScreenPoint> points, const preview::Pen& pen) override {
    polylines.emplace_back(points.begin(), points.end());
    colours.push_back(pen.rgb);
  }
  void FilledPolygon(std::span<const ScreenPoint> points, std::uint32_t) override {
    polygons.emplace_back(points.begin(), points.end());
  }
  void Text(ScreenPoint origin, double height, double width, double degrees,
            const std::string& utf8, std::uint32_t) override {
    texts.push_back({origin, height, width, degrees, utf8});
  }
  void Dot(ScreenPoint at, std::uint32_t) override { dots.push_back(at); }

  struct Shown {
    ScreenPoint origin;
    double height, width, degrees;
    std::string utf8;
  };
  std::vector<std::vector<ScreenPoint>> polylines;
  std::vector<std::uint32_t> colours;
  std::vector<std::vector<ScreenPoint>> polygons;
  std::vector<Shown> texts;
  std::vector<ScreenPoint> dots;
};

// A view of 100 x 100 pixels fitted to the box from `low` to `high`.
PreviewViewport ViewOver(Point2 low, Point2 high) {
  PreviewViewport view;
  view.Resize(100, 100);
  Extents box;
  box.Add(low);
  box.Add(high);
  view.FitTo(box);
  return view;
}

preview::DisplayList ListOf(preview::Drawing drawing) {
  drawing.extents = drawing.Measure();
  return preview::MakeDisplayList(std::make_shared<const preview::Drawing>(std::move(drawing)),
                                  ConversionTables{}, preview::Side::kBefore,
                                  preview::Background::kWhite);
}

TEST(PreviewPaint, WhatIsInViewInScreenPixels) {
  preview::Drawing d;
  d.styles.push_back({});
  d.segments.push_back({{0, 0}, {10, 0}, 0});
  d.segments.push_back({{1000, 1000}, {1001, 1000}, 0});  // far outside the view
  preview::Arc circle;
  circle.centre = {5, 5};
  circle.u = {2, 0};
  circle.v = {0, 2};
  circle.full = true;
  d.arcs.push_back(circle);
  d.texts.push_back({{0, 2}, {4, 0}, {0, 1}, "big", 0});
  d.texts.push_back({{0, 2}, {1, 0}, {0, 0.01}, "tiny", 0});
  d.dots.push_back({{3, 3}, 0});
  for (int i = 0; i < 100; ++i) {  // smaller than a pixel, all in one: one dot for them all
    d.segments.push_back({{7, 7}, {7.01, 7.0 + i * 1e-4}, 0});
  }
  const preview::DisplayList list = ListOf(d);

  // 9.5 pixels a unit, the drawing's centre (5,5) in the middle
  const PreviewViewport view = ViewOver({0, 0}, {10, 10});
  Recorder painted;
  PaintDisplayList(list, view, painted);

  ASSERT_EQ(painted.polylines.size(), 2u);  // the near line and the circle
  ExpectScreen(painted.polylines[0][0], 2.5, 97.5);
  ExpectScreen(painted.polylines[0][1], 97.5, 97.5);
  // The circle as a polyline within half a pixel of its radius (19 pixels).
  const std::vector<ScreenPoint>& ring = painted.polylines[1];
  EXPECT_GE(ring.size(), 12u);
  for (const ScreenPoint& p : ring) {
    EXPECT_NEAR(std::hypot(p.x - 50, p.y - 50), 19, 0.5);
  }
  ASSERT_EQ(painted.texts.size(), 1u);  // the tiny one is left out
  EXPECT_EQ(painted.texts[0].utf8, "big");
  EXPECT_NEAR(painted.texts[0].height, 9.5, 1e-9);
  EXPECT_NEAR(painted.texts[0].width, 38, 1e-9);
  ASSERT_EQ(painted.dots.size(), 2u);
  ExpectScreen(painted.dots[0], 69, 31);  // the tiny lines' pixel, painted before points
  ExpectScreen(painted.dots[1], 31, 69);
}

// Seen from very close, a line through the view is still painted there, but nothing handed to
// the window lies beyond kPaintLimit: GDI would draw such numbers wrongly.
TEST(PreviewPaint, FromVeryCloseNothingIsHandedOverBeyondTheLimit) {
  preview::Drawing d;
  d.styles.push_back({});
  d.segments.push_back({{-1000, 5}, {1000, 5}, 0});  // through the middle of the view
  d.polygons.push_back({0, 3, 0});
  d.vertices = {{-1000, -1000}, {1000, -1000}, {5, 1000}};
  d.texts.push_back({{4.999, 5}, {1, 0}, {0, 1}, "huge", 0});
  const preview::DisplayList list = ListOf(d);
  PreviewViewport view = ViewOver({4.9999, 4.9999}, {5.0001, 5.0001});  // 475,000 pixels a unit
  Recorder painted;
  PaintDisplayList(list, view, painted);

  auto within = [](ScreenPoint p) {
    return std::abs(p.x) <= kPaintLimit && std::abs(p.y) <= kPaintLimit;
  };
  ASSERT_EQ(painted.polylines.size(), 1u);
  const std::vector<ScreenPoint>& line = painted.polylines[0];
  ASSERT_EQ(line.size(), 2u);
  EXPECT_TRUE(within(line[0]) && within(line[1]));
  EXPECT_NEAR(line[0].y, 50, 1e-6);  // still across the middle of the view
  EXPECT_NEAR(line[1].y, 50, 1e-6);
  EXPECT_LT(line[0].x, 0);
  EXPECT_GT(line[1].x, 100);
  ASSERT_EQ(painted.polygons.size(), 1u);
  EXPECT_TRUE(std::all_of(painted.polygons[0].begin(), painted.polygons[0].end(), within));
  EXPECT_TRUE(painted.texts.empty());  // taller than the limit

  // From an ordinary distance a line is one call, every corner of it.
  view.FitTo(list.drawing->extents);
  painted = Recorder{};
  PaintDisplayList(list, view, painted);
  ASSERT_EQ(painted.polylines.size(), 1u);
  EXPECT_EQ(painted.polylines[0].size(), 2u);
  EXPECT_EQ(painted.texts.size(), 0u);  // a unit high in 2000: too small to read
}

class PreviewPanelTest : public ::testing::Test {
 protected:
  PreviewPanelTest() : panel_(formats_, [this] { ++ready_; }) {
    testing::WriteBytes(scratch_ / "every.jww", testing::JwwOfEveryKind());
    testing::WriteBytes(scratch_ / "broken.jww", "JwwData.");
  }
  void Settle() {
    panel_.WaitIdle();
    panel_.Deliver();
  }

  testing::ScratchFolder scratch_;
  FormatRegistry formats_ = MakeStandardFormats();
  std::atomic<int> ready_{0};
  PreviewPanel panel_;
};

TEST_F(PreviewPanelTest, ReadsTheSelectedFileOffTheWindowThread) {
  EXPECT_EQ(panel_.state(), PanelState::kEmpty);
  ConversionTables tables;
  tables.jww.SetEntry(2, 8);
  panel_.Show(scratch_ / "every.jww", tables);
  EXPECT_EQ(panel_.state(), PanelState::kReading);
  EXPECT_NE(panel_.Caption().find("every.jww を読んでいます"), std::string::npos);
  Settle();
  EXPECT_GE(ready_.load(), 1);
  ASSERT_EQ(panel_.state(), PanelState::kReady);
  EXPECT_EQ(panel_.Caption(), "every.jww (JWW 700)");
  ASSERT_NE(panel_.before(), nullptr);
  ASSERT_NE(panel_.after(), nullptr);
  const preview::Drawing& d = *panel_.before()->drawing;
  EXPECT_NE(panel_.before()->PenOf(d.segments[0].style).rgb,
            panel_.after()->PenOf(d.segments[0].style).rgb);
  ASSERT_TRUE(panel_.inventory().has_value());
  EXPECT_EQ(panel_.inventory()->changed, 1u);

  const std::vector<InventoryRow> rows = panel_.Rows();
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0].what, "図形");
  EXPECT_EQ(rows[0].before, "10");
  EXPECT_EQ(rows[0].detail, "ブロック定義 2");
  EXPECT_EQ(rows[1].after, "1");
  auto colour2 = std::find_if(rows.begin(), rows.end(),
                              [](const InventoryRow& row) { return row.what == "線色 2"; });
  ASSERT_NE(colour2, rows.end());
  EXPECT_EQ(colour2->before, "4");
  EXPECT_EQ(colour2->after, "3");
  EXPECT_EQ(colour2->detail, "線 1, ブロック 1, ブロック内 2");
  EXPECT_TRUE(colour2->changes);
  EXPECT_EQ(rows.back().what, "寸法の色 (百の位)");
}

TEST_F(PreviewPanelTest, FollowsTableEditsAndSelections) {
  panel_.Show(scratch_ / "every.jww", ConversionTables{});
  Settle();
  const preview::Drawing* drawing = panel_.before()->drawing.get();
  ConversionTables tables;
  tables.jww.SetEntry(2, 8);
  panel_.TablesChanged(tables);
  // The pens follow at once; the drawing is not read again.
  EXPECT_EQ(panel_.after()->PenOf(drawing->segments[0].style).rgb,
            preview::StandardPenColor(8, preview::Background::kWhite));
  EXPECT_EQ(panel_.inventory()->changed, 0u);  // counted again on the worker
  Settle();
  EXPECT_EQ(panel_.inventory()->changed, 1u);
  EXPECT_EQ(panel_.before()->drawing.get(), drawing);

  panel_.SetBackground(preview::Background::kBlack);
  EXPECT_EQ(panel_.before()->background_rgb(), 0u);

  // A file that cannot be read says why; choosing nothing empties the panel.
  panel_.Show(scratch_ / "broken.jww", tables);
  Settle();
  EXPECT_EQ(panel_.state(), PanelState::kFailed);
  EXPECT_NE(panel_.Caption().find("broken.jww は表示できません：ファイルが途中で終わっています"),
            std::string::npos)
      << panel_.Caption();
  // Chosen again once it is whole, it is read again.
  testing::WriteBytes(scratch_ / "broken.jww", testing::JwwOfEveryKind());
  panel_.Show(scratch_ / "broken.jww", tables);
  Settle();
  EXPECT_EQ(panel_.state(), PanelState::kReady);
  // A file of another kind is not read at all, and says what it is.
  testing::WriteBytes(scratch_ / "notes.txt", "text");
  panel_.Show(scratch_ / "notes.txt", tables);
  EXPECT_EQ(panel_.state(), PanelState::kFailed);
  EXPECT_EQ(panel_.Caption(), "notes.txt は表示できません：jw_cadのファイルではありません");
  panel_.Show(std::nullopt, tables);
  EXPECT_EQ(panel_.state(), PanelState::kEmpty);
  EXPECT_EQ(panel_.before(), nullptr);
  EXPECT_TRUE(panel_.Rows().empty());
}

// Both windows show a newly selected drawing whole once and then keep the user's zoom, and show
// one side or both as the box and the switch say.
TEST_F(PreviewPanelTest, ADrawingIsFittedOnceASelectionAndTheSidesFollowTheSwitch) {
  panel_.Show(scratch_ / "every.jww", ConversionTables{});
  EXPECT_FALSE(panel_.NeedsFit());  // nothing to fit while it is read
  Settle();
  EXPECT_TRUE(panel_.NeedsFit());
  panel_.Fitted();
  ConversionTables tables;
  tables.jww.SetEntry(2, 8);
  panel_.TablesChanged(tables);
  Settle();
  panel_.Show(scratch_ / "every.jww", tables);  // the same file: the zoom stays
  Settle();
  EXPECT_FALSE(panel_.NeedsFit());
  testing::WriteBytes(scratch_ / "other.jww", testing::JwwOfEveryKind());
  panel_.Show(scratch_ / "other.jww", tables);
  Settle();
  EXPECT_TRUE(panel_.NeedsFit());

  EXPECT_TRUE(panel_.ShowsBefore() && panel_.ShowsAfter());
  EXPECT_FALSE(panel_.switch_enabled());
  panel_.SetSideBySide(false);
  EXPECT_TRUE(panel_.switch_enabled());
  EXPECT_FALSE(panel_.ShowsBefore());
  EXPECT_TRUE(panel_.ShowsAfter());
  EXPECT_EQ(panel_.SwitchCaption(), "変換後を表示中");
  panel_.SwitchSide();
  EXPECT_TRUE(panel_.ShowsBefore());
  EXPECT_FALSE(panel_.ShowsAfter());
  EXPECT_EQ(panel_.SwitchCaption(), "変換前を表示中");
}

// Lines painted of a side of the panel's drawing, in a view of all of it.
std::size_t LinesPainted(const preview::DisplayList* list) {
  if (list == nullptr) {
    return 0;
  }
  PreviewViewport view;
  view.Resize(400, 400);
  view.FitTo(list->drawing->extents);
  Recorder painted;
  PaintDisplayList(*list, view, painted);
  return painted.polylines.size();
}

TEST_F(PreviewPanelTest, HiddenLayersAreLeftOutUntilTheBoxShowsThem) {
  testing::WriteBytes(scratch_ / "hidden.jww", testing::JwwWithHiddenLayers());
  panel_.Show(scratch_ / "hidden.jww", ConversionTables{});
  Settle();
  ASSERT_EQ(panel_.state(), PanelState::kReady);
  EXPECT_FALSE(panel_.show_hidden_layers());
  // Six lines, three of them on a hidden layer, in a hidden group or in a block inserted there.
  ASSERT_EQ(panel_.before()->drawing->segments.size(), 6u);
  EXPECT_EQ(LinesPainted(panel_.before()), 3u);
  EXPECT_EQ(LinesPainted(panel_.after()), 3u);

  panel_.SetShowHiddenLayers(true);
  EXPECT_EQ(LinesPainted(panel_.before()), 6u);
  EXPECT_EQ(LinesPainted(panel_.after()), 6u);
  panel_.SetShowHiddenLayers(false);

  // A table edit that moves the shown layer 0-0 onto the hidden 0-1 hides it after at once.
  ConversionTables tables;
  tables.layers.SetTarget(LayerAddress{0, 0}.Index(), LayerAddress{0, 1});
  panel_.TablesChanged(tables);
  EXPECT_EQ(LinesPainted(panel_.before()), 3u);
  EXPECT_EQ(LinesPainted(panel_.after()), 0u);
  Settle();
}

// A table the drawing refuses (a layer moved into a group of another scale) leaves no stale
// picture on the after side but the refusal whole beside it; an edit that mends the table brings
// the after side back.
TEST_F(PreviewPanelTest, ATableTheDrawingRefusesLeavesNoAfterPictureUntilItIsMended) {
  testing::WriteBytes(scratch_ / "layers.jww", testing::JwwOnLayers());
  panel_.Show(scratch_ / "layers.jww", ConversionTables{});
  Settle();
  ASSERT_NE(panel_.after(), nullptr);
  EXPECT_EQ(panel_.AfterLabel(), "変換後");
  ConversionTables clash;
  clash.layers.SetTarget(LayerAddress{0, 1}.Index(), LayerAddress{2, 0});
  panel_.TablesChanged(clash);
  Settle();
  EXPECT_EQ(panel_.state(), PanelState::kFailed);
  EXPECT_NE(panel_.before(), nullptr);
  EXPECT_EQ(panel_.after(), nullptr);
  EXPECT_EQ(panel_.Caption(), "layers.jww はこの設定では変換できません");
  EXPECT_EQ(panel_.AfterLabel(),
            "変換後\nこの設定では変換できません：\nレイヤ 0-1 の図形を縮尺 1/100 のグループ 0 "
            "から縮尺 1/50 のグループ 2 へ移すことになり、用紙上の大きさが変わります");
  panel_.SetBackground(preview::Background::kBlack);
  EXPECT_EQ(panel_.after(), nullptr);  // a repaint brings no picture back
  panel_.TablesChanged(ConversionTables{});
  Settle();
  EXPECT_EQ(panel_.state(), PanelState::kReady);
  EXPECT_NE(panel_.after(), nullptr);
  EXPECT_EQ(panel_.AfterLabel(), "変換後");
}

TEST_F(PreviewPanelTest, OnlyTheLatestSelectionIsShown) {
  panel_.Show(scratch_ / "broken.jww", ConversionTables{});
  panel_.Show(scratch_ / "every.jww", ConversionTables{});
  Settle();
  // Whatever the worker finished first, a result for an older selection is dropped.
  EXPECT_EQ(panel_.state(), PanelState::kReady);
  EXPECT_EQ(panel_.file(), scratch_ / "every.jww");
}

}  // namespace
}  // namespace penmorph::app
