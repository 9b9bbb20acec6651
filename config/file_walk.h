#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

// What a walk of a folder found.
struct WalkResult {
  // Paths relative to the root, "/"-separated, UTF-8, in no set order.
  std::vector<std::string> files;
  // One readable line for each folder or link that could not be read, and
  // for each linked folder that was not entered because it was read already
  // (a link back to a folder above it: a loop).
  std::vector<std::string> problems;
};

// Lists every file under `root` whose name `wanted` accepts, reading each
// folder once: a linked folder is entered only when the folder it leads to
// has not been read yet, and folders reached without links are read before
// any reached through one, so that a file keeps its plainest path. The work
// is linear in the number of entries. Folders of version control (.git,
// .svn, .hg) are passed over. Never throws.
WalkResult WalkFiles(std::string_view root, const std::function<bool(std::string_view name)>& wanted);

}  // namespace ramulet
