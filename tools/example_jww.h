#pragma once

#include <string>

namespace penmorph::examples {

// A small JWW drawing of a room: walls in colours 1 and 2 with line types 1 and 2, a door arc,
// a dimension, a text and a block. Returns the bytes, or an empty string if it cannot be built.
std::string ExampleJwwDrawing();

// A small JWS symbol of a chair: lines in colour 2 with line type 2 and a text.
std::string ExampleJwsSymbol();

}  // namespace penmorph::examples
