#include "jww_expectation.h"

#include <algorithm>
#include <cstdio>

namespace penmorph::testing {

using namespace jw;

namespace {

void Adjust(int version, EntityKind kind, EntityBase& base) {
  base = AdjustEntityBase(version, kind, base);
}

void CleanText(TEntMoji& text) {
  text.font = CleanName(text.font);
  text.text = CleanName(text.text);
}

std::string Upper(const ArchiveString& s) {
  std::string units;
  for (std::size_t i = 0; i < s.length(); ++i) {
    std::uint16_t u = UnitAt(s, i);
    if (!s.wide && ((u >= 0x80 && u <= 0x9F) || (u >= 0xE0 && u <= 0xFD)) && i + 1 < s.length()) {
      units += static_cast<char>(u);
      units += static_cast<char>(UnitAt(s, ++i));
      continue;
    }
    if (u >= 'a' && u <= 'z') {
      u = static_cast<std::uint16_t>(u - 32);
    }
    units += static_cast<char>(u & 0xFF);
    units += static_cast<char>(u >> 8);
  }
  return units;
}

void MarkImages(const EntityTables& tables, std::vector<WorkspaceImage>& images,
                std::vector<bool>& keep) {
  for (const TEntMoji& text : tables.texts) {
    const ArchiveString& t = text.text;
    if (t.length() <= 10 || !StartsWithAscii(t, "^@BM%temp%")) {
      continue;
    }
    std::size_t comma = 10;
    while (comma < t.length() && UnitAt(t, comma) != ',') {
      ++comma;
    }
    if (comma == t.length()) {
      continue;
    }
    std::string wanted = Upper(Substring(t, 10, comma - 10));
    for (std::size_t i = 0; i < images.size(); ++i) {
      if (Upper(images[i].name).rfind(wanted, 0) == 0) {
        keep[i] = true;
        break;
      }
    }
  }
}

}  // namespace

void ApplyEntityWriteRules(int version, EntityTables& t) {
  for (TEntSen& r : t.lines) {
    Adjust(version, EntityKind::kLine, r.base);
  }
  for (TEntEnko& r : t.arcs) {
    Adjust(version, EntityKind::kArc, r.base);
  }
  for (TEntTen& r : t.points) {
    Adjust(version, EntityKind::kPoint, r.base);
  }
  for (TEntMoji& r : t.texts) {
    Adjust(version, EntityKind::kText, r.base);
    CleanText(r);
  }
  for (TEntSunpo& r : t.dimensions) {
    Adjust(version, EntityKind::kDimension, r.base);
    Adjust(version, EntityKind::kLine, r.line.base);
    Adjust(version, EntityKind::kText, r.text.base);
    CleanText(r.text);
    if (version >= 420) {
      Adjust(version, EntityKind::kLine, r.line2.base);
      Adjust(version, EntityKind::kLine, r.line3.base);
      for (TEntTen& point : r.points) {
        Adjust(version, EntityKind::kPoint, point.base);
      }
    }
  }
  for (TEntSolid& r : t.solids) {
    Adjust(version, EntityKind::kSolid, r.base);
  }
  for (TEntBlock& r : t.blocks) {
    Adjust(version, EntityKind::kBlock, r.base);
  }
}

void ApplyBlockDefWriteRules(int version, std::vector<WorkspaceBlockDef>& defs) {
  for (WorkspaceBlockDef& def : defs) {
    Adjust(version, EntityKind::kBlockDef, def.base);
    def.name = CleanName(def.name);
    def.replaced_bytes.reset();  // the position stands in the file now
    def.replaced_value = 0;
    ApplyEntityWriteRules(version, def.members);
  }
}

void ApplyJwwWriteRules(JwwWorkspace& w) {
  THeader& h = w.header;
  const int v = h.version;
  h.reserved6 = {};
  h.reserved8 = 0;
  if (v <= 420 && h.limited9 < -101) {
    h.limited9 = -101;
  }
  std::int32_t b = h.settings_tens * 10 + h.settings_units;
  if (v >= 600) {
    b = h.settings_tens > 0 ? b : h.settings_units + 10;
  } else {
    b = h.settings_units;
  }
  h.settings_tens = b / 10;
  h.settings_units = b % 10;
  for (TLayer& layer : h.layers) {
    layer.name = CleanName(layer.name);
  }
  for (TLayerGroup& group : h.layer_groups) {
    group.name = CleanName(group.name);
  }
  for (TColorExNo& color : h.sxf_colors) {
    color.name = CleanName(color.name);
  }
  for (TLineTypeExNo& type : h.sxf_line_types) {
    type.name = CleanName(type.name);
  }
  // Images first: the references are looked for in the texts as they were.
  std::vector<bool> keep(w.images.size(), false);
  MarkImages(w.entities, w.images, keep);
  for (const WorkspaceBlockDef& def : w.block_defs) {
    MarkImages(def.members, w.images, keep);
  }
  std::vector<WorkspaceImage> kept;
  for (std::size_t i = 0; i < w.images.size(); ++i) {
    if (keep[i] && !w.images[i].extracted.empty()) {
      kept.push_back(w.images[i]);
    }
  }
  w.images = kept;
  ApplyEntityWriteRules(v, w.entities);
  ApplyBlockDefWriteRules(v, w.block_defs);
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected == actual) {
    return "";
  }
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) {
    ++at;
  }
  char text[160];
  std::snprintf(text, sizeof text, "first unexplained byte at offset %zu of %zu/%zu", at,
                expected.size(), actual.size());
  return text;
}

}  // namespace penmorph::testing
