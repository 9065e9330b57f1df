#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_app.h"

namespace penmorph {

// Prints the message and the usage, which names the formats, and gives the exit status.
using UsageErrorFunction = int(std::ostream& err, const FormatRegistry& formats,
                               std::string_view message);

// `penmorph-cli convert ...`: `args` starts with "convert". Usage errors go through
// `usage_error`.
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const FormatRegistry& formats, const CliContext& context,
               UsageErrorFunction* usage_error);

}  // namespace penmorph
