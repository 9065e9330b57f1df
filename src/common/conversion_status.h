#pragma once

// The outcome of converting one file: done, or the stage that failed with its error, so that the
// user is told whether the file could not be read, not be remapped or not be written.

#include <optional>
#include <utility>

#include "common/result.h"

namespace penmorph {

enum class ConversionStage { kRead, kRemap, kWrite };

class [[nodiscard]] ConversionStatus {
 public:
  static ConversionStatus Ok() { return {}; }
  static ConversionStatus Failed(ConversionStage stage, Error error) {
    ConversionStatus status;
    status.stage_ = stage;
    status.error_ = std::move(error);
    return status;
  }
  // A failed Status at `stage`; Ok for an ok one.
  static ConversionStatus At(ConversionStage stage, const Status& status) {
    return status.ok() ? Ok() : Failed(stage, status.error());
  }

  bool ok() const { return !error_.has_value(); }
  ConversionStage stage() const { return stage_; }
  const Error& error() const { return *error_; }

 private:
  ConversionStage stage_ = ConversionStage::kRead;
  std::optional<Error> error_;
};

}  // namespace penmorph
