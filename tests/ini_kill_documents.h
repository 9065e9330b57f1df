#pragma once

#include <string>

#include "settings/ini_document.h"

namespace penmorph::testing {

// The two settings documents the save-kill test writes in turn: long enough that a kill often
// strikes while the temporary file is being written. `which` is 1 or 2.
inline IniDocument IniKillDocument(int which) {
  // Parsed from its text: setting 20,000 keys one by one would take the saving program seconds
  // to start.
  std::string text = "[Set]\n";
  const std::string value = which == 1 ? "first value " : "second ";
  for (int i = 0; i < 20000; ++i) {
    text.append("K").append(std::to_string(i)).append("=").append(value);
    text.append(std::to_string(i)).append("\n");
  }
  return IniDocument::Parse(text);
}

}  // namespace penmorph::testing
