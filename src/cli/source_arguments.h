#pragma once

// The FILE arguments of the commands that take files or (with -r) folders: each argument
// becomes the files it stands for, with the path each has below its argument.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/language.h"
#include "convert/format_registry.h"
#include "convert/source_tree.h"

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

// The usage error's text when a folder is given without -r. `trees` tells whether a folder is
// among the arguments (outputs then need its layout made).
std::optional<std::string> CheckSources(const std::vector<std::string>& arguments,
                                        const SourceSelection& selection, bool& trees,
                                        Language language);

// The files the arguments stand for, one at a time, in the arguments' order: a folder's tree is
// walked as its files are asked for, so that an archive of any size is never listed whole.
// Meant for arguments that passed CheckSources.
class SourceCursor {
 public:
  SourceCursor(const std::vector<std::string>& arguments, const SourceSelection& selection,
               const FormatRegistry& formats);

  std::optional<SourceFile> Next();
  // Folders of a tree that could not be listed, complete once Next has found no more files.
  const std::vector<std::string>& unreadable() const { return unreadable_; }

 private:
  void EndTree();

  const std::vector<std::string>& arguments_;
  const SourceSelection& selection_;
  const FormatRegistry& formats_;
  std::size_t next_argument_ = 0;
  std::optional<TreeCursor> tree_;
  std::vector<std::string> unreadable_;
};

// How many files the arguments stand for, found by a walk that keeps none of them.
std::size_t CountSources(const std::vector<std::string>& arguments,
                         const SourceSelection& selection, const FormatRegistry& formats);

// Folders of a tree that could not be listed: their files are left out of a run, so say so on
// `err` (the run then ends as one with a failure).
void ReportUnreadableFolders(const std::vector<std::string>& folders, std::ostream& err,
                             Language language);

// The names --type takes, in the registry's order: each format's extension without its dot, lower
// case ("jww").
std::vector<std::string> TypeNames(const FormatRegistry& formats);

// Reads a --type list ("jww,JWS,.jwc") of the formats' extensions into extensions; the usage
// error's text otherwise.
std::optional<std::string> ParseTypeList(std::string_view list, const FormatRegistry& formats,
                                         std::vector<std::string>& types, Language language);

}  // namespace penmorph
