#pragma once

// The commands that read without writing a drawing: `inventory`, `render` and the dry run of
// `convert`.
//
//   penmorph-cli inventory [--settings FILE | --ini FILE] [-r] [--type LIST] [--json] FILE...
//   penmorph-cli render [--settings FILE | --ini FILE] [--after] [--black] FILE --out SVG
//   penmorph-cli convert --dry-run [--settings FILE | --ini FILE] [-r] [--type LIST] FILE...

#include <ostream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/json_output.h"
#include "cli/source_arguments.h"
#include "convert/format_registry.h"
#include "settings/conv_settings.h"

namespace penmorph {

// The commands, their options read.
int RunInventoryCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                        const FormatRegistry& formats);
int RunRenderCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                     const FormatRegistry& formats);

// A table per file and a total, or the same as JSON, for the files as they are found. The
// tables' words stay English in every language; the reasons follow `language`.
int PrintInventories(SourceCursor& files, const ConversionTables& tables, bool json,
                     std::ostream& out, const FormatRegistry& formats,
                     Language language = Language::kEnglish);

// Reads and remaps each file as a conversion would and says how many entities would change;
// writes nothing.
int PrintDryRun(SourceCursor& files, const ConversionTables& tables, std::ostream& out,
                const FormatRegistry& formats, Language language = Language::kEnglish);

// What the reading commands share: the tables loaded, the FILEs and FOLDERs checked, `read` run
// over the files as they are found, and the folders that could not be read told of; the exit
// status.
using ReadFiles = int (*)(SourceCursor& files, const ConversionTables& tables,
                          const CommandLine& line, std::ostream& out,
                          const FormatRegistry& formats);
int ReadEachSource(const CommandLine& line, std::ostream& out, std::ostream& err,
                   const FormatRegistry& formats, ReadFiles read);

// Loads the tables of a settings or ini file named on the command line; false (after saying
// why) when it cannot be read.
// "12 entities move onto hidden layers": what the inventory, the dry run and check say when the
// tables hide entities.
// In Japanese, the window's words.
std::string MovedToHiddenLine(std::uint64_t count, Language language = Language::kEnglish);
// "name \"*壁*\" -> 0-2: 120 moved from 0-3, 0-5", a line for each rule by name that took a
// layer; and a line when the file names no layers for the rules to take. In Japanese, the
// window's words.
std::vector<std::string> NameRuleLines(const preview::Inventory& inventory,
                                       Language language = Language::kEnglish);
// The same as JSON: a list of {pattern, target, layers, moved}.
Json JsonNameRules(const preview::Inventory& inventory);

bool LoadTablesOption(const std::string& file, ConversionTables& tables, std::ostream& err,
                      Language language);

}  // namespace penmorph
