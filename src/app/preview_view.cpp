#include "app/preview_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace penmorph::app {

using preview::Extents;
using preview::Point2;

namespace {

constexpr double kMinScale = 1e-12;
constexpr double kMaxScale = 1e12;
// Texts lower than this are unreadable dots: they are not drawn.
constexpr double kSmallestTextPixels = 3;

bool Overlaps(const Extents& a, const Extents& b) {
  return !a.empty && !b.empty && a.min_x <= b.max_x && b.min_x <= a.max_x && a.min_y <= b.max_y &&
         b.min_y <= a.max_y;
}

}  // namespace

void PreviewViewport::Resize(int width, int height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  if (pending_fit_) {
    FitTo(*pending_fit_);
  } else if (fitted_) {
    FitTo(*fitted_);
  }
}

void PreviewViewport::FitTo(const Extents& extents) {
  pending_fit_.reset();
  fitted_ = extents;
  if (extents.empty) {
    centre_ = {0, 0};
    scale_ = 1;
    return;
  }
  centre_ = {(extents.min_x + extents.max_x) / 2, (extents.min_y + extents.max_y) / 2};
  const double margin = 0.95;
  const double sx = extents.width() > 0 ? width_ * margin / extents.width() : kMaxScale;
  const double sy = extents.height() > 0 ? height_ * margin / extents.height() : kMaxScale;
  double scale = std::min(sx, sy);
  if (!(scale < kMaxScale)) {
    scale = 1;  // a single point: any zoom shows it
  }
  scale_ = std::clamp(scale, kMinScale, kMaxScale);
}

void PreviewViewport::ZoomAt(double factor, ScreenPoint at) {
  if (!(factor > 0) || !std::isfinite(factor)) {
    return;
  }
  fitted_.reset();
  const Point2 fixed = ToDrawing(at);
  scale_ = std::clamp(scale_ * factor, kMinScale, kMaxScale);
  // Move the centre so that `fixed` is under `at` again.
  centre_.x = fixed.x - (at.x - width_ / 2.0) / scale_;
  centre_.y = fixed.y + (at.y - height_ / 2.0) / scale_;
}

void PreviewViewport::PanBy(double dx, double dy) {
  if (dx != 0 || dy != 0) {
    fitted_.reset();
  }
  centre_.x -= dx / scale_;
  centre_.y += dy / scale_;
}

Point2 PreviewViewport::ToDrawing(ScreenPoint s) const {
  return {(s.x - width_ / 2.0) / scale_ + centre_.x, (height_ / 2.0 - s.y) / scale_ + centre_.y};
}

Extents PreviewViewport::Visible() const {
  Extents e;
  e.Add(ToDrawing({0, 0}));
  e.Add(ToDrawing({static_cast<double>(width_), static_cast<double>(height_)}));
  return e;
}

namespace {

// Primitives smaller than a pixel, as a zoomed-out drawing has them by the million, are drawn
// as one dot per pixel (in the colour of the first there): the picture is the same but for
// which colour a crowded pixel shows, and the painting takes a fraction.
class TinyPrimitives {
 public:
  explicit TinyPrimitives(const PreviewViewport& viewport)
      : width_(viewport.width()),
        height_(viewport.height()),
        painted_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

  // True when the box is tiny on screen; then it has been dotted already or is dotted now.
  bool Take(const Extents& box, const PreviewViewport& viewport, std::uint32_t rgb,
            PreviewPainter& painter) {
    const double scale = viewport.scale();
    if (box.width() * scale >= 1.5 || box.height() * scale >= 1.5) {
      return false;
    }
    const ScreenPoint at = viewport.ToScreen({box.min_x, box.min_y});
    const long x = std::lround(at.x);
    const long y = std::lround(at.y);
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
      return true;
    }
    std::uint8_t& pixel = painted_[static_cast<std::size_t>(y) * width_ + x];
    if (pixel == 0) {
      pixel = 1;
      painter.Dot(at, rgb);
    }
    return true;
  }

 private:
  long width_;
  long height_;
  std::vector<std::uint8_t> painted_;  // 1 where a dot is
};

bool WithinLimit(ScreenPoint p) {
  return std::abs(p.x) <= kPaintLimit && std::abs(p.y) <= kPaintLimit;
}

