#pragma once

// `penmorph-cli check`: which drawings an office standard would change. A drawing conforms to a
// standard (the tables of a settings or ini file) when the tables would write it as it is.
//
//   penmorph-cli check --settings STD.set [-r] [--type LIST] [--json] FILE|FOLDER...

#include <ostream>

#include "cli/command_line.h"
#include "cli/source_arguments.h"
#include "convert/format_registry.h"
#include "settings/conv_settings.h"

namespace penmorph {

int RunCheckCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                    const FormatRegistry& formats);

// For each file that does not conform, what the tables would change; then the counts. Exit 0
// when every file conforms, 1 when one does not or could not be read. Writes nothing. In
// Japanese the changes, reasons and counts are the window's words; the lines still begin
// "does not conform", "failed" and "passed over", and the JSON keeps its English keys and
// labels.
int PrintCheck(SourceCursor& files, const ConversionTables& tables, bool json, std::ostream& out,
               const FormatRegistry& formats, Language language = Language::kEnglish);

}  // namespace penmorph
