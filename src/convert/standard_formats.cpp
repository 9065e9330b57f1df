#include "convert/standard_formats.h"

#include <memory>

#include "formats/windows/jww_format.h"

namespace penmorph {

FormatRegistry MakeStandardFormats() {
  FormatRegistry registry;
  registry.Add(std::make_unique<jw::JwwFormat>());
  return registry;
}

}  // namespace penmorph
