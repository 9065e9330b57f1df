#pragma once

// Drawings for the preview and inventory tests, built byte by byte.

#include <string>

namespace penmorph::testing {

// A version-700 JWW drawing with one entity of each kind and two block definitions:
//   line      colour 2, type 2: (0,0)-(10,0)
//   arc       colour 3, type 1: centre (20,0), radius 5, from 90 degrees over 180, flatness 0.5
//   point     colour 4 at (1,2)
//   text      colour 5: "AB" from (0,10) to (8,10), 3 high
//   dimension line colour 6 type 3 (0,-5)-(10,-5); text colour 7 "10" from (4,-4) to (6,-4);
//             lines colour 6 (0,-5)-(0,0) and (10,-5)-(10,0); points colour 6 at (0,-5) and
//             (10,-5); two unused points (colour 0)
//   solid     colour 10, its own colour red: (30,0) (40,0) (40,10) (30,10)
//   insertion colour 2 of definition 7 at (100,0), scale 2, turned 90 degrees
// Definition 7: a line colour 2 type 1 (0,0)-(1,0), and an insertion of definition 8 at (0,5).
// Definition 8: a whole circle colour 3 at (0,0), radius 1.
// Text kinds have colour 1, the dimension colours are 321.
std::string JwwOfEveryKind();

// A version-700 JWW drawing whose header hides layer 0-1 and group 1 (every other layer and
// group shown, group 0 the one being written), of lines of colour 2 one unit long:
//   main list  0-0: (0,0)-(10,0)   0-1: (0,1)-(10,1)   1-0: (0,2)-(10,2)
//              0-0: insertion of definition 7 at (100,0); 0-1: of definition 8 at (200,0)
//   definition 7: 0-1: (0,0)-(1,0), and on 0-1 an insertion of definition 8 at (0,5)
//   definition 8: 0-0: (0,0)-(0,1)
std::string JwwWithHiddenLayers();

}  // namespace penmorph::testing
