#include "cli/tree_output.h"

#include "platform/text.h"

namespace ramulet {

namespace {

class TreeDrawer {
 public:
  TreeDrawer(const NodeStore& nodes, std::optional<int> depth, std::ostream& out)
      : nodes_(nodes), depth_(depth), out_(out) {}

  void DrawTopLevel(int32_t node) {
    out_ << Utf16ToUtf8(nodes_.Text(node)) << '\n';
    DrawChildren(node, 1);
  }

 private:
  void DrawChildren(int32_t parent, int level) {
    if (depth_ && level > *depth_) return;
    for (int32_t child = nodes_.FirstChild(parent); child != NodeStore::kNoNode;) {
      int32_t next = nodes_.NextSibling(child);
      bool last = next == NodeStore::kNoNode;
      out_ << prefix_ << (last ? "└── " : "├── ") << Utf16ToUtf8(nodes_.Text(child)) << '\n';
      size_t kept = prefix_.size();
      prefix_ += last ? "    " : "│   ";
      DrawChildren(child, level + 1);
      prefix_.resize(kept);
      child = next;
    }
  }

  const NodeStore& nodes_;
  std::optional<int> depth_;
  std::ostream& out_;
  std::string prefix_;
};

// The top-level node of the method named exactly `name`, kNoNode when none.
int32_t FindTopLevel(const NodeStore& nodes, std::u16string_view name) {
  int32_t node = nodes.Find(name);
  // A child's key ("$ 12") is no method name, but it could be asked for.
  if (node != NodeStore::kNoNode && nodes.Parent(node) != NodeStore::kNoNode) return NodeStore::kNoNode;
  return node;
}

}  // namespace

Status WriteTree(const CallTree& tree, const TreeOutputOptions& view, std::ostream& out) {
  const NodeStore& nodes = tree.nodes;
  TreeDrawer drawer(nodes, view.depth, out);
  if (view.root) {
    int32_t top = FindTopLevel(nodes, *view.root);
    if (top == NodeStore::kNoNode) {
      return Status::Error(Status::kInvalidArgument, "no method named '" + Utf16ToUtf8(*view.root) + "' in the tree");
    }
    drawer.DrawTopLevel(top);
  } else {
    // Top-level nodes are the first ones added, before any child.
    for (int32_t node = 1; node <= nodes.Count() && nodes.Parent(node) == NodeStore::kNoNode; ++node) {
      drawer.DrawTopLevel(node);
    }
  }
  if (tree.truncated) {
    out << "(the tree was cut after " << nodes.Count() << " nodes; deeper calls are not shown)\n";
  }
  return Status::Ok();
}

}  // namespace ramulet
