#include "formats/standard_formats.h"

#include <memory>

#include "formats/dos/dos_formats.h"
#include "formats/windows/jww_format.h"

namespace penmorph {

FormatRegistry MakeStandardFormats() {
  FormatRegistry registry;
  registry.Add(std::make_unique<jw::JwwFormat>());
  registry.Add(std::make_unique<jw::JwsFormat>());
  registry.Add(std::make_unique<jw::JwcFormat>());
  registry.Add(std::make_unique<jw::JwkFormat>());
  return registry;
}

}  // namespace penmorph
