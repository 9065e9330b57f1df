#include "cli/convert_options.h"

#include <charconv>
#include <string_view>

#include "cli/source_arguments.h"

namespace penmorph {

namespace {

constexpr unsigned kMostJobs = 256;

}  // namespace

std::optional<std::string> ParseConvertOptions(const std::vector<std::string>& args,
                                               const FormatRegistry& formats,
                                               ConvertOptions& options) {
  bool options_done = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-") {
      options.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    if (arg == "-r" || arg == "--recursive") {
      options.recursive = true;
      continue;
    }
    if (arg == "--json") {
      options.json = true;
      continue;
    }
    if (arg == "--dry-run") {
      options.dry_run = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> value;
    if (auto equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    } else if (arg.starts_with("-j") && arg.size() > 2) {
      name = "-j";  // -j4
      value = arg.substr(2);
    }
    if (name != "--dest" && name != "--settings" && name != "--ini" && name != "-j" &&
        name != "--jobs" && name != "--type") {
      return "unknown option " + arg;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        return name + " needs a value";
      }
      value = args[++i];
    }
    if (name == "--dest") {
      if (options.has_destination) {
        return "--dest given twice";
      }
      options.destination = *value;
      options.has_destination = true;
    } else if (name == "-j" || name == "--jobs") {
      unsigned jobs = 0;
      const char* end = value->data() + value->size();
      auto [at, error] = std::from_chars(value->data(), end, jobs);
      if (error != std::errc() || at != end || jobs < 1 || jobs > kMostJobs) {
        return name + " takes a number of files from 1 to " + std::to_string(kMostJobs);
      }
      options.jobs = jobs;
    } else if (name == "--type") {
      if (auto problem = ParseTypeList(*value, formats, options.types)) {
        return problem;
      }
    } else {
      if (options.tables_file) {
        return "give one of --settings and --ini, once";
      }
      options.tables_file = *value;
    }
  }
  if (!options.has_destination && !options.dry_run) {
    return "convert needs --dest DIR";
  }
  if (options.files.empty()) {
    return "convert needs at least one FILE";
  }
  return std::nullopt;
}

}  // namespace penmorph
