#include "cli/source_arguments.h"

#include <algorithm>

#include "common/file_system.h"
#include "common/path_text.h"
#include "common/text.h"
#include "convert/source_tree.h"

namespace penmorph {

namespace fs = std::filesystem;

namespace {

// Files of a tree: those of the types asked for, or of any jw_cad type.
bool WantedInTree(std::string_view name, const SourceSelection& selection,
                  const FormatRegistry& formats) {
  const std::string extension = ToUpperAscii(FileExtension(name));
  if (!selection.types.empty()) {
    return std::find(selection.types.begin(), selection.types.end(), extension) !=
           selection.types.end();
  }
  return formats.FindByExtension(extension) != nullptr;
}

}  // namespace

std::optional<std::string> ExpandSources(const std::vector<std::string>& arguments,
                                         const SourceSelection& selection,
                                         const FormatRegistry& formats, ExpandedSources& expanded) {
  for (const std::string& argument : arguments) {
    const fs::path source = PathFromUtf8(argument);
    if (KindOfPath(source) != PathKind::kFolder) {
      expanded.files.push_back({source, source.filename(), argument});
      continue;
    }
    if (!selection.recursive) {
      return argument + " is a folder: add -r to take the files of its whole tree";
    }
    TreeWalk walk = ListTree(
        source, [&](std::string_view name) { return WantedInTree(name, selection, formats); });
    for (TreeFile& found : walk.files) {
      std::string shown = PathToUtf8(found.source);
      expanded.files.push_back(
          {std::move(found.source), std::move(found.relative), std::move(shown)});
    }
    for (const fs::path& folder : walk.unreadable) {
      expanded.unreadable.push_back(PathToUtf8(folder));
    }
    expanded.trees = true;
  }
  return std::nullopt;
}

std::optional<std::string> ParseTypeList(std::string_view list, std::vector<std::string>& types) {
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string type = ToUpperAscii(list.substr(0, comma));
    if (!type.empty() && type.front() != '.') {
      type.insert(type.begin(), '.');
    }
    if (type != ".JWW" && type != ".JWS" && type != ".JWC" && type != ".JWK") {
      return "--type takes jww, jws, jwc and jwk, not \"" + std::string(list.substr(0, comma)) +
             "\"";
    }
    types.push_back(type);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  if (types.empty()) {
    return "--type needs at least one of jww, jws, jwc and jwk";
  }
  return std::nullopt;
}

}  // namespace penmorph
