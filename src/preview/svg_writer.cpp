#include "preview/svg_writer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

namespace penmorph::preview {

namespace {

// A number as SVG takes it: 12 significant digits, which leaves the rounding noise of turned
// coordinates out; never "-0", never NaN or infinity (callers skip those).
std::string Num(double value) {
  if (std::abs(value) < 1e-9) {
    return "0";
  }
  char buffer[32];
  auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 12);
  return error == std::errc() ? std::string(buffer, end) : "0";
}

bool Finite(Point2 p) {
  return std::isfinite(p.x) && std::isfinite(p.y);
}

std::string Colour(std::uint32_t rgb) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text = "#000000";
  for (int i = 0; i < 6; ++i) {
    text[static_cast<std::size_t>(6 - i)] = kHex[(rgb >> (4 * i)) & 0xF];
  }
  return text;
}

std::string Escape(const std::string& text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        // Control characters are not allowed in XML text.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
          escaped += c;
        }
    }
  }
  return escaped;
}

// The stroke of a pen; `pixel` is the length of a screen pixel at the picture's own size.
std::string Stroke(const Pen& pen, double pixel) {
  std::string text =
      " stroke=\"" + Colour(pen.rgb) + "\" stroke-width=\"" + Num(pen.width * pixel) + "\"";
  // A dash longer than a double can say is drawn as a continuous line.
  const bool dashed = !pen.dash.empty() &&
                      std::all_of(pen.dash.begin(), pen.dash.end(),
                                  [pixel](double length) { return std::isfinite(length * pixel); });
  if (dashed) {
    text += " stroke-dasharray=\"";
    for (std::size_t i = 0; i < pen.dash.size(); ++i) {
      text += (i ? " " : "") + Num(pen.dash[i] * pixel);
    }
    text += "\"";
  }
  return text;
}

// The ellipse that the unit circle becomes under [u v]: its radii and the direction of its
// first axis (radians), from the matrix's singular values.
struct EllipseAxes {
  double rx = 0;
  double ry = 0;
  double rotation = 0;
};
EllipseAxes AxesOf(Point2 u, Point2 v) {
  const double e = (u.x + v.y) / 2;
  const double f = (u.x - v.y) / 2;
  const double g = (u.y + v.x) / 2;
  const double h = (u.y - v.x) / 2;
  const double q = std::hypot(e, h);
  const double r = std::hypot(f, g);
  const double a1 = std::atan2(g, f);
  const double a2 = std::atan2(h, e);
  return {q + r, std::abs(q - r), (a2 + a1) / 2};
}

// The picture's viewBox in drawing units, with the picture's pixels per unit and its reverse.
struct Frame {
  double x0 = 0;
  double y0 = 0;
  double w = 0;
  double h = 0;
  double scale = 0;
  double pixel = 0;

  bool Finite() const {
    return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(w) && std::isfinite(h) &&
           std::isfinite(scale) && std::isfinite(pixel);
  }
};
Frame FrameOf(Extents e, int pixels) {
  if (e.empty) {
    e.Add({0, 0});
    e.Add({1, 1});
  }
  const double margin = std::max(std::max(e.width(), e.height()) * 0.02, 1e-6);
  Frame frame;
  frame.x0 = e.min_x - margin;
  frame.y0 = -(e.max_y + margin);  // SVG's y grows downwards
  frame.w = e.width() + 2 * margin;
  frame.h = e.height() + 2 * margin;
  frame.scale = pixels / std::max(frame.w, frame.h);
  frame.pixel = std::max(frame.w, frame.h) / pixels;
  return frame;
}

void WritePolygons(std::ostream& out, const DisplayList& list) {
  const Drawing& drawing = *list.drawing;
  out << "<g stroke=\"none\">\n";
  for (const Polygon& polygon : drawing.polygons) {
    std::string points;
    bool finite = true;
    for (std::uint32_t i = 0; i < polygon.count; ++i) {
      const Point2 p = drawing.vertices[polygon.first + i];
      finite = finite && Finite(p);
      points += (i ? " " : "") + Num(p.x) + "," + Num(-p.y);
    }
    if (finite && !list.PenOf(polygon.style).hidden) {
      out << "<polygon points=\"" << points << "\" fill=\"" << Colour(list.PenOf(polygon.style).rgb)
          << "\"/>\n";
    }
  }
  out << "</g>\n";
}

