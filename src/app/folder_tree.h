#pragma once

// The folder tree under the search folder, read whole at once. Nodes are kept in a vector and
// named by their index; the root (the search folder itself) is node 0.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/prompts.h"

namespace penmorph::app {

class FolderTree {
 public:
  using NodeId = std::size_t;
  static constexpr NodeId kRoot = 0;

  struct Node {
    std::filesystem::path name;  // the folder's own name; for the root the whole search folder
    std::string text;            // what the tree shows, UTF-8
    std::optional<NodeId> parent;
    std::vector<NodeId> children;  // sorted by text, without regard to case
  };

  bool empty() const { return nodes_.empty(); }
  std::size_t size() const { return nodes_.size(); }
  const Node& node(NodeId id) const { return nodes_.at(id); }

  // The folder of a node, always ending in a separator: the root's path, then the names of the
  // nodes below it down to this one.
  std::filesystem::path NodePath(NodeId id) const;

  // The node reached from the root through these folder texts, or nullopt.
  std::optional<NodeId> Find(const std::vector<std::string>& texts) const;

 private:
  friend struct FolderTreeBuilder;
  std::vector<Node> nodes_;
};

struct TreeBuild {
  FolderTree tree;
  bool interrupted = false;  // `stop` said so; the tree holds what was read until then
};

// Reads every visible folder below `search_folder` (hidden ones, and links back up to a folder
// above, are left out). `stop` is asked before each folder and between the entries of one; when
// it answers true the walk ends there.
TreeBuild BuildFolderTree(const std::filesystem::path& search_folder, const StopCheck& stop);

}  // namespace penmorph::app
