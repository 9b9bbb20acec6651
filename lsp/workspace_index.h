#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lsp/config_view.h"
#include "lsp/protocol.h"

namespace ramulet {
class ModuleAnalyzer;
}

namespace ramulet::lsp {

// The configurations of the workspace folders: indexed in the background
// when the server starts, kept fresh as files change on disk and as open
// documents are edited (an open document's text wins over its file).
// Answers read a ConfigView between messages, on the server's thread.
class WorkspaceIndex {
 public:
  struct Options {
    std::vector<std::string> folders;        // paths of the workspace folders
    std::vector<std::string> global_modules;  // initializationOptions.globalModules
    std::vector<std::string> exclude;         // initializationOptions.exclude (globs)
  };
  // What the index tells the client: progress, log messages.
  using Notify = std::function<void(const std::string& method, Json params)>;

  WorkspaceIndex(std::shared_ptr<const ModuleAnalyzer> analyzer, Notify notify);
  ~WorkspaceIndex();

  // Starts indexing the folders in the background.
  void Start(const Options& options, bool client_shows_progress);

  // The configuration holding the file of `uri` and its module there; no
  // configuration while it is being indexed for the first time.
  struct Located {
    ConfigView view;
    int32_t module = -1;
  };
  std::optional<Located> Locate(const std::string& uri);
  // Every indexed configuration, resolved.
  std::vector<ConfigView> Views();

  // An open document's text replaces its file's; closing returns to the disk.
  void DocumentChanged(const std::string& uri, const std::u16string& text);
  void DocumentClosed(const std::string& uri);
  // workspace/didChangeWatchedFiles: re-reads the changed modules only.
  void FilesChanged(const Json& params);
};

}  // namespace ramulet::lsp
