#pragma once

// The FILE arguments of the commands that take files or (with -r) folders: each argument
// becomes the files it stands for, with the path each has below its argument.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "convert/format_registry.h"

namespace penmorph {

struct SourceFile {
  std::filesystem::path source;
  std::filesystem::path relative;  // below the folder argument; a plain file's own name
  std::string shown;               // the file as reports name it
};

struct SourceSelection {
  bool recursive = false;          // -r: a folder stands for its whole tree
  std::vector<std::string> types;  // --type: extensions, upper case with the dot; empty: all
};

struct ExpandedSources {
  std::vector<SourceFile> files;
  bool trees = false;                   // a folder was walked: outputs need its layout made
  std::vector<std::string> unreadable;  // folders of a tree that could not be listed
};

// Fills `expanded` from the arguments in their order; the usage error's text when a folder is
// given without -r.
std::optional<std::string> ExpandSources(const std::vector<std::string>& arguments,
                                         const SourceSelection& selection,
                                         const FormatRegistry& formats, ExpandedSources& expanded);

// Reads a --type list ("jww,JWS,.jwc") into extensions; the usage error's text otherwise.
std::optional<std::string> ParseTypeList(std::string_view list, std::vector<std::string>& types);

}  // namespace penmorph
