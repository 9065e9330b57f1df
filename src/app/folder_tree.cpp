#include "app/folder_tree.h"

#include <algorithm>

#include "app/path_text.h"
#include "common/folder_entries.h"
#include "common/path_text.h"
#include "common/text.h"

namespace penmorph::app {

namespace fs = std::filesystem;

struct FolderTreeBuilder {
  using NodeId = FolderTree::NodeId;

  FolderTree& tree;
  const StopCheck& stop;
  bool interrupted = false;
  std::vector<std::string> identities;  // the real folder behind each node, links resolved

  bool Stopped() {
    if (!interrupted && stop && stop()) {
      interrupted = true;
    }
    return interrupted;
  }

  NodeId Add(fs::path name, std::string text, std::optional<NodeId> parent) {
    const NodeId id = tree.nodes_.size();
    tree.nodes_.push_back({std::move(name), std::move(text), parent, {}});
    identities.emplace_back();
    if (parent) {
      tree.nodes_[*parent].children.push_back(id);
    }
    return id;
  }

  void AddSubfolders(NodeId node) {
    const fs::path folder = tree.NodePath(node);
    std::error_code ec;
    // A link back up to a folder above would make the walk endless: such a node stays a leaf.
    const std::string identity = PathToUtf8(fs::canonical(folder, ec));
    if (!ec) {
      for (auto above = tree.nodes_[node].parent; above; above = tree.nodes_[*above].parent) {
        if (identities[*above] == identity) {
          return;
        }
      }
      identities[node] = identity;
    }
    bool first = true;
    ForEachEntry(
        folder,
        [&](const FolderEntry& entry) {
          if (!first && Stopped()) {
            return false;
          }
          first = false;
          if (entry.is_folder && !entry.hidden) {
            Add(entry.name, PathText(entry.name), node);
          }
          return true;
        },
        false);
  }

  // The next node after `id` in tree order (parents before children).
  std::optional<NodeId> Next(NodeId id) const {
    const auto& nodes = tree.nodes_;
    if (!nodes[id].children.empty()) {
      return nodes[id].children.front();
    }
    for (auto parent = nodes[id].parent; parent; id = *parent, parent = nodes[id].parent) {
      const auto& siblings = nodes[*parent].children;
      auto at = std::find(siblings.begin(), siblings.end(), id);
      if (at + 1 != siblings.end()) {
        return *(at + 1);
      }
    }
    return std::nullopt;
  }

  void SortChildren() {
    for (auto& node : tree.nodes_) {
      std::stable_sort(node.children.begin(), node.children.end(), [this](NodeId a, NodeId b) {
        return ToUpperAscii(tree.nodes_[a].text) < ToUpperAscii(tree.nodes_[b].text);
      });
    }
  }
};

fs::path FolderTree::NodePath(NodeId id) const {
  const Node& node = nodes_.at(id);
  if (!node.parent) {
    return FolderPath(node.name);
  }
  return FolderPath(NodePath(*node.parent) / node.name);
}

std::optional<FolderTree::NodeId> FolderTree::Find(const std::vector<std::string>& texts) const {
  if (nodes_.empty()) {
    return std::nullopt;
  }
  NodeId at = kRoot;
  for (const std::string& text : texts) {
    const auto& children = nodes_[at].children;
    auto found = std::find_if(children.begin(), children.end(),
                              [&](NodeId child) { return nodes_[child].text == text; });
    if (found == children.end()) {
      return std::nullopt;
    }
    at = *found;
  }
  return at;
}

TreeBuild BuildFolderTree(const fs::path& search_folder, const StopCheck& stop) {
  TreeBuild build;
  FolderTreeBuilder builder{build.tree, stop, false, {}};
  const fs::path root = FolderPath(search_folder);
  builder.Add(root, PathText(root), std::nullopt);
  builder.AddSubfolders(FolderTree::kRoot);
  // Children land right after the node being walked, so walking on in tree order reaches the
  // whole hierarchy.
  for (auto node = builder.Next(FolderTree::kRoot); node && !builder.Stopped();
       node = builder.Next(*node)) {
    builder.AddSubfolders(*node);
  }
  builder.SortChildren();
  build.interrupted = builder.interrupted;
  return build;
}

}  // namespace penmorph::app
