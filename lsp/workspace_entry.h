#pragma once

// What the workspace index keeps of one folder, shared by the files that
// load it (workspace_index.cpp) and keep it fresh (workspace_changes.cpp).
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "config/configuration.h"
#include "lsp/workspace_index.h"

namespace ramulet::lsp {

struct WorkspaceIndex::Entry {
  std::string folder;  // the workspace folder, the root of its URIs
  std::string path;    // what is read: the folder, or its .MD file
  // Set by the indexing thread once `configuration` is in place; read
  // under the index's mutex. From then on only the server's thread
  // touches the rest.
  bool ready = false;
  std::vector<std::pair<std::string, Change>> early_changes;  // seen before ready
  bool adopted = false;
  Configuration configuration;
  std::vector<ModuleSource> sources;                 // by module, without bytes
  std::unordered_map<std::string, int32_t> by_path;  // a module's file (normal path) to the module
  std::map<int32_t, std::string> overridden;         // modules open in the editor, to their URIs
  std::set<int32_t> dirty;                           // modules to read or analyse again
  bool stale = false;                                // references to resolve again
};

// `path` (UTF-8) with "." and ".." resolved, "/" between folders and no
// "/" at the end: the form files are looked up by.
std::string NormalPath(const std::string& path);
// A source as it is kept to read its module again: everything but bytes.
ModuleSource WithoutBytes(const ModuleSource& source);
// Whether a module's path (relative to the root) matches one of `globs`.
bool Excluded(const std::vector<std::string>& globs, const std::string& path);

}  // namespace ramulet::lsp
