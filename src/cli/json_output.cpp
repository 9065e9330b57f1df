#include "cli/json_output.h"

#include "common/path_text.h"
#include "common/text.h"

namespace penmorph {

std::string JsonText(std::string_view bytes) {
  std::string text;
  ReadNameText(bytes, text);
  return text;
}

void PutName(Json& object, const std::string& key, std::string_view bytes) {
  std::string text;
  const bool whole = ReadNameText(bytes, text);
  object[key] = std::move(text);
  if (!whole) {
    object[key + "_bytes"] = HexBytes(bytes);
  }
}

std::string JsonDump(const Json& value) {
  // Every string went through JsonText; should one not have, its bad bytes print as U+FFFD
  // rather than end the run.
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace penmorph
