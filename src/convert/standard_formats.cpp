#include "convert/standard_formats.h"

namespace penmorph {

FormatRegistry MakeStandardFormats() {
  FormatRegistry registry;
  // Formats are added here as they are built; files of the others are passed over.
  return registry;
}

}  // namespace penmorph
