#include "lsp/workspace_index.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "analysis/module_analyzer.h"
#include "config/file_access.h"
#include "config/layout_detect.h"
#include "lsp/file_uri.h"
#include "lsp/path_glob.h"
#include "lsp/workspace_entry.h"

namespace ramulet::lsp {

namespace {

constexpr const char* kProgressToken = "ramulet/indexing";
// Progress reports at most this often, so that a fast load does not flood
// the client.
constexpr auto kReportInterval = std::chrono::milliseconds(100);
constexpr int kLogWarning = 2;

// Whether the file starts as a compound file does (an old-platform
// configuration file, unlike a README.md).
bool LooksCompound(const std::filesystem::path& file) {
  static constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  std::ifstream in(file, std::ios::binary);
  char head[8] = {};
  return in.read(head, sizeof head) && std::equal(head, head + sizeof head, kSignature);
}

// A folder holding one old-platform configuration file and nothing else
// that marks a layout is that file's configuration.
std::string LoadPath(const std::string& folder) {
  if (DetectLayout(folder).layout != ConfigLayout::kFolder) return folder;
  std::error_code error;
  std::filesystem::directory_iterator entries(PathFromUtf8(folder), error);
  std::string md;
  int count = 0;
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    const std::string name = PathToUtf8(entries->path().filename());
    if (IsMdFilePath(name) && entries->is_regular_file(error) && LooksCompound(entries->path())) {
      md = NormalPath(PathToUtf8(entries->path()));
      ++count;
    }
  }
  return count == 1 ? md : folder;
}

}  // namespace

