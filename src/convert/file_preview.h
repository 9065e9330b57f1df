#pragma once

// A file's inventory and preview geometry, from its name: the format found by extension, the
// signature checked, the whole file read.

#include <filesystem>
#include <memory>

#include "common/result.h"
#include "convert/format_registry.h"
#include "preview/drawing.h"
#include "preview/inventory.h"

namespace penmorph {

Result<preview::Inventory> InventoryOfFile(const FormatRegistry& formats,
                                           const std::filesystem::path& file,
                                           const ConversionTables& tables);

Result<std::shared_ptr<const preview::Drawing>> DrawFile(const FormatRegistry& formats,
                                                         const std::filesystem::path& file);

}  // namespace penmorph
