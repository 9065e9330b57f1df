#include "cli/json_output.h"

#include "common/text.h"
#include "common/text_decoding.h"

namespace penmorph {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// One part of a path; false when some of its bytes were read as U+FFFD.
bool AppendPart(std::string_view part, std::string& text) {
  if (IsValidUtf8(part)) {
    text += part;
    return true;
  }
  const std::string decoded = ShiftJisToUtf8(part);
  if (!IsValidUtf8(decoded)) {  // no decoder at hand: the bytes came back as they were
    text += kReplacement;
    return false;
  }
  text += decoded;
  return decoded.find(kReplacement) == std::string::npos;
}

// The text of `bytes`, and whether all of it was read. No byte of a Shift-JIS character is a
// slash, so the parts of a path are read one by one: a UTF-8 folder keeps its name whatever its
// files are called.
bool ReadText(std::string_view bytes, std::string& text) {
  bool whole = true;
  while (true) {
    const std::size_t slash = bytes.find('/');
    whole = AppendPart(bytes.substr(0, slash), text) && whole;
    if (slash == std::string_view::npos) {
      return whole;
    }
    text += '/';
    bytes.remove_prefix(slash + 1);
  }
}

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(bytes.size() * 2);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0x0F];
  }
  return hex;
}

}  // namespace

std::string JsonText(std::string_view bytes) {
  std::string text;
  ReadText(bytes, text);
  return text;
}

void PutName(Json& object, const std::string& key, std::string_view bytes) {
  std::string text;
  const bool whole = ReadText(bytes, text);
  object[key] = std::move(text);
  if (!whole) {
    object[key + "_bytes"] = Hex(bytes);
  }
}

std::string JsonDump(const Json& value) {
  // Every string went through JsonText; should one not have, its bad bytes print as U+FFFD
  // rather than end the run.
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace penmorph
