#pragma once

// The inventory of a JWW drawing or JWS symbol: a visitor of the one reader counts each record,
// remaps and moves it with the conversion's own rules and counts it again.

#include "common/byte_reader.h"
#include "common/result.h"
#include "preview/inventory.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

Result<preview::Inventory> JwwInventory(ByteReader& in, const JwwConvSettings& table,
                                        const LayerTable& layers = {});
Result<preview::Inventory> JwsInventory(ByteReader& in, const JwwConvSettings& table,
                                        const LayerTable& layers = {});

}  // namespace penmorph::jw
