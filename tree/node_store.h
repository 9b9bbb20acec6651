#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

  // Texts and top-level keys are read from `names` (method names by index),
  // which must outlive the store's use.
  void Reset(const std::vector<std::u16string>* names);
  // Removes every node; indices restart at 1.
  void Clear();

  // Appends a top-level node for `method`; fails with kDuplicateKey when a
  // top-level node of that name exists.
  Status AddRoot(int32_t method, int32_t& index);
  // Appends a last child for `method` under node `parent`.
  Status AddChild(int32_t parent, int32_t method, int32_t& index);

  // The node with exactly this key, kNoNode when there is none.
  int32_t Find(std::u16string_view key) const;

  int32_t Count() const;
  int32_t Parent(int32_t index) const;  // kNoNode for a top-level node
  int32_t Method(int32_t index) const;
  std::u16string_view Text(int32_t index) const;
  std::u16string Key(int32_t index) const;
  int32_t FirstChild(int32_t index) const;   // kNoNode when it has none
  int32_t NextSibling(int32_t index) const;  // kNoNode after the last child

  static std::u16string ChildKey(int32_t number);
  // Bytes held for the nodes (not counting the name table).
  size_t MemoryBytes() const;
};

}  // namespace ramulet
