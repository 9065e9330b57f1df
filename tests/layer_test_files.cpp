#include "layer_test_files.h"

#include <cstring>
#include <numbers>

#include "jw_test_bytes.h"

namespace penmorph::testing {

namespace {

constexpr int kLayerFileVersion = 700;
constexpr std::size_t kGroupBytes = 20 + 16 * 8;  // four values with the scale, then 16 layers

jw::EntityBase On(int group, int layer, int color = 2) {
  jw::EntityBase base;
  base.PenColor = static_cast<std::uint16_t>(color);
  base.PenStyle = 1;
  base.LayerGroup = static_cast<std::uint16_t>(group);
  base.Layer = static_cast<std::uint16_t>(layer);
  return base;
}

void Put(std::string& bytes, std::size_t at, const void* value, std::size_t size) {
  std::memcpy(bytes.data() + at, value, size);
}

// Item 5 rewritten with the states and scales above.
void SetLayerStates(std::string& bytes, std::size_t item5) {
  for (int group = 0; group < 16; ++group) {
    const std::size_t at = item5 + static_cast<std::size_t>(group) * kGroupBytes;
    const std::int32_t state = group == 3 ? 0 : 2;
    const double scale = group == 2 ? 50 : 100;
    Put(bytes, at, &state, 4);
    Put(bytes, at + 8, &scale, 8);
    for (int layer = 0; layer < 16; ++layer) {
      const bool hidden = (group == 1 && layer == 4) || (group == 0 && layer == 6);
      const std::int32_t layer_state = hidden ? 0 : 2;
      Put(bytes, at + 20 + static_cast<std::size_t>(layer) * 8, &layer_state, 4);
    }
  }
}

void TextBody(ByteBuilder& out) {
  out.f64(4).f64(-4).f64(6).f64(-4).i32(1);
  out.f64(1).f64(1).f64(0).f64(0);
  out.str("font").str("10");
}

}  // namespace

std::string JwwOnLayers() {
  ByteBuilder out;
  const HeaderOffsets at = AppendJwwHeader(out, kLayerFileVersion);
  out.u16(4);
  out.new_class("CDataSen", kLayerFileVersion).base(kLayerFileVersion, On(0, 1)).f64(0).f64(0).f64(10).f64(0);  // 1, 2
  const jw::EntityBase dim = On(0, 2, 6);
  out.new_class("CDataSunpou", kLayerFileVersion).base(kLayerFileVersion, dim);  // 3, 4
  out.base(kLayerFileVersion, dim).f64(0).f64(-5).f64(10).f64(-5);
  out.base(kLayerFileVersion, dim);
  TextBody(out);
  out.u16(0);
  out.base(kLayerFileVersion, dim).f64(0).f64(-5).f64(0).f64(0);
  out.base(kLayerFileVersion, dim).f64(10).f64(-5).f64(10).f64(0);
  for (int i = 0; i < 4; ++i) {
    out.base(kLayerFileVersion, dim).f64(0).f64(-5).i32(0);
  }
  out.new_class("CDataBlock", kLayerFileVersion).base(kLayerFileVersion, On(0, 1));  // 5, 6
  out.f64(100).f64(0).f64(1).f64(1).f64(0).i32(7);
  out.u16(0x8001).base(kLayerFileVersion, On(0, 6)).f64(0).f64(1).f64(10).f64(1);  // 7

  out.u16(1);
  out.new_class("CDataList", kLayerFileVersion).base(kLayerFileVersion, On(0, 3)).i32(7).i32(1).i32(123).str("A").u16(2);  // 8, 9
  out.u16(0x8001).base(kLayerFileVersion, On(0, 3)).f64(0).f64(0).f64(1).f64(0);                            // 10
  out.new_class("CDataEnko", kLayerFileVersion).base(kLayerFileVersion, On(0, 3, 3));  // 11, 12
  out.f64(0).f64(0).f64(1).f64(0).f64(2 * std::numbers::pi).f64(0).f64(1).i32(1);
  out.i32(0);  // no images

  std::string bytes = out.bytes();
  SetLayerStates(bytes, at.reserved6 - 16 * kGroupBytes);
  return bytes;
}

}  // namespace penmorph::testing
