#pragma once

#include <ostream>

#include "cli/cli_app.h"
#include "cli/command_line.h"

namespace penmorph {

// `penmorph-cli convert ...`, its options read.
int RunConvert(const CommandLine& line, std::ostream& out, std::ostream& err,
               const FormatRegistry& formats, const CliContext& context);

}  // namespace penmorph
