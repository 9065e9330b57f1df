#pragma once

// Inventories and preview geometry of JWC drawings and JWK symbols, from their workspaces.

#include "common/byte_reader.h"
#include "common/result.h"
#include "preview/drawing.h"
#include "preview/inventory.h"
#include "settings/conv_settings.h"

namespace penmorph::jw {

Result<preview::Inventory> JwcInventory(ByteReader& in, const JwcConvSettings& table);
Result<preview::Inventory> JwkInventory(ByteReader& in, const JwcConvSettings& table);

Result<preview::Drawing> DrawJwc(ByteReader& in);
Result<preview::Drawing> DrawJwk(ByteReader& in);

}  // namespace penmorph::jw
