#include "app/file_browser.h"

#include "app/path_text.h"
#include "app/window_texts.h"
#include "common/path_text.h"

namespace penmorph::app {

namespace fs = std::filesystem;

FileBrowser::FileBrowser(const FormatRegistry& formats, Prompts& prompts)
    : formats_(formats), prompts_(prompts) {}

void FileBrowser::Start() {
  tree_ = FolderTree();
  list_.Reset({});
  shown_node_.reset();
  tree_ready_ = list_ready_ = sort_descending_ = search_interrupted_ = false;
  prompts_.SetStatus(texts::kNoTree);
}

bool FileBrowser::BuildFolderTree(const fs::path& search_folder, const StopCheck& stop) {
  prompts_.SetStatus(texts::kSearching);
  std::error_code ec;
  if (!fs::is_directory(search_folder, ec)) {
    prompts_.Beep();
    prompts_.ShowMessage(MessageKind::kInformation, texts::kDriveNotReady);
    prompts_.SetStatus(texts::kNoTree);
    return false;
  }
  InstallTree(app::BuildFolderTree(search_folder, stop));
  return true;
}

void FileBrowser::InstallTree(TreeBuild build) {
  list_ready_ = false;
  list_.Reset({});
  shown_node_.reset();
  tree_ = std::move(build.tree);
  search_interrupted_ = build.interrupted;
  prompts_.SetStatus(search_interrupted_ ? texts::kSearchInterrupted : std::string_view());
  tree_ready_ = !tree_.empty();
}

bool FileBrowser::OpenStartPath(const StartPath& start, const ListOptions& options,
                                const StopCheck& stop) {
  if (!BuildFolderTree(start.folder, stop) || !tree_ready_) {
    return false;
  }
  ShowFolder(FolderTree::kRoot, options, stop);
  if (start.file) {
    list_.SelectNames({*start.file});
  }
  return true;
}

void FileBrowser::RefuseWithoutTree() {
  prompts_.Beep();
  prompts_.ShowMessage(MessageKind::kError, texts::kNoTree);
  prompts_.SetStatus(texts::kNoTree);
}

void FileBrowser::ShowFolder(std::optional<FolderTree::NodeId> node, const ListOptions& options,
                             const StopCheck& stop) {
  if (!tree_ready_) {
    RefuseWithoutTree();
    return;
  }
  if (!node || *node >= tree_.size()) {
    return;
  }
  shown_node_ = node;
  ListFiles(tree_.NodePath(*node), options, stop);
}

void FileBrowser::FileTypeChanged(const ListOptions& options, const StopCheck& stop) {
  if (tree_ready_ && shown_node_) {
    ListFiles(tree_.NodePath(*shown_node_), options, stop);
  }
}

void FileBrowser::ListFiles(const fs::path& folder, const ListOptions& options,
                            const StopCheck& stop) {
  const std::string shown_folder = PathText(folder);
  prompts_.SetStatus("フォルダ「" + shown_folder + "」を検索中(ESC:中断)");
  list_ready_ = false;
  list_.Reset(folder);
  const int size_width = ListingSizeWidth(options.size_column_pixels);
  const std::string pattern = FilePattern(formats_, options.file_type);
  bool interrupted = false;
  ForEachEntry(folder, [&](const FolderEntry& entry) {
    if (stop && stop()) {
      interrupted = true;
      return false;
    }
    // Folders, hidden files and anything that is not a plain file are not listed.
    if (entry.is_file && !entry.hidden && MatchesPattern(PathToUtf8(entry.name), pattern)) {
      list_.Add(MakeFileRow(entry, folder, formats_, size_width));
    }
    return true;
  });
  // Listed with nothing selected: "変換" converts only what the user picked; in the order the
  // user last chose.
  if (shown_sort_) {
    list_.Sort(shown_sort_->column, shown_sort_->descending);
  }
  const std::size_t count = list_.rows().size();
  if (interrupted) {
    prompts_.SetStatus(texts::kListInterrupted);
  } else {
    std::string status = std::to_string(count);
    status += " Files  パス名「";
    status += shown_folder;
    status += "」";
    prompts_.SetStatus(status);
  }
  list_ready_ = count > 0;
}

std::optional<FolderTree::NodeId> FileBrowser::NodeOf(const fs::path& folder) const {
  const fs::path wanted = FolderPath(folder);
  for (FolderTree::NodeId id = 0; id < tree_.size(); ++id) {
    if (tree_.NodePath(id) == wanted) {
      return id;
    }
  }
  return std::nullopt;
}

void FileBrowser::Refresh(const ListOptions& options, const StopCheck& stop) {
  if (!tree_ready_) {
    RefuseWithoutTree();
    return;
  }
  const std::optional<fs::path> shown =
      shown_node_ ? std::optional(tree_.NodePath(*shown_node_)) : std::nullopt;
  const std::vector<fs::path> selected = list_.SelectedNames();
  if (!BuildFolderTree(tree_.NodePath(FolderTree::kRoot), stop) || !shown) {
    return;
  }
  if (std::optional<FolderTree::NodeId> node = NodeOf(*shown)) {
    ShowFolder(node, options, stop);
    list_.SelectNames(selected);
  }
}

void FileBrowser::PressHeader(int column, const ListOptions& options, const StopCheck& stop) {
  if (!list_ready_ || column < 0 || column >= kFileColumnCount) {
    return;
  }
  if (column == kAttributeColumn) {
    // Back to the order the file system gave; the direction of the next sort stays.
    shown_sort_.reset();
    const std::vector<fs::path> selected = list_.SelectedNames();
    ListFiles(fs::path(list_.folder()), options, stop);
    list_.SelectNames(selected);
    return;
  }
  list_.Sort(column, sort_descending_);
  shown_sort_ = ShownSort{column, sort_descending_};
  sort_descending_ = !sort_descending_;
}

void FileBrowser::RepadSizes(int column_pixels, int digit_pixels) {
  if (list_ready_) {
    list_.Repad(RepadSizeWidth(column_pixels, digit_pixels));
  }
}

std::optional<fs::path> FileBrowser::FileToOpen(std::optional<std::size_t> row) {
  if (!tree_ready_) {
    RefuseWithoutTree();
    return std::nullopt;
  }
  if (!list_ready_) {
    prompts_.Beep();
    prompts_.SetStatus(texts::kNoFolderListed);
    return std::nullopt;
  }
  if (!row || *row >= list_.rows().size() || list_.rows()[*row].name.empty()) {
    return std::nullopt;
  }
  return list_.folder() / list_.rows()[*row].name;
}

ConversionRequest FileBrowser::MakeRequest(const std::string& destination_folder, bool whole_tree,
                                           const ListOptions& options) const {
  ConversionRequest request;
  request.tree_ready = tree_ready_;
  // A tree needs a listed folder, but no row of it.
  request.list_ready = list_ready_ || (whole_tree && shown_node_.has_value());
  request.source_folder = list_.folder();
  request.destination_folder = destination_folder;
  request.whole_tree = whole_tree;
  request.file_pattern = FilePattern(formats_, options.file_type);
  if (list_ready_ && !whole_tree) {
    request.file_names = list_.SelectedNames();
  }
  return request;
}

}  // namespace penmorph::app
