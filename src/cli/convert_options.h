#pragma once

// The options of `penmorph-cli convert`, parsed from what follows the command.

#include <optional>
#include <string>
#include <vector>

#include "convert/format_registry.h"

namespace penmorph {

struct ConvertOptions {
  std::string destination;
  bool has_destination = false;
  std::optional<std::string> tables_file;  // --settings or --ini
  bool recursive = false;                  // -r: folders convert their whole tree
  std::optional<unsigned> jobs;            // -j N: files converted at once
  bool json = false;                       // a JSON object per file instead of a line
  std::vector<std::string> types;          // --type: extensions, upper case with the dot
  std::vector<std::string> files;
  bool dry_run = false;  // read and remap, write nothing: no destination needed
};

// Fills `options` from the arguments after "convert" (--type: extensions of `formats`); the usage
// error's text otherwise.
std::optional<std::string> ParseConvertOptions(const std::vector<std::string>& args,
                                               const FormatRegistry& formats,
                                               ConvertOptions& options);

}  // namespace penmorph
