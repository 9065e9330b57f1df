#pragma once

// A display list as an SVG picture: drawing coordinates with y turned up, the background, then
// solids, lines, arcs, points and texts in their pens. Written by hand: the picture needs a
// handful of elements, no library.

#include <ostream>

#include "preview/display_list.h"

namespace penmorph::preview {

// `pixels`: the longer side of the picture as a viewer first shows it.
void WriteSvg(std::ostream& out, const DisplayList& list, int pixels = 1200);

}  // namespace penmorph::preview
