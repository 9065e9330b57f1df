#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

namespace penmorph {

// `penmorph-cli convert ...`: `args` starts with "convert". Usage errors go through
// `usage_error`, which prints the message and the usage and gives the exit status.
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const FormatRegistry& formats, const CliContext& context,
               int (*usage_error)(std::ostream& err, std::string_view message));

}  // namespace penmorph
