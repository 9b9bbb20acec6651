// Keeping the workspace's configurations fresh: open documents over their
// files, files changed on disk, each read again only when an answer needs
// it.
#include <optional>

#include "analysis/module_analyzer.h"
#include "config/resolver.h"
#include "lsp/file_uri.h"
#include "lsp/text_document.h"
#include "lsp/workspace_entry.h"
#include "lsp/workspace_index.h"

namespace ramulet::lsp {

void WorkspaceIndex::DocumentChanged(const std::string& uri) {
  open_.insert(uri);
  auto found = Find(uri);
  if (!found) return;
  Entry& entry = *found->first;
  entry.overridden[found->second] = uri;
  entry.dirty.insert(found->second);
  entry.stale = true;
}

void WorkspaceIndex::DocumentClosed(const std::string& uri) {
  open_.erase(uri);
  auto found = Find(uri);
  if (!found) return;
  Entry& entry = *found->first;
  entry.overridden.erase(found->second);
  entry.dirty.insert(found->second);
  entry.stale = true;
}

// Reads or analyses again what changed since the last answer, then
// resolves: edits between two answers cost one analysis each at most.
void WorkspaceIndex::Refresh(Entry& entry) {
  if (!entry.stale) return;
  LoadOptions options;
  options.read.globals = options_.global_modules;
  options.keep_text = options_.keep_text;
  for (int32_t m : entry.dirty) {
    ConfigModule& module = entry.configuration.modules[static_cast<size_t>(m)];
    auto open = entry.overridden.find(m);
    const TextDocument* text = open != entry.overridden.end() && document_text_ ? document_text_(open->second) : nullptr;
    if (text != nullptr) {
      AnalyseConfigModule(*analyzer_, TextLines::FromLines(text->ModuleLines()), options_.keep_text, module);
    } else {
      ModuleSource source = entry.sources[static_cast<size_t>(m)];
      LoadConfigModule(*analyzer_, source, options, module);
      if (!module.error.ok()) Report(entry.folder + ": " + module.error.message());
    }
  }
  entry.dirty.clear();
  ResolveReferences(entry.configuration, entry.configuration.graph);
  entry.stale = false;
}

bool WorkspaceIndex::FilesChanged(const Json& params) {
  const Json& changes = Member(params, "changes");
  if (!changes.is_array()) throw RpcError(error_code::kInvalidParams, "'changes' must be an array");
  std::map<std::string, Change> paths;
  for (const Json& change : changes) {
    std::optional<std::string> path = PathFromFileUri(StringMember(change, "uri"));
    int64_t type = IntegerMember(change, "type");
    if (!path || type < 1 || type > 3) continue;
    paths[NormalPath(*path)] = static_cast<Change>(type);
  }
  bool changed = false;
  std::vector<Entry*> early;
  {
    Locked lock(mutex_);
    for (const auto& entry : entries_) {
      if (!entry->ready) {
        for (const auto& change : paths) entry->early_changes.push_back(change);
      }
    }
  }
  for (Entry* entry : ReadyEntries()) {
    std::map<std::string, Change> own;
    for (const auto& [path, change] : paths) {
      if (path == entry->path || path.starts_with(entry->folder + "/")) own.emplace(path, change);
    }
    if (!own.empty()) {
      ApplyChanges(*entry, own);
      changed = true;
    }
  }
  return changed;
}

void WorkspaceIndex::ApplyChanges(Entry& entry, const std::map<std::string, Change>& changes) {
  bool modules_only = true;
  for (const auto& [path, change] : changes) {
    auto found = entry.by_path.find(path);
    if (change != Change::kChanged || found == entry.by_path.end()) modules_only = false;
  }
  if (!modules_only) {
    std::set<std::string> changed;
    for (const auto& change : changes) changed.insert(change.first);
    Rescan(entry, changed);
    return;
  }
  // The files of known modules changed: those modules only are read again
  // (an open one keeps the editor's text).
  for (const auto& change : changes) {
    int32_t module = entry.by_path.at(change.first);
    if (entry.overridden.count(module) == 0) entry.dirty.insert(module);
  }
  entry.stale = true;
}

// Lists the configuration's modules and named callers again, and reads the
// modules whose file is new or changed; the others are kept as they are.
void WorkspaceIndex::Rescan(Entry& entry, std::set<std::string> changed) {
  // Modules waiting to be read again are read with the rest.
  for (int32_t m : entry.dirty) changed.insert(NormalPath(entry.sources[static_cast<size_t>(m)].file));
  LoadOptions options;
  options.read.globals = options_.global_modules;
  options.keep_text = options_.keep_text;
  ConfigSources sources;
  Status read = ReadConfigSources(entry.path, options.read, sources);
  Configuration& configuration = entry.configuration;
  std::vector<ConfigModule> modules;
  std::vector<ModuleSource> kept;
  if (read.ok()) {
    std::erase_if(sources.modules, [&](const ModuleSource& source) { return Excluded(options_.exclude, source.path); });
    std::unordered_map<std::string, int32_t> old_by_file;
    for (size_t m = 0; m < entry.sources.size(); ++m) {
      if (!entry.sources[m].file.empty()) old_by_file.emplace(entry.sources[m].file, static_cast<int32_t>(m));
    }
    modules.resize(sources.modules.size());
    for (size_t i = 0; i < sources.modules.size(); ++i) {
      ModuleSource& source = sources.modules[i];
      kept.push_back(WithoutBytes(source));
      auto old = source.file.empty() ? old_by_file.end() : old_by_file.find(source.file);
      if (old != old_by_file.end() && changed.count(NormalPath(source.file)) == 0 &&
          configuration.modules[static_cast<size_t>(old->second)].name == source.name) {
        modules[i] = std::move(configuration.modules[static_cast<size_t>(old->second)]);
        modules[i].kind = source.kind;
        modules[i].global = source.global;
      } else {
        LoadConfigModule(*analyzer_, source, options, modules[i]);
      }
    }
    configuration.layout = sources.layout;
    configuration.named_callers = std::move(sources.named_callers);
    configuration.problems = std::move(sources.problems);
  } else {
    Report(entry.folder + ": " + read.message());
    configuration.named_callers.clear();
    configuration.problems.clear();
  }
  configuration.modules = std::move(modules);
  configuration.IndexModules();
  entry.sources = std::move(kept);
  IndexPaths(entry);
  ReportProblems(entry);
  // Open documents keep their texts over the files read.
  entry.overridden.clear();
  entry.dirty.clear();
  entry.adopted = false;
  Adopt(entry);
  entry.stale = true;
}

}  // namespace ramulet::lsp
