#pragma once

// Every JSON the command line prints is made by nlohmann-json. What the library cannot know is
// how to read the bytes of a name that is not UTF-8: that is here.

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace penmorph {

// Objects keep their members in the order they were put, the order scripts have always seen.
using Json = nlohmann::ordered_json;

// Text as a JSON string takes it: UTF-8 as it is; a part between slashes that is not UTF-8 is
// read as Shift-JIS, as the names of archives from Windows are; bytes neither reads become
// U+FFFD.
std::string JsonText(std::string_view bytes);

// Puts a name under `key` as JsonText reads it. When some of its bytes could not be read, a
// member `key`_bytes follows with all of them in hex, so that a script can still find the file.
void PutName(Json& object, const std::string& key, std::string_view bytes);

// `value` on one line.
std::string JsonDump(const Json& value);

}  // namespace penmorph
