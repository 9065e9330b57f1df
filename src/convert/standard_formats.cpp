#include "convert/standard_formats.h"

#include "formats/dos/dos_formats.h"

namespace penmorph {

FormatRegistry MakeStandardFormats() {
  FormatRegistry registry;
  // Formats are added here as they are built; files of the others are passed over.
  registry.Add(std::make_unique<JwcFormat>());
  registry.Add(std::make_unique<JwkFormat>());
  return registry;
}

}  // namespace penmorph
