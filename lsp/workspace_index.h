#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/configuration.h"
#include "lsp/config_view.h"
#include "lsp/protocol.h"
#include "lsp/thread_guard.h"

namespace ramulet {
class ModuleAnalyzer;
}

namespace ramulet::lsp {

class TextDocument;

// The configurations of the workspace folders: indexed in the background
// when the server starts, kept fresh as files change on disk and as open
// documents are edited (an open document's text wins over its file).
// Answers read a ConfigView between messages, on the server's thread; only
// the first load of each folder runs on another thread.
class WorkspaceIndex {
 public:
  struct Options {
    std::vector<std::string> folders;         // paths of the workspace folders
    std::vector<std::string> global_modules;  // initializationOptions.globalModules
    std::vector<std::string> exclude;         // initializationOptions.exclude (globs)
    unsigned threads = 0;                     // threads reading modules; 0 for one per core
    // Keep every module's text (ConfigModule::text) for answers that read
    // lines of modules that are not open; an open module's is its editor's.
    bool keep_text = false;
  };
  // What the index tells the client: progress (a request to create it,
  // notifications) and log messages, each a whole JSON-RPC message but for
  // "jsonrpc". Called from the indexing thread too: it must be safe to call
  // from any thread.
  using Notify = std::function<void(Json message)>;
  // The text of the open document `uri`, or null when it is not open.
  using DocumentText = std::function<const TextDocument*(const std::string& uri)>;

  WorkspaceIndex(std::shared_ptr<const ModuleAnalyzer> analyzer, Notify notify);
  // Waits for the indexing thread.
  ~WorkspaceIndex();
  WorkspaceIndex(const WorkspaceIndex&) = delete;
  WorkspaceIndex& operator=(const WorkspaceIndex&) = delete;

  void SetDocumentText(DocumentText text) { document_text_ = std::move(text); }
  // Called from the indexing thread once every folder is indexed.
  void SetOnIndexed(std::function<void()> on_indexed) { on_indexed_ = std::move(on_indexed); }

  // Starts indexing the folders (in the background where there are
  // threads); with `client_shows_progress`, the work is shown as
  // window/workDoneProgress.
  void Start(const Options& options, bool client_shows_progress);
  // Whether every folder is indexed.
  bool Indexed() const { return indexed_.load(); }
  // Waits until every folder is indexed (benchmarks, tests).
  void WaitIndexed();

  // The configuration holding the file of `uri` and its module there; no
  // configuration while it is being indexed for the first time. The view
  // is fresh: modules changed since are read again and resolved.
  struct Located {
    ConfigView view;
    int32_t module = -1;
  };
  std::optional<Located> Locate(const std::string& uri);
  // Whether `uri` is a module of an indexed configuration (nothing is read
  // or resolved).
  bool Holds(const std::string& uri) { return Find(uri).has_value(); }
  // Every indexed configuration, fresh.
  std::vector<ConfigView> Views();
  // The indexed configuration whose root is `root`, fresh.
  std::optional<ConfigView> ViewOfRoot(const std::string& root);

  // An open document's text replaces its file's (read from DocumentText
  // when an answer needs it: edits cost nothing until then); closing
  // returns to the disk.
  void DocumentChanged(const std::string& uri);
  void DocumentClosed(const std::string& uri);
  // workspace/didChangeWatchedFiles: re-reads the changed modules only.
  // True when a configuration changed.
  bool FilesChanged(const Json& params);

 private:
  struct Entry;
  enum class Change { kCreated = 1, kChanged = 2, kDeleted = 3 };

  void IndexAll(bool show_progress);
  void IndexFolder(Entry& entry, size_t index, size_t count, bool show_progress);
  void Load(Entry& entry, const LoadOptions& options);
  // The ready entries, each adopted by the server's thread on first sight.
  std::vector<Entry*> ReadyEntries();
  void Adopt(Entry& entry);
  void Refresh(Entry& entry);
  void Rescan(Entry& entry, std::set<std::string> changed);
  void ApplyChanges(Entry& entry, const std::map<std::string, Change>& changes);
  void IndexPaths(Entry& entry);
  std::optional<std::pair<Entry*, int32_t>> Find(const std::string& uri);
  ConfigView View(const Entry& entry) const;
  // Each problem once, as a warning in window/logMessage.
  void Report(const std::string& problem);
  void ReportProblems(const Entry& entry);
  void SendProgress(const std::string& kind, int percentage, const std::string& message);

  std::shared_ptr<const ModuleAnalyzer> analyzer_;
  Notify notify_;
  DocumentText document_text_;
  std::function<void()> on_indexed_;
  Options options_;
  std::vector<std::unique_ptr<Entry>> entries_;
  // Guards each entry's `ready` and `pending` while the thread runs, and
  // `reported_`.
  Mutex mutex_;
  std::set<std::string> reported_;
  std::set<std::string> open_;  // open documents' URIs (server thread)
  std::atomic<bool> indexed_{false};
  std::atomic<bool> stopping_{false};
#ifdef RAMULET_LSP_THREADS
  std::thread thread_;
#endif
};

// The folder of a workspace-folder URI, or of rootUri/rootPath, from
// initialize's params.
std::vector<std::string> WorkspaceFolders(const Json& initialize_params);

}  // namespace ramulet::lsp
