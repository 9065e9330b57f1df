#include "preview_test_files.h"

#include <numbers>

#include "jw_test_bytes.h"

namespace penmorph::testing {

namespace {

jw::EntityBase Pen(int color, int style = 1) {
  jw::EntityBase base;
  base.PenColor = static_cast<std::uint16_t>(color);
  base.PenStyle = static_cast<std::uint8_t>(style);
  return base;
}

jw::EntityBase OnLayer(int group, int layer) {
  jw::EntityBase base = Pen(2);
  base.LayerGroup = static_cast<std::uint16_t>(group);
  base.Layer = static_cast<std::uint16_t>(layer);
  return base;
}

void PutI32(std::string& bytes, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
  }
}

constexpr int kV = 700;

void TextBody(ByteBuilder& out, double x1, double y1, double x2, double y2, double height,
              const std::string& text) {
  out.f64(x1).f64(y1).f64(x2).f64(y2).i32(1);
  out.f64(height).f64(height).f64(0).f64(0);
  out.str("font").str(text);
}

}  // namespace

std::string JwwOfEveryKind() {
  constexpr double kPi = std::numbers::pi;
  ByteBuilder out;
  HeaderValues header;
  header.dim_setting_colors = 321;
  AppendJwwHeader(out, kV, header);
  out.u16(7);
  // Archive indices: each new class takes one, each object the next.
  out.new_class("CDataSen", kV).base(kV, Pen(2, 2)).f64(0).f64(0).f64(10).f64(0);  // 1, 2
  out.new_class("CDataEnko", kV).base(kV, Pen(3)).f64(20).f64(0).f64(5);           // 3, 4
  out.f64(kPi / 2).f64(kPi).f64(0).f64(0.5).i32(0);
  out.new_class("CDataTen", kV).base(kV, Pen(4)).f64(1).f64(2).i32(0);  // 5, 6
  out.new_class("CDataMoji", kV).base(kV, Pen(5));                      // 7, 8
  TextBody(out, 0, 10, 8, 10, 3, "AB");
  out.new_class("CDataSunpou", kV).base(kV, Pen(1));  // 9, 10
  out.base(kV, Pen(6, 3)).f64(0).f64(-5).f64(10).f64(-5);
  out.base(kV, Pen(7));
  TextBody(out, 4, -4, 6, -4, 1, "10");
  out.u16(0);
  out.base(kV, Pen(6, 3)).f64(0).f64(-5).f64(0).f64(0);
  out.base(kV, Pen(6, 3)).f64(10).f64(-5).f64(10).f64(0);
  out.base(kV, Pen(6)).f64(0).f64(-5).i32(0);
  out.base(kV, Pen(6)).f64(10).f64(-5).i32(0);
  out.base(kV, Pen(0, 0)).f64(0).f64(0).i32(0);
  out.base(kV, Pen(0, 0)).f64(0).f64(0).i32(0);
  out.new_class("CDataSolid", kV).base(kV, Pen(10));  // 11, 12
  out.f64(30).f64(0).f64(40).f64(0).f64(40).f64(10).f64(30).f64(10).i32(0x0000FF);
  out.new_class("CDataBlock", kV).base(kV, Pen(2));  // 13, 14
  out.f64(100).f64(0).f64(2).f64(2).f64(kPi / 2).i32(7);

  out.u16(2);
  out.new_class("CDataList", kV).base(kV, Pen(2)).i32(7).i32(1).i32(123).str("A").u16(2);  // 15
  out.u16(0x8001).base(kV, Pen(2)).f64(0).f64(0).f64(1).f64(0);
  out.u16(0x800D).base(kV, Pen(2)).f64(0).f64(5).f64(1).f64(1).f64(0).i32(8);
  out.u16(0x800F).base(kV, Pen(2)).i32(8).i32(1).i32(124).str("B").u16(1);
  out.u16(0x8003).base(kV, Pen(3)).f64(0).f64(0).f64(1).f64(0).f64(2 * kPi).f64(0).f64(1).i32(1);
  out.i32(0);  // no images
  return out.bytes();
}

std::string JwwWithHiddenLayers() {
  // Item 5: per group its state, write layer, scale and protection (20 bytes), then per layer
  // its state and protection (8 bytes).
  constexpr std::size_t kGroupBytes = 20 + 16 * 8;
  ByteBuilder head;
  const HeaderOffsets at = AppendJwwHeader(head, kV);
  std::string header = head.bytes();
  const std::size_t groups = at.reserved6 - 16 * kGroupBytes;
  for (int g = 0; g < 16; ++g) {
    PutI32(header, groups + g * kGroupBytes, g == 0 ? 3 : g == 1 ? 0 : 1);
    for (int l = 0; l < 16; ++l) {
      PutI32(header, groups + g * kGroupBytes + 20 + l * 8, g == 0 && l == 1 ? 0 : 2);
    }
  }

  ByteBuilder out;
  out.raw(header);
  out.u16(5);
  out.new_class("CDataSen", kV).base(kV, OnLayer(0, 0)).f64(0).f64(0).f64(10).f64(0);  // 1, 2
  out.u16(0x8001).base(kV, OnLayer(0, 1)).f64(0).f64(1).f64(10).f64(1);                // 3
  out.u16(0x8001).base(kV, OnLayer(1, 0)).f64(0).f64(2).f64(10).f64(2);                // 4
  out.new_class("CDataBlock", kV).base(kV, OnLayer(0, 0));                             // 5, 6
  out.f64(100).f64(0).f64(1).f64(1).f64(0).i32(7);
  out.u16(0x8005).base(kV, OnLayer(0, 1)).f64(200).f64(0).f64(1).f64(1).f64(0).i32(8);  // 7

  out.u16(2);
  out.new_class("CDataList", kV).base(kV, OnLayer(0, 1));  // 8, 9
  out.i32(7).i32(1).i32(123).str("A").u16(2);
  out.u16(0x8001).base(kV, OnLayer(0, 1)).f64(0).f64(0).f64(1).f64(0);                // 10
  out.u16(0x8005).base(kV, OnLayer(0, 1)).f64(0).f64(5).f64(1).f64(1).f64(0).i32(8);  // 11
  out.u16(0x8008).base(kV, OnLayer(0, 0)).i32(8).i32(1).i32(124).str("B").u16(1);     // 12
  out.u16(0x8001).base(kV, OnLayer(0, 0)).f64(0).f64(0).f64(0).f64(1);                // 13

  out.i32(0);  // no images
  return out.bytes();
}

}  // namespace penmorph::testing