void WriteArc(std::ostream& out, const DisplayList& list, const Arc& a, double pixel) {
  if (!Finite(a.centre) || !Finite(a.u) || !Finite(a.v) || !std::isfinite(a.start) ||
      !std::isfinite(a.sweep) || list.PenOf(a.style).hidden) {
    return;
  }
  const EllipseAxes axes = AxesOf(a.u, a.v);
  const double degrees = -axes.rotation * 180 / std::numbers::pi;  // y turned
  // Radii near the largest double overflow on the way: such an arc cannot be said.
  if (!std::isfinite(axes.rx) || !std::isfinite(axes.ry) || !std::isfinite(degrees)) {
    return;
  }
  if (a.full) {
    out << "<ellipse cx=\"" << Num(a.centre.x) << "\" cy=\"" << Num(-a.centre.y) << "\" rx=\""
        << Num(axes.rx) << "\" ry=\"" << Num(axes.ry) << "\" transform=\"rotate(" << Num(degrees)
        << " " << Num(a.centre.x) << " " << Num(-a.centre.y) << ")\""
        << Stroke(list.PenOf(a.style), pixel) << "/>\n";
    return;
  }
  // Turning y over keeps how an arc looks: counter-clockwise on the drawing (the sweep's sign,
  // turned over by a mirroring u and v) is counter-clockwise on the page too, which in SVG's
  // downward y is the negative direction: sweep flag 0.
  const double determinant = a.u.x * a.v.y - a.u.y * a.v.x;
  const bool counter_clockwise = (a.sweep > 0) == (determinant > 0);
  const Point2 from = a.At(a.start);
  const Point2 to = a.At(a.start + a.sweep);
  if (!Finite(from) || !Finite(to)) {
    return;
  }
  out << "<path d=\"M" << Num(from.x) << " " << Num(-from.y) << "A" << Num(axes.rx) << " "
      << Num(axes.ry) << " " << Num(degrees) << " "
      << (std::abs(a.sweep) > std::numbers::pi ? 1 : 0) << " " << (counter_clockwise ? 0 : 1) << " "
      << Num(to.x) << " " << Num(-to.y) << "\"" << Stroke(list.PenOf(a.style), pixel) << "/>\n";
}

void WriteStrokes(std::ostream& out, const DisplayList& list, double pixel) {
  const Drawing& drawing = *list.drawing;
  out << "<g fill=\"none\" stroke-linecap=\"round\">\n";
  for (const Segment& s : drawing.segments) {
    if (Finite(s.from) && Finite(s.to) && !list.PenOf(s.style).hidden) {
      out << "<line x1=\"" << Num(s.from.x) << "\" y1=\"" << Num(-s.from.y) << "\" x2=\""
          << Num(s.to.x) << "\" y2=\"" << Num(-s.to.y) << "\"" << Stroke(list.PenOf(s.style), pixel)
          << "/>\n";
    }
  }
  for (const Arc& a : drawing.arcs) {
    WriteArc(out, list, a, pixel);
  }
  out << "</g>\n";
}

void WriteDotsAndTexts(std::ostream& out, const DisplayList& list, double pixel) {
  const Drawing& drawing = *list.drawing;
  const double dot = 1.5 * pixel;
  out << "<g stroke=\"none\">\n";
  for (const Dot& d : drawing.dots) {
    if (Finite(d.at) && !list.PenOf(d.style).hidden) {
      out << "<circle cx=\"" << Num(d.at.x) << "\" cy=\"" << Num(-d.at.y) << "\" r=\"" << Num(dot)
          << "\" fill=\"" << Colour(list.PenOf(d.style).rgb) << "\"/>\n";
    }
  }
  for (const Text& t : drawing.texts) {
    const double height = t.height();
    const double length = std::hypot(t.advance.x, t.advance.y);
    if (!Finite(t.origin) || !std::isfinite(height) || !std::isfinite(length) || height <= 0 ||
        list.PenOf(t.style).hidden) {
      continue;
    }
    const double degrees = -t.angle() * 180 / std::numbers::pi;
    out << "<text x=\"" << Num(t.origin.x) << "\" y=\"" << Num(-t.origin.y) << "\" font-size=\""
        << Num(height) << "\" textLength=\"" << Num(length)
        << "\" lengthAdjust=\"spacingAndGlyphs\" transform=\"rotate(" << Num(degrees) << " "
        << Num(t.origin.x) << " " << Num(-t.origin.y) << ")\" fill=\""
        << Colour(list.PenOf(t.style).rgb) << "\">" << Escape(t.utf8) << "</text>\n";
  }
  out << "</g>\n";
}

}  // namespace

void WriteSvg(std::ostream& out, const DisplayList& list, int pixels) {
  const Drawing& drawing = *list.drawing;
  Frame frame = FrameOf(drawing.extents, pixels);
  if (!frame.Finite()) {
    // Extents wider than a double can hold: nothing can be framed, so the unit square is shown
    // as for an empty drawing.
    frame = FrameOf(Extents{}, pixels);
  }
  const auto [x0, y0, w, h, scale, pixel] = frame;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Num(std::ceil(w * scale))
      << "\" height=\"" << Num(std::ceil(h * scale)) << "\" viewBox=\"" << Num(x0) << " " << Num(y0)
      << " " << Num(w) << " " << Num(h) << "\">\n";
  out << "<rect x=\"" << Num(x0) << "\" y=\"" << Num(y0) << "\" width=\"" << Num(w)
      << "\" height=\"" << Num(h) << "\" fill=\"" << Colour(list.background_rgb()) << "\"/>\n";
  WritePolygons(out, list);
  WriteStrokes(out, list, pixel);
  WriteDotsAndTexts(out, list, pixel);
  out << "</svg>\n";
}

}  // namespace penmorph::preview
