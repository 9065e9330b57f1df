#include "preview/display_list.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace penmorph::preview {

namespace {

// Screen pixels per millimetre of an SXF pattern: near what a screen shows of a drawing at its
// paper size.
constexpr double kPixelsPerMillimetre = 3.0;

std::uint32_t FromColorRef(std::int32_t colorref) {
  const auto value = static_cast<std::uint32_t>(colorref);
  const std::uint32_t r = value & 0xFF;
  const std::uint32_t g = (value >> 8) & 0xFF;
  const std::uint32_t b = (value >> 16) & 0xFF;
  return (r << 16) | (g << 8) | b;
}

// A colour that would vanish into the background is drawn in the opposite one, as a screen
// shows white lines black on paper-white.
std::uint32_t Visible(std::uint32_t rgb, Background background) {
  if (background == Background::kWhite && rgb == 0xFFFFFF) {
    return 0x000000;
  }
  if (background == Background::kBlack && rgb == 0x000000) {
    return 0xFFFFFF;
  }
  return rgb;
}

std::uint32_t WindowsColor(const Drawing& drawing, const StyleKey& key, std::int32_t code,
                           Background background) {
  if (code == 10 && key.role == PenRole::kSolid && key.rgb >= 0) {
    return FromColorRef(key.rgb);
  }
  if (code >= 101 && code <= 356) {
    const auto n = static_cast<std::size_t>(code - 100);
    const std::vector<std::int32_t>& defined = drawing.sxf.colors;
    const std::int32_t colorref =
        n < defined.size() ? defined[n] : StandardSxfColor(static_cast<int>(n));
    return Visible(FromColorRef(colorref), background);
  }
  return StandardPenColor(code, background);
}

std::vector<double> WindowsDash(const Drawing& drawing, std::int32_t line_type) {
  if (line_type >= 31 && line_type <= 62) {
    const auto n = static_cast<std::size_t>(line_type - 30);
    if (n < drawing.sxf.line_patterns.size()) {
      std::vector<double> dash = drawing.sxf.line_patterns[n];
      for (double& length : dash) {
        length = std::max(length * kPixelsPerMillimetre, 1.0);
        if (!std::isfinite(length)) {
          return {};  // no screen shows a dash that long: the line is continuous
        }
      }
      return dash;
    }
    return {};
  }
  return StandardDashPattern(line_type);
}

// A third of the way from the background to the colour: seen, but plainly not part of the
// drawing as jw_cad shows it.
std::uint32_t Faint(std::uint32_t rgb, Background background) {
  const std::uint32_t paper = background == Background::kWhite ? 0xFF : 0x00;
  std::uint32_t faint = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t channel = (rgb >> shift) & 0xFF;
    faint |= (channel + 2 * paper) / 3 << shift;
  }
  return faint;
}

// The layer a key is seen by on a side: the tables move the entities before jw_cad shows them.
int LayerSeen(const StyleKey& key, const ConversionTables* tables) {
  if (tables == nullptr) {
    return key.layer;
  }
  return tables->layers.Map(LayerAddress::FromIndex(key.layer)).Index();
}

}  // namespace

std::uint32_t StandardPenColor(int pen, Background background) {
  // Pens 1-9: light blue, the plain line colour, green, yellow, magenta, blue, dark green, red,
  // grey; darker where a white background needs it.
  static constexpr std::array<std::uint32_t, 9> kOnBlack = {
      0x00FFFF, 0xFFFFFF, 0x00FF00, 0xFFFF00, 0xFF00FF, 0x0080FF, 0x00A080, 0xFF0000, 0xA0A0A0};
  static constexpr std::array<std::uint32_t, 9> kOnWhite = {
      0x00A0A0, 0x000000, 0x00A000, 0xB08000, 0xC000C0, 0x0000FF, 0x008060, 0xFF0000, 0x808080};
  const auto& table = background == Background::kBlack ? kOnBlack : kOnWhite;
  const int index = pen >= 1 && pen <= 9 ? pen - 1 : 1;
  return table[static_cast<std::size_t>(index)];
}

std::int32_t StandardSxfColor(int n) {
  // black, red, green, blue, yellow, magenta, cyan, white, deeppink, brown, orange, lightgreen,
  // lightblue, lavender, lightgray, darkgray, as 0x00BBGGRR.
  static constexpr std::array<std::int32_t, 16> kStandard = {
      0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
      0x8000C0, 0x4080C0, 0x0080FF, 0x80C080, 0xFF8000, 0xFF4080, 0xC0C0C0, 0x808080};
  return n >= 1 && n <= 16 ? kStandard[static_cast<std::size_t>(n - 1)] : 0xC0C0C0;
}

std::vector<double> StandardDashPattern(int line_type) {
  switch (line_type) {
    case 2:
      return {8, 4};  // dotted 1
    case 3:
      return {4, 4};  // dotted 2
    case 4:
      return {2, 3};  // dotted 3
    case 5:
      return {16, 4, 2, 4};  // chain 1
    case 6:
      return {24, 4, 2, 4};  // chain 2
    case 7:
      return {16, 4, 2, 4, 2, 4};  // double chain 1
    case 8:
      return {24, 4, 2, 4, 2, 4};  // double chain 2
    case 9:
      return {2, 2};  // auxiliary
    case 16:
      return {16, 8};  // the double-length types
    case 17:
      return {32, 8, 4, 8};
    case 18:
      return {48, 8, 4, 8};
    case 19:
      return {32, 8, 4, 8, 4, 8};
    default:
      return {};  // continuous; random lines drawn straight
  }
}

std::vector<Pen> ResolvePens(const Drawing& drawing, const ConversionTables* tables,
                             Background background, HiddenLayers hidden_layers) {
  std::vector<Pen> pens;
  pens.reserve(drawing.styles.size());
  for (const StyleKey& key : drawing.styles) {
    PenCodes codes{key.color, key.line_type};
    if (tables != nullptr && drawing.remap) {
      codes = drawing.remap->After(key, *tables);
    }
    Pen pen;
    const bool windows = key.family == CodeFamily::kWindows;
    pen.rgb = windows ? WindowsColor(drawing, key, codes.color, background)
                      : StandardPenColor(codes.color, background);
    const bool dashed = key.role == PenRole::kLine || key.role == PenRole::kDimensionLine;
    if (dashed) {
      pen.dash =
          windows ? WindowsDash(drawing, codes.line_type) : StandardDashPattern(codes.line_type);
    }
    pen.width = std::clamp(static_cast<double>(key.width), 1.0, 8.0);
    if (drawing.layers.Hidden(LayerSeen(key, tables))) {
      pen.hidden = hidden_layers == HiddenLayers::kLeftOut;
      pen.faint = !pen.hidden;
      pen.rgb = Faint(pen.rgb, background);
    }
    pens.push_back(std::move(pen));
  }
  return pens;
}

DisplayList MakeDisplayList(std::shared_ptr<const Drawing> drawing, const ConversionTables& tables,
                            Side side, Background background, HiddenLayers hidden_layers) {
  DisplayList list;
  list.pens =
      ResolvePens(*drawing, side == Side::kAfter ? &tables : nullptr, background, hidden_layers);
  list.drawing = std::move(drawing);
  list.background = background;
  return list;
}

}  // namespace penmorph::preview
