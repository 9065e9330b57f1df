#pragma once

// Builds Windows-format bytes for tests, field by field, from the layout as jw_cad writes it -
// independently of the production writer, so that a test can catch the two agreeing on a wrong
// layout.

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

#include "common/byte_reader.h"
#include "common/byte_writer.h"
#include "formats/windows/entity_base.h"
#include "reference/jww_file.h"

namespace penmorph::testing {

class ByteBuilder {
 public:
  ByteBuilder& u8(int v) {
    data_ += static_cast<char>(v & 0xFF);
    return *this;
  }
  ByteBuilder& u16(int v) { return u8(v).u8(v >> 8); }
  ByteBuilder& u32(std::uint32_t v) {
    return u16(static_cast<int>(v & 0xFFFF)).u16(static_cast<int>(v >> 16));
  }
  ByteBuilder& i32(std::int32_t v) { return u32(static_cast<std::uint32_t>(v)); }
  ByteBuilder& f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
  }
  ByteBuilder& raw(const std::string& bytes) {
    data_ += bytes;
    return *this;
  }
  // A byte string in the short, 16-bit or 32-bit form.
  ByteBuilder& str(const std::string& bytes) {
    if (bytes.size() < 255) {
      u8(static_cast<int>(bytes.size()));
    } else if (bytes.size() < 0xFFFE) {
      u8(255).u16(static_cast<int>(bytes.size()));
    } else {
      u8(255).u16(0xFFFF).u32(static_cast<std::uint32_t>(bytes.size()));
    }
    return raw(bytes);
  }
  // A run of distinct bytes standing for values the converter carries without reading them;
  // any shift of a later field by even one byte shows.
  ByteBuilder& pattern(std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      u8(static_cast<int>(next_++ % 251));
    }
    return *this;
  }
  ByteBuilder& zeros(std::size_t n) {
    data_.append(n, '\0');
    return *this;
  }
  ByteBuilder& base(int version, const jw::EntityBase& b);
  // A new-class tag: 0xFFFF, schema, name length, name.
  ByteBuilder& new_class(const std::string& name, int schema) {
    return u16(0xFFFF).u16(schema).u16(static_cast<int>(name.size())).raw(name);
  }

  std::size_t size() const { return data_.size(); }
  const std::string& bytes() const { return data_; }

 private:
  std::string data_;
  std::uint32_t next_ = 1;
};

// Offsets of the header items a test looks at.
struct HeaderOffsets {
  std::size_t reserved6 = 0;
  std::size_t dim_setting_colors = 0;
  std::size_t reserved8 = 0;
  std::size_t limited9 = 0;
  std::size_t settings_b = 0;
  std::size_t text_kinds = 0;
  std::size_t end = 0;
};

struct HeaderValues {
  std::string memo = "memo";
  std::string layer_name = "L";  // every layer and group name
  std::int32_t dim_setting_colors = 0;
  std::int32_t limited9 = 0;
  std::int32_t settings_b = -1;  // -1: a value every version writes back unchanged
  std::int32_t text_kind_color = 1;
};

// A JWW header of `version` in file order, opaque items filled with a byte pattern and the
// reserved ones with zeros.
HeaderOffsets AppendJwwHeader(ByteBuilder& out, int version, const HeaderValues& values = {});

// An empty drawing: header, no entities, no block definitions, no images.
std::string EmptyJww(int version, const HeaderValues& values = {});

// Version 700, one text that refers to one embedded image of 6 bytes ("pic.bmp").
std::string JwwWithImage();

// The 452-byte header of a JWS symbol of `version`, zero values.
void AppendJwsHeader(ByteBuilder& out, int version);
// A symbol of one line.
std::string JwsWithOneLine(int version);

Status ReadJwwBytes(const std::string& bytes, jw::JwwWorkspace& workspace);
std::string WriteJwwBytes(jw::JwwWorkspace& workspace);
std::string WriteJwwBytesAsRead(jw::JwwWorkspace& workspace);

std::int32_t I32At(const std::string& bytes, std::size_t offset);

}  // namespace penmorph::testing
