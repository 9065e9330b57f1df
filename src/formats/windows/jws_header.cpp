#include "formats/windows/jws_header.h"

#include <span>
#include <string>

namespace penmorph::jw {

namespace {
constexpr std::size_t kFillerSize = 193;
}  // namespace

void ReadJwsHeader(ByteReader& in, JwsHeader& h) {
  in.read_bytes(h.magic);
  in.skip(kFillerSize);  // what stood there is not written back
  h.version = in.read_i32le();
  in.read_bytes(h.values_ab);
  for (TLayerGroup& group : h.layer_groups) {
    in.read_bytes(std::span(group.values).subspan(kGroupScaleOffset, sizeof(double)));
  }
  in.read_bytes(h.integers);
  in.read_bytes(h.values);
}

void WriteJwsHeader(ByteWriter& out, const JwsHeader& h) {
  out.write_bytes(h.magic);
  out.write_bytes(std::string(kFillerSize, '.'));
  out.write_i32le(h.version);
  out.write_bytes(h.values_ab);
  for (const TLayerGroup& group : h.layer_groups) {
    out.write_bytes(std::span(group.values).subspan(kGroupScaleOffset, sizeof(double)));
  }
  out.write_bytes(h.integers);
  out.write_bytes(h.values);
}

std::int32_t NormalizedJwsVersion(std::int32_t version) {
  if (version <= 230) {
    return 230;
  }
  return version == 300 ? 351 : version;
}

}  // namespace penmorph::jw
