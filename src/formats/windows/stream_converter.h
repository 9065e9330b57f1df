#pragma once

// The conversion of a JWW drawing or a JWS symbol while it is read. Each part is remapped and
// normalised by the write rules as it comes; a part whose written bytes would be the bytes it
// came from goes out as those bytes, copied in long stretches from the reader's buffer, and only
// the parts that change are written anew. Memory stays the same whatever the size of the file:
// nothing is kept but the names of the images that texts refer to. The output is byte for byte
// what reading the whole file into a workspace, remapping and writing it gives (the reference
// model in testing/, which the tests hold it to).

#include "common/byte_reader.h"
#include "common/byte_sink.h"
#include "common/conversion_status.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

// `layers` moves entities to other layers and (JWW) renames layers and groups.
ConversionStatus ConvertJwwStream(ByteReader& in, const JwwConvSettings& table, ByteSink& out,
                                  const LayerTable& layers = LayerTable{});
ConversionStatus ConvertJwsStream(ByteReader& in, const JwwConvSettings& table, ByteSink& out,
                                  const LayerTable& layers = LayerTable{});

}  // namespace penmorph::jw
