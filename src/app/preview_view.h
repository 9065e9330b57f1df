#pragma once

// What a preview shows on the screen, without a toolkit: where the drawing sits (zoom to fit,
// wheel zoom about the cursor, drag to pan) and the display list projected into screen pixels,
// handed to a painter that each window implements with its own drawing calls (QPainter, GDI).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "preview/display_list.h"

namespace penmorph::app {

struct ScreenPoint {
  double x = 0;
  double y = 0;
};

class PreviewViewport {
 public:
  // The pixels the view has. A view still fitted (neither zoomed nor moved since) fits again,
  // as after a window is restored; otherwise the drawing's centre stays in the middle.
  void Resize(int width, int height);
  // The whole of `extents` in view, with a margin.
  void FitTo(const preview::Extents& extents);
  // The same at the next Resize, for a view whose size is not known yet.
  void FitWhenSized(const preview::Extents& extents) { pending_fit_ = extents; }
  // Zooms by `factor` (above 1: closer) keeping the drawing point under `at` where it is.
  void ZoomAt(double factor, ScreenPoint at);
  // Moves the drawing with the mouse.
  void PanBy(double dx, double dy);

  ScreenPoint ToScreen(preview::Point2 p) const {
    return {(p.x - centre_.x) * scale_ + width_ / 2.0, height_ / 2.0 - (p.y - centre_.y) * scale_};
  }
  preview::Point2 ToDrawing(ScreenPoint s) const;
  // The part of the drawing in view.
  preview::Extents Visible() const;

  double scale() const { return scale_; }  // pixels per drawing unit
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 1;
  int height_ = 1;
  double scale_ = 1;
  preview::Point2 centre_;
  std::optional<preview::Extents> pending_fit_;
  std::optional<preview::Extents> fitted_;  // until the user zooms or moves the drawing
};

// How far from the view's corner a painted point may lie, in pixels: GDI's numbers are not
// trusted beyond. A line running further is cut there, a polygon's corner moved onto the edge, a
// text starting further (or taller than that) left out; all of them far outside the view.
inline constexpr double kPaintLimit = 1e5;

// The drawing calls a window makes for a preview, in screen pixels (y down), every point within
// kPaintLimit.
class PreviewPainter {
 public:
  virtual ~PreviewPainter() = default;
  virtual void Polyline(std::span<const ScreenPoint> points, const preview::Pen& pen) = 0;
  virtual void FilledPolygon(std::span<const ScreenPoint> points, std::uint32_t rgb) = 0;
  // A string whose baseline starts at `origin`, `height` pixels high, stretched or squeezed to
  // `width` pixels, turned `degrees` counter-clockwise as seen.
  virtual void Text(ScreenPoint origin, double height, double width, double degrees,
                    const std::string& utf8, std::uint32_t rgb) = 0;
  virtual void Dot(ScreenPoint at, std::uint32_t rgb) = 0;
};

// Paints what is in view: the background is the window's, everything else comes from here.
// Arcs become polylines fine enough for the zoom; texts too small to read are left out.
void PaintDisplayList(const preview::DisplayList& list, const PreviewViewport& viewport,
                      PreviewPainter& painter);

}  // namespace penmorph::app