std::string NormalPath(const std::string& path) {
  std::string normal = PathToUtf8(PathFromUtf8(path).lexically_normal());
  std::replace(normal.begin(), normal.end(), '\\', '/');
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

// Whether the file starts as a compound file does (an old-platform

ModuleSource WithoutBytes(const ModuleSource& source) {
  ModuleSource kept;
  kept.name = source.name;
  kept.path = source.path;
  kept.kind = source.kind;
  kept.global = source.global;
  kept.file = source.file;
  kept.encoding = source.encoding;
  kept.read_error = source.read_error;
  return kept;
}

bool Excluded(const std::vector<std::string>& globs, const std::string& path) {
  for (const std::string& glob : globs) {
    if (GlobMatches(glob, path)) return true;
  }
  return false;
}

WorkspaceIndex::WorkspaceIndex(std::shared_ptr<const ModuleAnalyzer> analyzer, Notify notify)
    : analyzer_(analyzer ? std::move(analyzer) : std::make_shared<const ModuleAnalyzer>()), notify_(std::move(notify)) {}

WorkspaceIndex::~WorkspaceIndex() {
  stopping_ = true;
#ifdef RAMULET_LSP_THREADS
  if (thread_.joinable()) thread_.join();
#endif
}

void WorkspaceIndex::Start(const Options& options, bool client_shows_progress) {
  options_ = options;
  for (const std::string& folder : options.folders) {
    auto entry = std::make_unique<Entry>();
    entry->folder = NormalPath(folder);
    entries_.push_back(std::move(entry));
  }
  if (entries_.empty()) {
    indexed_ = true;
    return;
  }
#ifdef RAMULET_LSP_THREADS
  thread_ = std::thread([this, client_shows_progress] { IndexAll(client_shows_progress); });
#else
  IndexAll(client_shows_progress);
#endif
}

void WorkspaceIndex::WaitIndexed() {
#ifdef RAMULET_LSP_THREADS
  while (!indexed_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
#endif
}

void WorkspaceIndex::IndexAll(bool show_progress) {
  try {
    if (show_progress) {
      notify_(Json{{"id", "ramulet/indexing"},
                   {"method", "window/workDoneProgress/create"},
                   {"params", Json{{"token", kProgressToken}}}});
      SendProgress("begin", 0, "0 modules read");
    }
    for (size_t i = 0; i < entries_.size() && !stopping_; ++i) IndexFolder(*entries_[i], i, entries_.size(), show_progress);
  } catch (const std::exception& error) {
    Report(std::string("the workspace could not be indexed: ") + error.what());
  }
  try {
    size_t modules = 0;
    for (const auto& entry : entries_) modules += entry->configuration.modules.size();
    if (show_progress) SendProgress("end", 100, std::to_string(modules) + " modules indexed");
  } catch (const std::exception&) {
    // Nothing more can be told.
  }
  indexed_ = true;
  if (!stopping_ && on_indexed_) on_indexed_();
}

void WorkspaceIndex::IndexFolder(Entry& entry, size_t index, size_t count, bool show_progress) {
  entry.path = LoadPath(entry.folder);
  LoadOptions options;
  options.read.globals = options_.global_modules;
  options.keep_text = options_.keep_text;
  options.threads = options_.threads;
  auto last = std::chrono::steady_clock::now() - kReportInterval;
  if (show_progress) {
    options.progress = [&, index, count](size_t done, size_t total) {
      auto now = std::chrono::steady_clock::now();
      if (now - last < kReportInterval && done != total) return;
      last = now;
      double share = (static_cast<double>(index) + (total ? static_cast<double>(done) / total : 1.0)) / count;
      SendProgress("report", static_cast<int>(share * 100), std::to_string(done) + " of " + std::to_string(total) +
                                                                 " modules");
    };
  }
  try {
    Load(entry, options);
  } catch (const std::exception& error) {
    entry.configuration = Configuration();
    entry.sources.clear();
    Report(entry.folder + ": the configuration could not be read: " + error.what());
  }
  ReportProblems(entry);
  Locked lock(mutex_);
  entry.ready = true;
}

void WorkspaceIndex::Load(Entry& entry, const LoadOptions& options) {
  ConfigSources sources;
  Status read = ReadConfigSources(entry.path, options.read, sources);
  entry.configuration = Configuration();
  entry.sources.clear();
  if (!read.ok()) {
    entry.configuration.root = entry.folder;
    entry.by_path.clear();
    Report(entry.folder + ": " + read.message());
    return;
  }
  std::erase_if(sources.modules, [&](const ModuleSource& source) { return Excluded(options_.exclude, source.path); });
  for (const ModuleSource& source : sources.modules) entry.sources.push_back(WithoutBytes(source));
  LoadConfigurationSources(*analyzer_, std::move(sources), options, entry.configuration);
  IndexPaths(entry);
}

void WorkspaceIndex::IndexPaths(Entry& entry) {
  entry.by_path.clear();
  for (size_t m = 0; m < entry.sources.size(); ++m) {
    if (!entry.sources[m].file.empty()) entry.by_path.emplace(NormalPath(entry.sources[m].file), static_cast<int32_t>(m));
  }
}

void WorkspaceIndex::SendProgress(const std::string& kind, int percentage, const std::string& message) {
  Json value{{"kind", kind}, {"message", message}};
  if (kind == "begin") {
    value["title"] = "Indexing the configuration";
    value["cancellable"] = false;
  }
  if (kind != "end") value["percentage"] = percentage;
  notify_(Json{{"method", "$/progress"}, {"params", Json{{"token", kProgressToken}, {"value", value}}}});
}

void WorkspaceIndex::Report(const std::string& problem) {
  {
    Locked lock(mutex_);
    if (!reported_.insert(problem).second) return;
  }
  notify_(Json{{"method", "window/logMessage"}, {"params", Json{{"type", kLogWarning}, {"message", problem}}}});
}

void WorkspaceIndex::ReportProblems(const Entry& entry) {
  for (const std::string& problem : entry.configuration.problems) Report(entry.folder + ": " + problem);
  for (const ConfigModule& module : entry.configuration.modules) {
    if (!module.error.ok()) Report(entry.folder + ": " + module.error.message());
  }
}

std::vector<WorkspaceIndex::Entry*> WorkspaceIndex::ReadyEntries() {
  std::vector<Entry*> ready;
  {
    Locked lock(mutex_);
    for (const auto& entry : entries_) {
      if (entry->ready) ready.push_back(entry.get());
    }
  }
  for (Entry* entry : ready) {
    if (!entry->adopted) Adopt(*entry);
  }
  return ready;
}

// The first sight of a loaded configuration on the server's thread: the
// documents open meanwhile and the files changed meanwhile apply to it.
void WorkspaceIndex::Adopt(Entry& entry) {
  entry.adopted = true;
  for (const std::string& uri : open_) {
    std::optional<std::string> path = PathFromFileUri(uri);
    if (!path) continue;
    auto found = entry.by_path.find(NormalPath(*path));
    if (found == entry.by_path.end()) continue;
    entry.overridden[found->second] = uri;
    entry.dirty.insert(found->second);
    entry.stale = true;
  }
  std::vector<std::pair<std::string, Change>> early;
  {
    Locked lock(mutex_);
    early.swap(entry.early_changes);
  }
  if (!early.empty()) ApplyChanges(entry, std::map<std::string, Change>(early.begin(), early.end()));
}

std::optional<std::pair<WorkspaceIndex::Entry*, int32_t>> WorkspaceIndex::Find(const std::string& uri) {
  std::optional<std::string> path = PathFromFileUri(uri);
  if (!path) return std::nullopt;
  const std::string normal = NormalPath(*path);
  for (Entry* entry : ReadyEntries()) {
    auto found = entry->by_path.find(normal);
    if (found != entry->by_path.end()) return std::make_pair(entry, found->second);
  }
  return std::nullopt;
}

ConfigView WorkspaceIndex::View(const Entry& entry) const { return ConfigView{&entry.configuration, entry.folder}; }

std::optional<WorkspaceIndex::Located> WorkspaceIndex::Locate(const std::string& uri) {
  auto found = Find(uri);
  if (!found) return std::nullopt;
  Refresh(*found->first);
  // Reading the module again may have changed the module list.
  auto again = Find(uri);
  if (!again) return std::nullopt;
  return Located{View(*again->first), again->second};
}

std::vector<ConfigView> WorkspaceIndex::Views() {
  std::vector<ConfigView> views;
  for (Entry* entry : ReadyEntries()) {
    Refresh(*entry);
    views.push_back(View(*entry));
  }
  return views;
}

std::optional<ConfigView> WorkspaceIndex::ViewOfRoot(const std::string& root) {
  const std::string normal = NormalPath(root);
  for (Entry* entry : ReadyEntries()) {
    if (entry->folder != normal) continue;
    Refresh(*entry);
    return View(*entry);
  }
  return std::nullopt;
}

std::vector<std::string> WorkspaceFolders(const Json& params) {
  std::vector<std::string> folders;
  auto add = [&](const Json& uri) {
    if (!uri.is_string()) return;
    std::optional<std::string> path = PathFromFileUri(uri.get<std::string>());
    if (path) folders.push_back(NormalPath(*path));
  };
  auto given = params.find("workspaceFolders");
  if (given != params.end() && given->is_array() && !given->empty()) {
    for (const Json& folder : *given) {
      if (folder.is_object() && folder.contains("uri")) add(folder["uri"]);
    }
    return folders;
  }
  auto root_uri = params.find("rootUri");
  if (root_uri != params.end() && root_uri->is_string()) {
    add(*root_uri);
    return folders;
  }
  auto root_path = params.find("rootPath");
  if (root_path != params.end() && root_path->is_string() && !root_path->get<std::string>().empty()) {
    folders.push_back(NormalPath(root_path->get<std::string>()));
  }
  return folders;
}

}  // namespace ramulet::lsp
