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

// What a standards check makes of a file: a drawing the tables leave alone conforms; one they
// would change, or refuse to be applied to (the file was read), does not; a file that cannot be
// read failed; a file that is no drawing is passed over, neither conforming nor failing.
enum class CheckVerdict { kConforms, kDiffers, kFailed, kPassedOver };
CheckVerdict VerdictOf(const Result<preview::Inventory>& inventory);

struct CheckCounts {
  std::size_t conform = 0;
  std::size_t differ = 0;
  std::size_t failed = 0;
  std::size_t passed_over = 0;

  void Add(CheckVerdict verdict);
  std::size_t Total() const { return conform + differ + failed + passed_over; }
  // Every drawing read conforms: what a check's exit status tells.
  bool AllConform() const { return differ == 0 && failed == 0; }
};

Result<std::shared_ptr<const preview::Drawing>> DrawFile(const FormatRegistry& formats,
                                                         const std::filesystem::path& file);

}  // namespace penmorph
