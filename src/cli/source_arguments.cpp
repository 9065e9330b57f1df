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

std::optional<std::string> CheckSources(const std::vector<std::string>& arguments,
                                        const SourceSelection& selection, bool& trees,
                                        Language language) {
  trees = false;
  for (const std::string& argument : arguments) {
    if (KindOfPath(PathFromUtf8(argument)) != PathKind::kFolder) {
      continue;
    }
    if (!selection.recursive) {
      return argument + Say(language, " is a folder: add -r to take the files of its whole tree",
                            " はフォルダです。サブフォルダも含めたすべてのファイルを読むには -r "
                            "を付けてください");
    }
    trees = true;
  }
  return std::nullopt;
}

SourceCursor::SourceCursor(const std::vector<std::string>& arguments,
                           const SourceSelection& selection, const FormatRegistry& formats)
    : arguments_(arguments), selection_(selection), formats_(formats) {}

std::optional<SourceFile> SourceCursor::Next() {
  while (true) {
    if (tree_) {
      if (std::optional<TreeFile> found = tree_->Next()) {
        std::string shown = PathToUtf8(found->source);
        return SourceFile{std::move(found->source), std::move(found->relative), std::move(shown)};
      }
      EndTree();
    }
    if (next_argument_ == arguments_.size()) {
      return std::nullopt;
    }
    const std::string& argument = arguments_[next_argument_++];
    fs::path source = PathFromUtf8(argument);
    if (selection_.recursive && KindOfPath(source) == PathKind::kFolder) {
      tree_.emplace(std::move(source), [this](std::string_view name) {
        return WantedInTree(name, selection_, formats_);
      });
      continue;
    }
    fs::path name = source.filename();
    return SourceFile{std::move(source), std::move(name), argument};
  }
}

void SourceCursor::EndTree() {
  for (const fs::path& folder : tree_->unreadable()) {
    unreadable_.push_back(PathToUtf8(folder));
  }
  tree_.reset();
}

std::size_t CountSources(const std::vector<std::string>& arguments,
                         const SourceSelection& selection, const FormatRegistry& formats) {
  std::size_t count = 0;
  for (SourceCursor cursor(arguments, selection, formats); cursor.Next();) {
    ++count;
  }
  return count;
}

void ReportUnreadableFolders(const std::vector<std::string>& folders, std::ostream& err,
                             Language language) {
  for (const std::string& folder : folders) {
    if (language == Language::kJapanese) {
      err << "penmorph-cli: フォルダ " << folder
          << " の中を読めないため、そのファイルは除きました\n";
    } else {
      err << "penmorph-cli: cannot list the folder " << folder << ": its files are left out\n";
    }
  }
}

std::vector<std::string> TypeNames(const FormatRegistry& formats) {
  std::vector<std::string> names;
  for (const auto& format : formats.formats()) {
    names.push_back(ToLowerAscii(format->Extension().substr(1)));
  }
  return names;
}

std::optional<std::string> ParseTypeList(std::string_view list, const FormatRegistry& formats,
                                         std::vector<std::string>& types, Language language) {
  // "jww, jws, jwc and jwk"; "jww、jws、jwc、jwk"
  const bool japanese = language == Language::kJapanese;
  std::string choices;
  const std::vector<std::string> names = TypeNames(formats);
  for (std::size_t i = 0; i < names.size(); ++i) {
    choices += (i == 0 ? "" : japanese ? "、" : i + 1 == names.size() ? " and " : ", ") + names[i];
  }
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string type = ToUpperAscii(list.substr(0, comma));
    if (!type.empty() && type.front() != '.') {
      type.insert(type.begin(), '.');
    }
    if (formats.FindByExtension(type) == nullptr) {
      const std::string given(list.substr(0, comma));
      return japanese
                 ? "--type には " + choices + " を指定してください（「" + given + "」は使えません）"
                 : "--type takes " + choices + ", not \"" + given + "\"";
    }
    types.push_back(type);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  if (types.empty()) {
    return japanese ? "--type には " + choices + " のどれかを 1 個以上指定してください"
                    : "--type needs at least one of " + choices;
  }
  return std::nullopt;
}

}  // namespace penmorph
