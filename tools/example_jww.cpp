#include "example_jww.h"

#include <bit>
#include <cstring>

#include "common/byte_writer.h"
#include "reference/jws_file.h"
#include "reference/jww_file.h"

namespace penmorph::examples {

using namespace jw;

namespace {

EntityBase Pen(int style, int color, int layer = 0) {
  EntityBase base;
  base.PenStyle = static_cast<std::uint8_t>(style);
  base.PenColor = static_cast<std::uint16_t>(color);
  base.Layer = static_cast<std::uint16_t>(layer);
  return base;
}

ArchiveString Text(const std::string& bytes) {
  return {bytes, false};
}

void AddLine(EntityTables& t, int style, int color, double x1, double y1, double x2, double y2) {
  t.order.push_back({EntityKind::kLine, static_cast<std::uint32_t>(t.lines.size())});
  t.lines.push_back({Pen(style, color), {x1, y1, x2, y2}});
}

void PutDouble(std::uint8_t* at, double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  std::memcpy(at, &bits, 8);
}

void PutInt(std::uint8_t* at, std::int32_t value) {
  std::memcpy(at, &value, 4);
}

// As jw_cad saves a drawing: group 0 and its layer 0 being written to (state 3), every other
// group and layer editable (2), each group at 1:50.
void PutLayerStates(THeader& h) {
  for (std::size_t g = 0; g < h.layer_groups.size(); ++g) {
    PutInt(h.layer_groups[g].values.data(), g == 0 ? 3 : 2);
    PutDouble(h.layer_groups[g].values.data() + 8, 50.0);
    for (std::size_t l = 0; l < 16; ++l) {
      PutInt(h.layers[g * 16 + l].values.data(), g == 0 && l == 0 ? 3 : 2);
    }
  }
}

EntityBase OnLayer(int color, int group, int layer) {
  EntityBase base = Pen(1, color, layer);
  base.LayerGroup = static_cast<std::uint16_t>(group);
  return base;
}

void AddLineOn(EntityTables& t, const EntityBase& base, double x1, double y1, double x2,
               double y2) {
  t.order.push_back({EntityKind::kLine, static_cast<std::uint32_t>(t.lines.size())});
  t.lines.push_back({base, {x1, y1, x2, y2}});
}

void AddBox(EntityTables& t, const EntityBase& base, double x1, double y1, double x2, double y2) {
  AddLineOn(t, base, x1, y1, x2, y1);
  AddLineOn(t, base, x2, y1, x2, y2);
  AddLineOn(t, base, x2, y2, x1, y2);
  AddLineOn(t, base, x1, y2, x1, y1);
}

void AddCircle(EntityTables& t, const EntityBase& base, double x, double y, double r) {
  t.order.push_back({EntityKind::kArc, static_cast<std::uint32_t>(t.arcs.size())});
  t.arcs.push_back({base, {x, y, r, 0, 6.283185307179586, 0, 1}, 1});
}

}  // namespace

std::string ExampleJwwDrawing() {
  JwwWorkspace w;
  THeader& h = w.header;
  std::memcpy(h.magic.data(), kJwwMagic.data(), 8);
  h.version = 700;
  h.memo = Text("\x83\x54\x83\x93\x83\x76\x83\x8B\x90\x7D\x96\xCA");  // "サンプル図面" in Shift-JIS
  PutLayerStates(h);  // a preview shows only what lies on shown layers
  h.view_table.assign(280, 0);
  h.settings_tens = 1;
  h.sxf_colors.resize(257);
  h.sxf_line_types.resize(33);
  for (TextKind& kind : h.text_kinds) {
    kind.color = 1;
  }

  EntityTables& t = w.entities;
  AddLine(t, 1, 1, 0, 0, 4000, 0);  // walls
  AddLine(t, 1, 1, 4000, 0, 4000, 3000);
  AddLine(t, 1, 1, 4000, 3000, 0, 3000);
  AddLine(t, 1, 1, 0, 3000, 0, 0);
  AddLine(t, 2, 2, 2000, 0, 2000, 3000);  // a hidden line in colour 2
  t.order.push_back({EntityKind::kArc, 0});
  // Centre, radius, start and sweep, tilt, flatness: a quarter circle, the door's swing.
  t.arcs.push_back({Pen(1, 3), {800, 0, 800, 0, 1.5707963267948966, 0, 1}, 0});
  TEntMoji label;
  label.base = Pen(1, 2);
  label.position = {1500, 1500, 2250, 1500};  // where the baseline starts and ends
  label.layout = {250, 250, 0, 0};
  label.font = Text("\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");  // "ＭＳ ゴシック"
  label.text = Text("\x8D\x48\x8E\x96\x8E\xBA");                           // "工事室"
  t.order.push_back({EntityKind::kText, 0});
  t.texts.push_back(label);
  TEntSunpo dim;
  dim.base = Pen(1, 1);
  dim.line = {Pen(1, 1), {0, -500, 4000, -500}};
  dim.text = label;
  dim.text.text = Text("4000");
  dim.text.position = {1500, -450, 2500, -450};
  dim.line2.base = dim.line3.base = Pen(2, 1);
  for (TEntTen& point : dim.points) {
    point.base = Pen(1, 1);
  }
  t.order.push_back({EntityKind::kDimension, 0});
  t.dimensions.push_back(dim);

  WorkspaceBlockDef chair;
  chair.base = Pen(1, 1);
  chair.values = {1, 0, 1};  // number 1, which the insertion names
  chair.name = Text("chair");
  AddLine(chair.members, 2, 2, 0, 0, 450, 0);
  AddLine(chair.members, 2, 2, 450, 0, 450, 450);
  w.block_defs.push_back(chair);
  t.order.push_back({EntityKind::kBlock, 0});
  t.blocks.push_back({Pen(1, 1), {1000, 1000, 1, 1, 0}, 1});

  VectorSink sink;
  ByteWriter out(sink);
  if (!JwwWrite(out, w).ok()) {
    return {};
  }
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

std::string ExampleLayeredDrawing() {
  JwwWorkspace w;
  THeader& h = w.header;
  std::memcpy(h.magic.data(), kJwwMagic.data(), 8);
  h.version = 700;
  h.memo = Text("layers");
  PutLayerStates(h);
  PutInt(h.layer_groups[1].values.data(), 0);  // hidden
  PutInt(h.layers[1].values.data(), 0);
  h.layers[0].name = Text("walls");
  h.layers[1].name = Text("furniture");
  h.layer_groups[0].name = Text("plan");
  h.layer_groups[1].name = Text("elevation");
  h.view_table.assign(280, 0);
  h.settings_tens = 1;
  h.sxf_colors.resize(257);
  h.sxf_line_types.resize(33);
  for (TextKind& kind : h.text_kinds) {
    kind.color = 1;
  }

  EntityTables& t = w.entities;
  const EntityBase walls = OnLayer(2, 0, 0);
  const EntityBase furniture = OnLayer(3, 0, 1);
  const EntityBase elevation = OnLayer(5, 1, 0);
  AddBox(t, walls, 0, 0, 6000, 4000);
  AddLineOn(t, walls, 3500, 0, 3500, 4000);
  AddBox(t, furniture, 1000, 1500, 2600, 2500);  // a table and its chairs
  for (double x : {1400.0, 2200.0}) {
    AddCircle(t, furniture, x, 1200, 200);
    AddCircle(t, furniture, x, 2800, 200);
  }
  AddBox(t, furniture, 4000, 500, 5600, 1400);  // a bed
  // The elevation, drawn over the plan as a building's views lie on one another.
  AddBox(t, elevation, 0, 0, 6000, 3000);
  AddLineOn(t, elevation, 0, 3000, 3000, 4200);
  AddLineOn(t, elevation, 3000, 4200, 6000, 3000);
  AddBox(t, elevation, 800, 800, 2000, 2000);

  WorkspaceBlockDef door;
  door.base = furniture;
  door.values = {1, 1, 1};  // number 1, which the insertions name
  door.name = Text("door");
  AddLineOn(door.members, OnLayer(6, 0, 1), 0, 0, 0, 800);
  door.members.order.push_back({EntityKind::kArc, 0});
  door.members.arcs.push_back({OnLayer(6, 0, 1), {0, 0, 800, 0, 1.5707963267948966, 0, 1}, 0});
  w.block_defs.push_back(door);
  t.order.push_back({EntityKind::kBlock, 0});
  t.blocks.push_back({walls, {3500, 1000, 1, 1, 1.5707963267948966}, 1});
  t.order.push_back({EntityKind::kBlock, 1});
  t.blocks.push_back({furniture, {6000, 2500, 1, 1, 1.5707963267948966}, 1});

  VectorSink sink;
  ByteWriter out(sink);
  if (!JwwWrite(out, w).ok()) {
    return {};
  }
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

std::string ExampleJwsSymbol() {
  JwsWorkspace w;
  std::memcpy(w.header.magic.data(), kJwsMagic.data(), kJwsMagic.size());
  w.header.version = 600;
  for (TLayerGroup& group : w.header.layer_groups) {
    PutDouble(group.values.data() + 8, 1.0);
  }
  EntityTables& t = w.entities;
  AddLine(t, 2, 2, 0, 0, 450, 0);
  AddLine(t, 2, 2, 450, 0, 450, 450);
  AddLine(t, 2, 2, 450, 450, 0, 450);
  AddLine(t, 2, 2, 0, 450, 0, 0);
  TEntMoji label;
  label.base = Pen(1, 1);
  label.position = {100, 200, 0, 0};
  label.layout = {100, 100, 0, 0};
  label.font = Text("\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");
  label.text = Text("\x88\xD6\x8E\x71");  // "椅子"
  t.order.push_back({EntityKind::kText, 0});
  t.texts.push_back(label);

  VectorSink sink;
  ByteWriter out(sink);
  if (!JwsWrite(out, w).ok()) {
    return {};
  }
  return std::string(sink.bytes().begin(), sink.bytes().end());
}

}  // namespace penmorph::examples