// Cuts the segment a-b to the square of +-kPaintLimit (Liang-Barsky); false when nothing of it
// is left.
bool Clip(ScreenPoint& a, ScreenPoint& b) {
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) {
    return false;
  }
  double t0 = 0;
  double t1 = 1;
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double p[] = {-dx, dx, -dy, dy};
  const double q[] = {a.x + kPaintLimit, kPaintLimit - a.x, a.y + kPaintLimit, kPaintLimit - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) {
        return false;
      }
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
  }
  if (t0 > t1) {
    return false;
  }
  const ScreenPoint from = a;
  a = {from.x + t0 * dx, from.y + t0 * dy};
  b = {from.x + t1 * dx, from.y + t1 * dy};
  return true;
}

// A line in view whole as one polyline; one reaching far outside as its segments, each cut.
void PaintLine(std::span<const ScreenPoint> points, const preview::Pen& pen,
               PreviewPainter& painter) {
  if (std::all_of(points.begin(), points.end(), WithinLimit)) {
    painter.Polyline(points, pen);
    return;
  }
  for (std::size_t i = 1; i < points.size(); ++i) {
    ScreenPoint piece[] = {points[i - 1], points[i]};
    if (Clip(piece[0], piece[1])) {
      painter.Polyline(piece, pen);
    }
  }
}

ScreenPoint Clamped(ScreenPoint p) {
  return {std::clamp(p.x, -kPaintLimit, kPaintLimit), std::clamp(p.y, -kPaintLimit, kPaintLimit)};
}

}  // namespace

void PaintDisplayList(const preview::DisplayList& list, const PreviewViewport& viewport,
                      PreviewPainter& painter) {
  const preview::Drawing& d = *list.drawing;
  const Extents visible = viewport.Visible();
  std::vector<ScreenPoint> points;
  std::vector<Point2> flattened;
  TinyPrimitives tiny(viewport);

  for (const preview::Polygon& polygon : d.polygons) {
    if (list.PenOf(polygon.style).hidden) {
      continue;
    }
    Extents box;
    points.clear();
    for (std::uint32_t i = 0; i < polygon.count; ++i) {
      const Point2 p = d.vertices[polygon.first + i];
      box.Add(p);
      points.push_back(Clamped(viewport.ToScreen(p)));
    }
    if (Overlaps(box, visible)) {
      painter.FilledPolygon(points, list.PenOf(polygon.style).rgb);
    }
  }
  for (const preview::Segment& s : d.segments) {
    if (list.PenOf(s.style).hidden) {
      continue;
    }
    Extents box;
    box.Add(s.from);
    box.Add(s.to);
    if (Overlaps(box, visible) && !tiny.Take(box, viewport, list.PenOf(s.style).rgb, painter)) {
      const ScreenPoint ends[] = {viewport.ToScreen(s.from), viewport.ToScreen(s.to)};
      PaintLine(ends, list.PenOf(s.style), painter);
    }
  }
  const double tolerance = 0.5 / viewport.scale();  // half a pixel
  for (const preview::Arc& a : d.arcs) {
    if (list.PenOf(a.style).hidden) {
      continue;
    }
    const Extents box = preview::ArcExtents(a);
    if (!Overlaps(box, visible) || tiny.Take(box, viewport, list.PenOf(a.style).rgb, painter)) {
      continue;
    }
    flattened.clear();
    preview::FlattenArc(a, tolerance, flattened);
    points.clear();
    for (Point2 p : flattened) {
      points.push_back(viewport.ToScreen(p));
    }
    PaintLine(points, list.PenOf(a.style), painter);
  }
  for (const preview::Dot& dot : d.dots) {
    if (!list.PenOf(dot.style).hidden && visible.Contains(dot.at, 0)) {
      painter.Dot(viewport.ToScreen(dot.at), list.PenOf(dot.style).rgb);
    }
  }
  for (const preview::Text& t : d.texts) {
    const double height = t.height() * viewport.scale();
    if (list.PenOf(t.style).hidden || !(height >= kSmallestTextPixels) ||
        !Overlaps(preview::TextExtents(t), visible)) {
      continue;
    }
    const ScreenPoint origin = viewport.ToScreen(t.origin);
    if (!WithinLimit(origin) || height > kPaintLimit) {
      continue;  // seen so close that it fills the view: nothing of it is readable
    }
    const double width = std::hypot(t.advance.x, t.advance.y) * viewport.scale();
    painter.Text(origin, height, width, t.angle() * 180 / std::numbers::pi, t.utf8,
                 list.PenOf(t.style).rgb);
  }
}

}  // namespace penmorph::app
