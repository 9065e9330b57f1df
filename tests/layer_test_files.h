#pragma once

// Drawings whose entities stand on layers of known states and scales, built byte by byte.

#include <string>

namespace penmorph::testing {

// A version-700 JWW drawing. Groups are drawn at 1/100 but group 2 at 1/50; group 3 is hidden
// (state 0) and so are layers 1-4 and 0-6; every other group and layer is editable (state 2).
// Every layer and group is named "L".
//   line      colour 2 on 0-1
//   dimension on 0-2, all eight drawn parts on 0-2 (three lines, a text, four points)
//   insertion of definition 7 on 0-1
//   line      colour 2 on 0-6 (hidden already)
// Definition 7, itself on 0-3: a line and a whole circle, both on 0-3.
std::string JwwOnLayers();

}  // namespace penmorph::testing
