#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "platform/status.h"
#include "tree/call_tree.h"

namespace ramulet {

// What of the tree the command line draws (--depth, --root).
struct TreeOutputOptions {
  // Levels shown below each top-level node; nullopt shows them all.
  std::optional<int> depth;
  // Only the top-level node of this method and what stands beneath it.
  std::optional<std::u16string> root;
};

// Draws the tree one node per line, top-level nodes flush left and their
// descendants beneath them with the branch marks of the `tree` command.
// A tree cut at its node ceiling ends with a line that says so. Fails when
// `view.root` names no top-level node.
Status WriteTree(const CallTree& tree, const TreeOutputOptions& view, std::ostream& out);

}  // namespace ramulet
