#pragma once

// penmorph-cli: the converter for scripts, and what lets a script look before it converts.
//
//   penmorph-cli convert --dest DIR [--settings FILE | --ini FILE] [-r] [-j N] [--type LIST]
//                        [--json] FILE|FOLDER...
//   penmorph-cli convert --dry-run [--settings FILE | --ini FILE] [-r] [--type LIST] FILE...
//   penmorph-cli info FILE...
//   penmorph-cli inventory [--settings FILE | --ini FILE] [-r] [--type LIST] [--json] FILE...
//   penmorph-cli check (--settings FILE | --ini FILE) [-r] [--type LIST] [--json] FILE...
//   penmorph-cli render [--settings FILE | --ini FILE] [--after] [--black] FILE --out SVG
//
// The options of every command are read in one place, cli/command_line.cpp, which also holds
// the usage --help prints.
//
// Exit status: 0 all went well, 1 a file failed, 2 a usage error or an unusable DIR, 130 stopped
// by Ctrl+C (after the files in hand, each complete or untouched).

#include <atomic>
#include <ostream>
#include <string>
#include <vector>

#include "cli/language.h"
#include "convert/format_registry.h"

namespace penmorph {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;  // as shells report a program ended by SIGINT

// What the program's surroundings tell the command line.
struct CliContext {
  const std::atomic<bool>* stop = nullptr;  // set once the user asked the run to stop (Ctrl+C)
  bool progress = false;                    // stderr is a terminal: show a progress line there
  Language language = Language::kEnglish;   // the user's (UserLanguage); --lang overrides it
};

// `args` holds the arguments after the program name, as UTF-8 (the platform's own bytes on
// Linux).
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const FormatRegistry& formats, const CliContext& context = {});

}  // namespace penmorph
