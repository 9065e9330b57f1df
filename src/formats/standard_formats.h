#pragma once

#include "convert/format_registry.h"

namespace penmorph {

// The jw_cad formats this program converts, each with its own working storage. The caller owns
// the registry (the window one, the command line one); nothing here is shared between them.
FormatRegistry MakeStandardFormats();

}  // namespace penmorph
