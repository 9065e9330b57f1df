#pragma once

#include <string>

namespace penmorph::examples {

// A small JWW drawing of a room: walls in colours 1 and 2 with line types 1 and 2, a door arc,
// a dimension, a text and a block. Returns the bytes, or an empty string if it cannot be built.
std::string ExampleJwwDrawing();

// A JWW plan whose header hides some of its layers, as jw_cad keeps views of a building one
// over another: walls on the shown layer 0-0, furniture on the hidden layer 0-1, an elevation in
// the hidden group 1, and a door block whose members lie on 0-1, inserted once on the shown 0-0
// (drawn, as jw_cad draws a block by its insertion's layer) and once on 0-1 (not drawn).
std::string ExampleLayeredDrawing();

// A small JWS symbol of a chair: lines in colour 2 with line type 2 and a text.
std::string ExampleJwsSymbol();

}  // namespace penmorph::examples
