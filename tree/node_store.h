#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/status.h"

namespace ramulet {

// The call tree's node model: the operations of a tree control's node
// collection (clear, add a top-level node, add a last child under a node,
// look a node up by key; per node its index, text and parent), stored
// compactly. A node's text is the name of its method; a top-level node's
// key is that name, a child's key is "$" and its index with one leading
// space ("$ 12"), so no node holds a string of its own.
class NodeStore {
 public:
  // Indices are 1-based in order of addition; 0 means "no node".
  static constexpr int32_t kNoNode = 0;
  // Nodes are held in blocks of this many, so that a large tree never needs
  // one large contiguous allocation.
  static constexpr int32_t kBlockShift = 16;
  static constexpr int32_t kBlockSize = int32_t{1} << kBlockShift;
  static constexpr int32_t kMaxCount = std::numeric_limits<int32_t>::max();

  // Texts and top-level keys are read from `names` (method names by index),
  // which must outlive the store's use.
  void Reset(const std::vector<std::u16string>* names);
  // Removes every node; indices restart at 1. The node blocks are kept for
  // the nodes added next.
  void Clear();
  // Frees the blocks that the present nodes do not use.
  void ReleaseUnused();

  // Appends a top-level node for `method`; fails with kDuplicateKey when a
  // top-level node of that name exists.
  Status AddRoot(int32_t method, int32_t& index);
  // Appends a last child for `method` under node `parent`.
  Status AddChild(int32_t parent, int32_t method, int32_t& index);

  // The node with exactly this key, kNoNode when there is none.
  int32_t Find(std::u16string_view key) const;

  int32_t Count() const { return count_; }
  // True for 1 .. Count(); the accessors below answer kNoNode, -1 or an
  // empty text for any other index.
  bool Valid(int32_t index) const { return index > kNoNode && index <= count_; }
  // kNoNode for a top-level node.
  int32_t Parent(int32_t index) const { return Valid(index) ? At(index).parent : kNoNode; }
  int32_t Method(int32_t index) const { return Valid(index) ? At(index).method : -1; }
  std::u16string_view Text(int32_t index) const;
  std::u16string Key(int32_t index) const;
  int32_t FirstRoot() const { return first_root_; }  // kNoNode when empty
  int32_t FirstChild(int32_t index) const;   // kNoNode when it has none
  int32_t NextSibling(int32_t index) const;  // kNoNode after the last child

  static std::u16string ChildKey(int32_t number);
  // Bytes held for the nodes (not counting the name table).
  size_t MemoryBytes() const;

 private:
  struct Node {
    int32_t parent;
    int32_t method;
    int32_t first_child;
    int32_t next_sibling;
  };
  static_assert(sizeof(Node) == 16);

  Node& At(int32_t index) { return blocks_[(index - 1) >> kBlockShift][(index - 1) & (kBlockSize - 1)]; }
  const Node& At(int32_t index) const {
    return blocks_[(index - 1) >> kBlockShift][(index - 1) & (kBlockSize - 1)];
  }
  bool HasName(int32_t method) const {
    return names_ != nullptr && method >= 0 && static_cast<size_t>(method) < names_->size();
  }
  Status CheckMethod(int32_t method) const;
  bool HasRoom() const {
    return count_ < static_cast<int64_t>(blocks_.size()) * kBlockSize && count_ < kMaxCount;
  }
  // Adds a block; fails when memory or the index range runs out.
  Status Grow();
  int32_t Append(int32_t parent, int32_t method);
  void LinkChild(int32_t parent, int32_t child);
  // The child whose key is `key`, kNoNode when `key` is not such a key.
  int32_t FindChildKey(std::u16string_view key) const;

  const std::vector<std::u16string>* names_ = nullptr;
  std::vector<std::unique_ptr<Node[]>> blocks_;
  int32_t count_ = 0;
  // Top-level keys; the views point into *names_.
  std::unordered_map<std::u16string_view, int32_t> roots_;
  // Top-level names that look like a child key ("$ 7"); usually none.
  int32_t dollar_roots_ = 0;
  int32_t first_root_ = kNoNode;
  int32_t last_root_ = kNoNode;
  // The child appended last and its parent: children of one parent are
  // usually appended one after another, which makes appending O(1).
  int32_t tail_parent_ = kNoNode;
  int32_t tail_child_ = kNoNode;
};

}  // namespace ramulet
