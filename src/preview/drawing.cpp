#include "preview/drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace penmorph::preview {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double Length(Point2 v) {
  return std::hypot(v.x, v.y);
}

}  // namespace

std::size_t StyleIndex::Hash::operator()(const StyleKey& k) const {
  const std::uint64_t packed =
      static_cast<std::uint64_t>(k.role) | static_cast<std::uint64_t>(k.in_block) << 3 |
      static_cast<std::uint64_t>(k.family) << 4 | static_cast<std::uint64_t>(k.color) << 8 |
      static_cast<std::uint64_t>(k.line_type) << 24 | static_cast<std::uint64_t>(k.width) << 32;
  return std::hash<std::uint64_t>()(packed ^ (static_cast<std::uint64_t>(k.rgb) << 48) ^
                                    (static_cast<std::uint64_t>(k.layer) << 56));
}

std::uint32_t StyleIndex::IndexOf(const StyleKey& key, std::vector<StyleKey>& styles) {
  if (last_ && styles[*last_] == key) {
    return *last_;  // neighbours mostly share their pen
  }
  auto [at, added] = indices_.try_emplace(key, 0);
  if (added) {
    styles.push_back(key);
    at->second = static_cast<std::uint32_t>(styles.size() - 1);
  }
  last_ = at->second;
  return at->second;
}

Affine Affine::Then(const Affine& inner) const {
  // (this ∘ inner)(p) = this(inner(p))
  Affine r;
  r.a = a * inner.a + c * inner.b;
  r.b = b * inner.a + d * inner.b;
  r.c = a * inner.c + c * inner.d;
  r.d = b * inner.c + d * inner.d;
  r.e = a * inner.e + c * inner.f + e;
  r.f = b * inner.e + d * inner.f + f;
  return r;
}

Affine Affine::Placement(Point2 at, double scale_x, double scale_y, double angle_radians) {
  const double cos_a = std::cos(angle_radians);
  const double sin_a = std::sin(angle_radians);
  Affine t;
  t.a = cos_a * scale_x;
  t.b = sin_a * scale_x;
  t.c = -sin_a * scale_y;
  t.d = cos_a * scale_y;
  t.e = at.x;
  t.f = at.y;
  return t;
}

void Extents::Add(Point2 p) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
    return;  // a broken number must not swallow the drawing
  }
  if (empty) {
    min_x = max_x = p.x;
    min_y = max_y = p.y;
    empty = false;
    return;
  }
  min_x = std::min(min_x, p.x);
  max_x = std::max(max_x, p.x);
  min_y = std::min(min_y, p.y);
  max_y = std::max(max_y, p.y);
}

void Extents::Merge(const Extents& other) {
  if (!other.empty) {
    Add({other.min_x, other.min_y});
    Add({other.max_x, other.max_y});
  }
}

bool Extents::Contains(Point2 p, double slack) const {
  return !empty && p.x >= min_x - slack && p.x <= max_x + slack && p.y >= min_y - slack &&
         p.y <= max_y + slack;
}

Point2 Arc::At(double t) const {
  const double c = std::cos(t);
  const double s = std::sin(t);
  return {centre.x + u.x * c + v.x * s, centre.y + u.y * c + v.y * s};
}

double Text::height() const {
  return Length(up);
}

double Text::angle() const {
  return std::atan2(advance.y, advance.x);
}

Extents Drawing::Measure() const {
  Extents e;
  for (const Segment& s : segments) {
    e.Add(s.from);
    e.Add(s.to);
  }
  for (const Arc& a : arcs) {
    e.Merge(ArcExtents(a));
  }
  for (const Point2& p : vertices) {
    e.Add(p);
  }
  for (const Text& t : texts) {
    e.Merge(TextExtents(t));
  }
  for (const Dot& d : dots) {
    e.Add(d.at);
  }
  return e;
}

Extents ArcExtents(const Arc& arc) {
  Extents e;
  // x(t) and y(t) are extreme where their derivatives vanish: two parameters each, half a turn
  // apart.
  const double tx = std::atan2(arc.v.x, arc.u.x);
  const double ty = std::atan2(arc.v.y, arc.u.y);
  const double candidates[] = {tx, tx + std::numbers::pi, ty, ty + std::numbers::pi};
  if (arc.full) {
    for (double t : candidates) {
      e.Add(arc.At(t));
    }
    return e;
  }
  e.Add(arc.At(arc.start));
  e.Add(arc.At(arc.start + arc.sweep));
  const double lo = std::min(arc.start, arc.start + arc.sweep);
  const double span = std::abs(arc.sweep);
  for (double t : candidates) {
    double offset = std::fmod(t - lo, kTwoPi);
    if (offset < 0) {
      offset += kTwoPi;
    }
    if (offset <= span) {
      e.Add(arc.At(t));
    }
  }
  return e;
}

Extents TextExtents(const Text& text) {
  Extents e;
  const Point2 o = text.origin;
  e.Add(o);
  e.Add({o.x + text.advance.x, o.y + text.advance.y});
  e.Add({o.x + text.up.x, o.y + text.up.y});
  e.Add({o.x + text.advance.x + text.up.x, o.y + text.advance.y + text.up.y});
  return e;
}

void FlattenArc(const Arc& arc, double tolerance, std::vector<Point2>& out) {
  const double radius = std::max(Length(arc.u), Length(arc.v));
  const double span = arc.full ? kTwoPi : std::min(std::abs(arc.sweep), kTwoPi);
  int steps = 1;
  if (radius > 0 && tolerance > 0 && std::isfinite(radius)) {
    // A chord over angle a strays r (1 - cos(a / 2)) from its arc.
    const double ratio = std::clamp(1 - tolerance / radius, -1.0, 1.0);
    const double step = std::max(2 * std::acos(ratio), 1e-3);
    steps = static_cast<int>(std::ceil(span / step));
  }
  steps = std::clamp(steps, arc.full ? 8 : 1, 4096);
  const double start = arc.full ? 0.0 : arc.start;
  const double delta = (arc.full ? kTwoPi : arc.sweep) / steps;
  for (int i = 0; i <= steps; ++i) {
    out.push_back(arc.At(start + delta * i));
  }
}

}  // namespace penmorph::preview
