#pragma once

// `penmorph-cli survey`: what an archive holds before an office writes its standard - the
// colours, line types and layer names in use, in how many parts and files, and the files that
// could not be read.
//
//   penmorph-cli survey [-r] [--type LIST] [--json | --csv] FILE|FOLDER...

#include <ostream>

#include "cli/command_line.h"
#include "cli/source_arguments.h"
#include "convert/format_registry.h"

namespace penmorph {

int RunSurveyCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                     const FormatRegistry& formats);

// Reads every file once and prints the totals as lines, JSON or CSV. Exit 1 when a file could not
// be read. The lines and the reasons follow `language`; the JSON's keys and the CSV's columns
// and section names do not.
enum class SurveyForm { kLines, kJson, kCsv };
int PrintSurvey(SourceCursor& files, SurveyForm form, std::ostream& out,
                const FormatRegistry& formats, Language language = Language::kEnglish);

}  // namespace penmorph
