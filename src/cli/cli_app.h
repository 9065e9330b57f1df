#pragma once

// penmorph-cli: the converter for scripts.
//
//   penmorph-cli convert --dest DIR [--settings FILE | --ini FILE] FILE...
//   penmorph-cli info FILE...
//
// Exit status: 0 all went well, 1 a file failed, 2 a usage error or an unusable DIR.

#include <ostream>
#include <string>
#include <vector>

#include "convert/format_registry.h"

namespace penmorph {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFileFailed = 1;
inline constexpr int kExitUsage = 2;

// `args` holds the arguments after the program name.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const FormatRegistry& formats);

}  // namespace penmorph
