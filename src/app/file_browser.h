#pragma once

// The folder tree, which folder the file list shows, the list's order and selection, opening a
// listed file and what a conversion is asked to take. The main window's model forwards events
// here; messages, beeps and status texts go out through the prompts.

#include <filesystem>
#include <optional>
#include <string>

#include "app/conversion_run.h"
#include "app/file_list.h"
#include "app/folder_tree.h"
#include "app/prompts.h"
#include "app/start_path.h"
#include "common/file_system.h"
#include "convert/format_registry.h"
#include "settings/conv_settings.h"

namespace penmorph::app {

// What a listing needs from the window at the moment it runs.
struct ListOptions {
  int file_type = 0;            // the drop-down list's index (-1: none)
  int size_column_pixels = 64;  // the width of the "Bytes" column
};

class FileBrowser {
 public:
  FileBrowser(const FormatRegistry& formats, Prompts& prompts);

  // The window has just been shown: no tree, no list.
  void Start();

  // A search folder was chosen. False when it does not exist: the old tree and list stay.
  bool BuildFolderTree(const std::filesystem::path& search_folder, const StopCheck& stop);
  // A tree read elsewhere (on a thread of its own at start) takes the place of the old one.
  void InstallTree(TreeBuild build);

  // The window started with a path: the tree built on its folder, that folder (the root) listed
  // and the file, when one was named and is listed, selected. False when no tree was built.
  bool OpenStartPath(const StartPath& start, const ListOptions& options, const StopCheck& stop);

  // The tree's highlighted node was clicked or reached with the keyboard (nullopt: no node).
  void ShowFolder(std::optional<FolderTree::NodeId> node, const ListOptions& options,
                  const StopCheck& stop);
  // The file type changed: the highlighted folder is listed again.
  void FileTypeChanged(const ListOptions& options, const StopCheck& stop);
  void ListFiles(const std::filesystem::path& folder, const ListOptions& options,
                 const StopCheck& stop);
  // F5: the tree read again from its root; the folder that was listed is listed again, when it
  // is still there, with the same files selected.
  void Refresh(const ListOptions& options, const StopCheck& stop);

  // A press on the list's header: sorts by the column, or for "属性" lists the folder again in
  // the file system's order. The selected files stay selected wherever they go.
  void PressHeader(int column, const ListOptions& options, const StopCheck& stop);
  // The "Bytes" column was repainted at this width.
  void RepadSizes(int column_pixels, int digit_pixels);

  // A double click on a row: the file to open with its program, or nullopt (after saying why,
  // when there is no tree or no list).
  std::optional<std::filesystem::path> FileToOpen(std::optional<std::size_t> row);

  // What the "変換" button asks to convert: the selected rows, or with `whole_tree`
  // ("サブフォルダも含める") every file of the listed folder's tree of the list's type.
  ConversionRequest MakeRequest(const std::string& destination_folder, bool whole_tree,
                                const ListOptions& options) const;

  const FolderTree& tree() const { return tree_; }
  FileList& list() { return list_; }
  // The node whose folder is `folder`, or nullopt.
  std::optional<FolderTree::NodeId> NodeOf(const std::filesystem::path& folder) const;
  const FileList& list() const { return list_; }
  std::optional<FolderTree::NodeId> shown_node() const { return shown_node_; }
  bool tree_ready() const { return tree_ready_; }
  bool list_ready() const { return list_ready_; }
  // The direction of the next sort: presses alternate, whichever column is pressed.
  bool sort_descending() const { return sort_descending_; }
  // The order the list shows, for the header's arrow; it stays for the next folder listed.
  struct ShownSort {
    int column = 0;
    bool descending = false;
    bool operator==(const ShownSort&) const = default;
  };
  const std::optional<ShownSort>& shown_sort() const { return shown_sort_; }
  bool search_interrupted() const { return search_interrupted_; }

 private:
  void RefuseWithoutTree();

  const FormatRegistry& formats_;
  Prompts& prompts_;
  FolderTree tree_;
  FileList list_;
  std::optional<FolderTree::NodeId> shown_node_;
  bool tree_ready_ = false;
  bool list_ready_ = false;
  bool sort_descending_ = false;
  std::optional<ShownSort> shown_sort_;  // none: the file system's order
  bool search_interrupted_ = false;
};

}  // namespace penmorph::app
