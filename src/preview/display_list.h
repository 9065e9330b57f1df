#pragma once

// What a preview paints: a drawing's geometry with its style keys resolved to pens for one side
// (the file as it is, or as the tables would write it) on one background. The Qt view, the
// Windows view and the SVG writer all paint this and nothing else.

#include <cstdint>
#include <memory>
#include <vector>

#include "preview/drawing.h"
#include "settings/conv_settings.h"

namespace penmorph::preview {

enum class Background : std::uint8_t { kWhite, kBlack };
enum class Side : std::uint8_t { kBefore, kAfter };
// What lies on a hidden layer or in a hidden group: left out, as jw_cad shows the drawing, or
// drawn fainter beside the rest.
enum class HiddenLayers : std::uint8_t { kLeftOut, kFaint };

struct Pen {
  std::uint32_t rgb = 0;     // 0xRRGGBB
  std::vector<double> dash;  // on, off, on... in screen pixels; empty: continuous
  double width = 1;          // screen pixels
  bool hidden = false;       // on a hidden layer and left out: nothing in this pen is painted
  bool faint = false;        // on a hidden layer but shown: `rgb` is already paled
  bool operator==(const Pen&) const = default;
};

struct DisplayList {
  std::shared_ptr<const Drawing> drawing;
  std::vector<Pen> pens;  // by style index
  Background background = Background::kWhite;

  std::uint32_t background_rgb() const {
    return background == Background::kWhite ? 0xFFFFFFu : 0x000000u;
  }
  const Pen& PenOf(std::uint32_t style) const { return pens[style]; }
};

// The pen of every style key of the drawing: as the file gives it (`tables` null) or after the
// tables, whose layer table decides which layer's state a key is seen by.
std::vector<Pen> ResolvePens(const Drawing& drawing, const ConversionTables* tables,
                             Background background,
                             HiddenLayers hidden_layers = HiddenLayers::kLeftOut);

DisplayList MakeDisplayList(std::shared_ptr<const Drawing> drawing, const ConversionTables& tables,
                            Side side, Background background,
                            HiddenLayers hidden_layers = HiddenLayers::kLeftOut);

// jw_cad's standard screen colour of pen 1-9 (anything else as pen 2, the plain line colour).
std::uint32_t StandardPenColor(int pen, Background background);
// The SXF standard colours 1-16 (0x00BBGGRR), for drawings that define none.
std::int32_t StandardSxfColor(int n);
// The dash pattern of a standard line type (1-9, 11-19), in screen pixels.
std::vector<double> StandardDashPattern(int line_type);

}  // namespace penmorph::preview
