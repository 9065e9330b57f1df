#include "jw_test_bytes.h"

namespace penmorph::testing {

ByteBuilder& ByteBuilder::base(int version, const jw::EntityBase& b) {
  i32(b.Group).u8(b.PenStyle).u16(b.PenColor);
  if (version > 350) {
    u16(b.PenWidth);
  }
  return u16(b.Layer).u16(b.LayerGroup).u16(b.Flags);
}

HeaderOffsets AppendJwwHeader(ByteBuilder& out, int v, const HeaderValues& values) {
  HeaderOffsets at;
  out.raw("JwwData.").i32(v).str(values.memo);
  out.pattern(8);         // item 4
  out.pattern(16 * 148);  // item 5: layer groups with their layers
  at.reserved6 = out.size();
  out.zeros(56);  // item 6
  at.dim_setting_colors = out.size();
  out.i32(values.dim_setting_colors).pattern(16);  // item 7
  at.reserved8 = out.size();
  out.i32(0);  // item 8
  at.limited9 = out.size();
  out.i32(values.limited9);  // item 9
  out.pattern(72);           // item 10
  for (int i = 0; i < 256 + 16; ++i) {
    out.str(values.layer_name);  // items 11, 12
  }
  out.pattern(28);  // item 13
  if (v >= 300) {
    out.pattern(16);  // item 14
  }
  out.pattern(52);                     // item 15
  out.pattern(v > 230 ? 280 : 96);     // item 16
  out.pattern(168 + 160 + 128 + 164);  // items 17-20
  out.pattern(40);                     // item 21a
  at.settings_b = out.size();
  out.i32(values.settings_b != -1 ? values.settings_b : v >= 600 ? 13 : 3);  // item 21b
  if (v >= 223) {
    out.pattern(60);
  }
  if (v >= 225) {
    out.pattern(32);
  }
  if (v >= 230) {
    out.pattern(8);
  }
  if (v >= 420) {
    out.pattern(257 * 8);  // item 22
    for (int i = 0; i < 257; ++i) {
      out.str("color").pattern(16);
    }
    out.pattern(33 * 16);  // item 23
    for (int i = 0; i < 33; ++i) {
      out.str("type").pattern(84);
    }
  }
  at.text_kinds = out.size();
  for (int i = 0; i < 10; ++i) {  // item 24
    out.pattern(24).i32(values.text_kind_color);
  }
  out.pattern(100);  // item 25
  at.end = out.size();
  return at;
}

std::string EmptyJww(int version, const HeaderValues& values) {
  ByteBuilder out;
  AppendJwwHeader(out, version, values);
  out.u16(0).u16(0);  // no entities, no block definitions
  if (version >= 700) {
    out.i32(0);  // no images
  }
  return out.bytes();
}

std::string JwwWithImage() {
  ByteBuilder out;
  AppendJwwHeader(out, 700);
  out.u16(1).new_class("CDataMoji", 700);
  jw::EntityBase base;
  base.PenColor = 1;
  base.PenStyle = 1;
  out.base(700, base).f64(0).f64(0).f64(10).f64(0).i32(0).f64(2).f64(2).f64(0).f64(0);
  out.str("font").str("^@BM%temp%pic.bmp,100,100,0,0,1,0");
  out.u16(0);  // no block definitions
  out.i32(1).str("pic.bmp").i32(6).raw("BMxyzw");
  return out.bytes();
}

void AppendJwsHeader(ByteBuilder& out, int version) {
  out.raw("JwsData").pattern(193).i32(version).pattern(16 + 16 * 8 + 24 + 80);
}

std::string JwsWithOneLine(int version) {
  ByteBuilder out;
  AppendJwsHeader(out, version);
  jw::EntityBase base;
  base.PenColor = 2;
  base.PenStyle = 2;
  out.u16(1).new_class("CDataSen", version).base(version, base).f64(0).f64(0).f64(5).f64(5);
  out.u16(0);
  return out.bytes();
}

Status ReadJwwBytes(const std::string& bytes, jw::JwwWorkspace& workspace) {
  auto in =
      ByteReader::FromMemory({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return jw::JwwRead(in, workspace);
}

namespace {
std::string AsString(const VectorSink& sink) {
  return std::string(sink.bytes().begin(), sink.bytes().end());
}
}  // namespace

std::string WriteJwwBytes(jw::JwwWorkspace& workspace) {
  VectorSink sink;
  ByteWriter out(sink);
  Status status = jw::JwwWrite(out, workspace);
  return status.ok() ? AsString(sink) : "write failed: " + status.error().Describe();
}

std::string WriteJwwBytesAsRead(jw::JwwWorkspace& workspace) {
  VectorSink sink;
  ByteWriter out(sink);
  Status status = jw::JwwWriteAsRead(out, workspace);
  return status.ok() ? AsString(sink) : "write failed: " + status.error().Describe();
}

std::int32_t I32At(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return static_cast<std::int32_t>(value);
}

}  // namespace penmorph::testing
