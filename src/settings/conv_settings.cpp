#include "settings/conv_settings.h"

namespace penmorph {

int JwcConvSettings::PenEntry(int pen) {
  return pen >= 1 && pen <= 6 ? pen : 0;
}

int JwcConvSettings::LineTypeEntry(int type) {
  if (type >= 1 && type <= 9) {
    return type + 6;
  }
  if (type >= 11 && type <= 18) {
    return type + 5;  // the DOS formats have no line type 10
  }
  return 0;
}

int JwwConvSettings::ColorEntry(std::int32_t code) {
  if (code >= 1 && code <= 9) {
    return code;
  }
  if (code >= 101 && code <= 356) {
    return code - 91;  // SXF colour n is code 100 + n, entries 10 onwards
  }
  return 0;
}

int JwwConvSettings::LineTypeEntry(int code) {
  if (code >= 1 && code <= 9) {
    return code + 265;
  }
  if (code >= 11 && code <= 19) {
    return code + 264;
  }
  if (code >= 31 && code <= 45) {
    return code + 253;  // SXF line types 1-15
  }
  if (code >= 47 && code <= 62) {
    return code + 252;  // SXF user-defined 17-32; SXF 16 (code 46) has no entry
  }
  return 0;
}

std::int32_t MapJwcPen(const JwcConvSettings& table, std::uint8_t pen) {
  int entry = JwcConvSettings::PenEntry(pen);
  return entry == 0 ? 1 : table.Through(entry, pen);
}

std::int32_t MapJwcLineType(const JwcConvSettings& table, std::uint8_t type) {
  int entry = JwcConvSettings::LineTypeEntry(type);
  return entry == 0 ? 1 : table.Through(entry, type);
}

std::int32_t MapJwwColor(const JwwConvSettings& table, std::int32_t code) {
  int entry = JwwConvSettings::ColorEntry(code);
  return entry == 0 ? 1 : table.Through(entry, code);
}

std::int32_t MapJwwLineType(const JwwConvSettings& table, std::uint8_t code) {
  int entry = JwwConvSettings::LineTypeEntry(code);
  return entry == 0 ? 1 : table.Through(entry, code);
}

std::string EntryKey(int number) {
  return "C" + std::to_string(number);
}

}  // namespace penmorph
