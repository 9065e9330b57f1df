#include "formats/windows/entity_remap.h"

#include <string>

namespace penmorph::jw {

namespace {

using Option = JwwConvSettings::Option;

// Which fields a pass over one list remaps.
struct RemapRules {
  bool line_color = false;
  bool line_type = false;
  bool point_text_color = false;
  bool solid_color = false;
  bool dim_color = false;
  bool dim_line_type = false;
};

void RemapDimension(ColorRemapper& remap, const RemapRules& rules, int version, TEntSunpo& dim) {
  const bool full = version >= 420;
  if (rules.dim_color) {
    remap.Color(dim.line.base.PenColor);
    remap.Color(dim.text.base.PenColor);
    if (full) {
      remap.Color(dim.line2.base.PenColor);
      remap.Color(dim.line3.base.PenColor);
      for (TEntTen& point : dim.points) {
        remap.Color(point.base.PenColor);
      }
    }
  }
  if (rules.dim_line_type) {
    remap.LineType(dim.line.base.PenStyle);
    if (full) {
      remap.LineType(dim.line2.base.PenStyle);
      remap.LineType(dim.line3.base.PenStyle);
    }
  }
}

void RemapTables(ColorRemapper& remap, const RemapRules& rules, int version, EntityTables& tables) {
  auto lines_and_arcs = [&](EntityBase& base) {
    if (rules.line_color) {
      remap.Color(base.PenColor);
    }
    if (rules.line_type) {
      remap.LineType(base.PenStyle);
    }
  };
  for (TEntSen& line : tables.lines) {
    lines_and_arcs(line.base);
  }
  for (TEntEnko& arc : tables.arcs) {
    lines_and_arcs(arc.base);
  }
  if (rules.point_text_color) {
    for (TEntTen& point : tables.points) {
      remap.Color(point.base.PenColor);
    }
    for (TEntMoji& text : tables.texts) {
      remap.Color(text.base.PenColor);
    }
  }
  if (rules.solid_color) {
    for (TEntSolid& solid : tables.solids) {
      remap.Color(solid.base.PenColor);
    }
  }
  for (TEntSunpo& dim : tables.dimensions) {
    RemapDimension(remap, rules, version, dim);
  }
}

}  // namespace

void ColorRemapper::Color(std::uint16_t& color) {
  std::int32_t mapped = MapJwwColor(table_, color);
  if (mapped > 0xFFFF) {
    Fail(MakeError(ErrorKind::kRange,
                   "JWW table entry " + EntryKey(JwwConvSettings::ColorEntry(color)) + " = " +
                       std::to_string(mapped) + " does not fit a colour code (0-65535)"));
    return;
  }
  color = static_cast<std::uint16_t>(mapped);
}

void ColorRemapper::Color(std::int32_t& color) {
  color = MapJwwColor(table_, color);
}

void ColorRemapper::LineType(std::uint8_t& style) {
  std::int32_t mapped = MapJwwLineType(table_, style);
  if (mapped > 0xFF) {
    Fail(MakeError(ErrorKind::kRange,
                   "JWW table entry " + EntryKey(JwwConvSettings::LineTypeEntry(style)) + " = " +
                       std::to_string(mapped) + " does not fit a line type (0-255)"));
    return;
  }
  style = static_cast<std::uint8_t>(mapped);
}

void ColorRemapper::Fail(Error error) {
  if (status_.ok()) {
    status_ = std::move(error);
  }
}

Status RemapEntities(const JwwConvSettings& table, int version, EntityTables& main,
                     std::vector<TEntBlockDef>& block_defs) {
  ColorRemapper remap(table);
  RemapRules main_rules;
  main_rules.line_color = true;
  main_rules.line_type = true;
  main_rules.point_text_color = true;
  main_rules.solid_color = table.IsOn(Option::kChangeSolidColor);
  main_rules.dim_color = table.IsOn(Option::kChangeDimColor);
  main_rules.dim_line_type = table.IsOn(Option::kChangeDimLineType);
  RemapTables(remap, main_rules, version, main);

  const bool block_color = table.IsOn(Option::kChangeBlockColor);
  const bool block_type = table.IsOn(Option::kChangeBlockLineType);
  if (block_color || block_type) {
    RemapRules member_rules;
    member_rules.line_color = block_color;
    member_rules.line_type = block_type;
    member_rules.point_text_color = block_color;
    member_rules.solid_color = main_rules.solid_color && block_color;
    member_rules.dim_color = main_rules.dim_color && block_color;
    member_rules.dim_line_type = main_rules.dim_line_type && block_type;
    for (TEntBlockDef& def : block_defs) {
      RemapTables(remap, member_rules, version, def.members);
    }
  }
  return remap.status();
}

}  // namespace penmorph::jw
