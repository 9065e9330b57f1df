#pragma once

// A drawing as geometry for previews, whatever file it came from: segments, elliptic arcs,
// filled polygons, texts and points in the drawing's own coordinates, each with the index of a
// style key that says which pen and line type the file gave it. Keys rather than colours, so
// that one drawing serves both sides of a preview: the pens before and after the tables are
// resolved from the same keys (pens.h), and a table edit needs no new reading.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "preview/layer_sheet.h"
#include "settings/conv_settings.h"

namespace penmorph::preview {

struct Point2 {
  double x = 0;
  double y = 0;
  bool operator==(const Point2&) const = default;
};

// x' = a x + c y + e, y' = b x + d y + f: where a block's members land.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  Point2 Apply(Point2 p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // A direction: the translation does not apply.
  Point2 ApplyVector(Point2 v) const { return {a * v.x + c * v.y, b * v.x + d * v.y}; }
  // This after `inner`.
  Affine Then(const Affine& inner) const;
  static Affine Placement(Point2 at, double scale_x, double scale_y, double angle_radians);
};

struct Extents {
  double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
  bool empty = true;

  void Add(Point2 p);
  void Merge(const Extents& other);
  double width() const { return empty ? 0 : max_x - min_x; }
  double height() const { return empty ? 0 : max_y - min_y; }
  bool Contains(Point2 p, double slack) const;
};

struct Segment {
  Point2 from, to;
  std::uint32_t style = 0;
};

// The points centre + u cos t + v sin t for t from `start` over `sweep` (radians; a full
// ellipse when `full`). A circle of radius r has u = (r, 0), v = (0, r); flatness, tilt,
// mirroring and any block placement only change u and v.
struct Arc {
  Point2 centre;
  Point2 u, v;
  double start = 0;
  double sweep = 0;
  bool full = false;
  std::uint32_t style = 0;

  Point2 At(double t) const;
};

// A filled outline: vertices [first, first + count) of Drawing::vertices.
struct Polygon {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
  std::uint32_t style = 0;
};

// A string laid on its baseline: from `origin` along `advance` (the baseline's whole length)
// with its characters `up` high.
struct Text {
  Point2 origin;
  Point2 advance;
  Point2 up;
  std::string utf8;
  std::uint32_t style = 0;

  double height() const;
  double angle() const;  // of the baseline, radians
};

struct Dot {
  Point2 at;
  std::uint32_t style = 0;
};

// Which formats' numbers a key holds: colour codes and line types of JWW/JWS, or pens and line
// types of JWC/JWK.
enum class CodeFamily : std::uint8_t { kWindows, kDos };

// What an entity is to the tables: the same colour is remapped by different options on a line,
// a solid or a dimension's text, and differently again inside a block definition.
enum class PenRole : std::uint8_t {
  kLine,  // lines and arcs
  kPoint,
  kText,
  kSolid,
  kDimensionLine,
  kDimensionText,
  kDimensionPoint,
};

inline constexpr std::uint16_t kNoLayer = kLayerCount;

struct StyleKey {
  CodeFamily family = CodeFamily::kWindows;
  PenRole role = PenRole::kLine;
  bool in_block = false;       // a member of a block definition
  std::uint16_t color = 0;     // colour code or pen
  std::uint8_t line_type = 0;  // line type; for texts and points not a line type
  std::uint16_t width = 0;     // the file's pen width, 0 when it holds none
  std::int32_t rgb = -1;       // a solid's own colour (0x00BBGGRR), -1 when it has none
  // The layer (group * 16 + layer) whose state decides whether it is seen: the entity's own, or
  // for a block's members the layer of the outermost insertion, as jw_cad draws a block whole.
  // kNoLayer for a layer or group outside 0-15: always seen.
  std::uint16_t layer = 0;
  bool operator==(const StyleKey&) const = default;
};

// Finds a key's index in a drawing's table of keys, adding it when new.
class StyleIndex {
 public:
  std::uint32_t IndexOf(const StyleKey& key, std::vector<StyleKey>& styles);

 private:
  struct Hash {
    std::size_t operator()(const StyleKey& key) const;
  };
  std::unordered_map<StyleKey, std::uint32_t, Hash> indices_;
  std::optional<std::uint32_t> last_;
};

// The codes a key stands for after the tables.
struct PenCodes {
  std::int32_t color = 0;
  std::int32_t line_type = 0;
};

// The format's own rules for what the tables make of a key.
class StyleRemap {
 public:
  virtual ~StyleRemap() = default;
  virtual PenCodes After(const StyleKey& key, const ConversionTables& tables) const = 0;
};

// SXF colour n (1-256, code 100 + n) as the drawing defines it, and SXF line type n (1-32,
// code 30 + n) as a dash pattern in millimetres on paper.
struct SxfDefinitions {
  std::vector<std::int32_t> colors;                // 0x00BBGGRR by n; empty: the standard ones
  std::vector<std::vector<double>> line_patterns;  // by n; empty pattern: continuous
};

// What is drawn, in one coordinate system: a whole drawing's, or a block definition's own.
struct Primitives {
  std::vector<Segment> segments;
  std::vector<Arc> arcs;
  std::vector<Point2> vertices;  // of the polygons
  std::vector<Polygon> polygons;
  std::vector<Text> texts;
  std::vector<Dot> dots;

  std::size_t PrimitiveCount() const {
    return segments.size() + arcs.size() + polygons.size() + texts.size() + dots.size();
  }
};

struct Drawing : Primitives {
  std::string format;  // "JWW"
  std::vector<StyleKey> styles;
  Extents extents;
  SxfDefinitions sxf;
  LayerSheet layers;
  std::shared_ptr<const StyleRemap> remap;

  // Extents of everything, computed anew.
  Extents Measure() const;
};

// Where an arc reaches furthest, its ends and extreme points included.
Extents ArcExtents(const Arc& arc);
// The corners of a text's box.
Extents TextExtents(const Text& text);

// The arc as a polyline whose chords stray at most `tolerance` from it (in the units of u and
// v), appended to `out`.
void FlattenArc(const Arc& arc, double tolerance, std::vector<Point2>& out);

}  // namespace penmorph::preview
