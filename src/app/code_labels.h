#pragma once

// How the window and the Japanese command line write a colour code: as the inventory labels it,
// but a solid's own colour by the name jw_cad gives it.

#include <string>

#include "preview/inventory.h"

namespace penmorph::app {

std::string ColorText(preview::CodeFamily family, int code);

}  // namespace penmorph::app
