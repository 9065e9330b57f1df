#pragma once

// The words of the command line: every command's options, read in one place (through CLI11),
// the usage each command's --help prints, and the one form of a usage error.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/language.h"
#include "cli/source_arguments.h"

namespace penmorph {

// What the arguments ask for. A command reads the options it takes; the others stay unset.
struct CommandLine {
  std::string command;                     // convert, info, inventory, check, survey or render
  std::optional<std::string> destination;  // --dest
  std::optional<std::string> tables_file;  // --settings or --ini
  SourceSelection selection;               // -r and --type
  std::optional<unsigned> jobs;            // -j N: files converted at once
  bool json = false;                       // JSON instead of lines
  bool csv = false;                        // survey: CSV instead of lines
  bool dry_run = false;                    // read and remap, write nothing: no --dest needed
  bool after = false;                      // render as the tables would write the file
  bool black = false;                      // render on black
  std::optional<std::string> out_file;     // --out: render's picture
  std::vector<std::string> files;
  Language language = Language::kEnglish;  // --lang, or the user's language
};

// Reads `args` (the arguments after the program's name, as UTF-8) into `line`; --type and the
// usage name the formats of `formats`; `language` is the user's, which --lang overrides. When
// there is nothing to run - the help or the version was asked for and printed on `out`, or a
// usage error was reported on `err` - the exit status instead.
std::optional<int> ParseCommandLine(const std::vector<std::string>& args,
                                    const FormatRegistry& formats, CommandLine& line,
                                    std::ostream& out, std::ostream& err,
                                    Language language = Language::kEnglish);

// Reports a usage error of `command` (empty: of no command in particular) on `err`, the same way
// for every command, and gives the exit status.
int UsageError(std::ostream& err, Language language, std::string_view command,
               std::string_view problem);

}  // namespace penmorph
