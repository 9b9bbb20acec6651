#include <algorithm>
#include <filesystem>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "config/config_sources.h"
#include "config/designer_layout.h"
#include "config/file_access.h"
#include "config/folder_layout.h"
#include "config/layout_detect.h"
#include "config/md_config.h"
#include "config/old_dump_layout.h"
#include "platform/text.h"

// Recognises a configuration's layout and hands it to its reader; then
// puts the modules in the order of their paths and marks the globals the
// command line names.

namespace ramulet {

namespace {

std::u16string Folded(std::string_view text) {
  std::string slashed(text);
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  if (slashed.starts_with("./")) slashed.erase(0, 2);
  return UpperCase(Utf8ToUtf16(slashed));
}

// --global: each value names a common module (N or CommonModule.N), any
// module by its name, or a module file by its path relative to the root;
// letter case ignored. A value that marks nothing is a problem.
void MarkGlobals(const std::vector<std::string>& globals, ConfigSources& sources) {
  if (globals.empty()) return;
  std::unordered_map<std::u16string, bool> used;
  for (const std::string& global : globals) used.emplace(Folded(global), false);
  auto mark = [&](std::string_view key) {
    auto found = used.find(Folded(key));
    if (found == used.end()) return false;
    found->second = true;
    return true;
  };
  constexpr std::string_view kCommonPrefix = "CommonModule.";
  for (ModuleSource& module : sources.modules) {
    const bool common = module.kind == "CommonModule" && module.name.starts_with(kCommonPrefix);
    const bool by_short_name = common && mark(std::string_view(module.name).substr(kCommonPrefix.size()));
    const bool by_name = mark(module.name);
    const bool by_path = mark(module.path);
    if (by_short_name || by_name || by_path) module.global = true;
  }
  for (const std::string& global : globals) {
    if (!used[Folded(global)]) sources.problems.push_back("--global " + global + ": no module of that name or path");
  }
}

// Modules are found by name with letter case ignored, so two modules whose
// names differ only so (or not at all) are reported: calls by that name
// reach the first of them.
void ReportSameNames(ConfigSources& sources) {
  std::unordered_map<std::u16string, size_t> first;
  for (size_t i = 0; i < sources.modules.size(); ++i) {
    const auto [at, added] = first.emplace(UpperCase(Utf8ToUtf16(sources.modules[i].name)), i);
    if (added) continue;
    const ModuleSource& earlier = sources.modules[at->second];
    sources.problems.push_back(sources.modules[i].path + ": named " + sources.modules[i].name + " like " +
                               earlier.path + ", which calls by that name reach");
  }
}

// A folder can be walked twice (the jobs' folder is also part of the
// whole tree): each problem is said once.
void DropRepeatedProblems(std::vector<std::string>& problems) {
  std::unordered_set<std::string> seen;
  std::vector<std::string> kept;
  for (std::string& problem : problems) {
    if (seen.insert(problem).second) kept.push_back(std::move(problem));
  }
  problems = std::move(kept);
}

Status ReadFolder(const std::string& path, const ReadOptions& options, ConfigSources& sources) {
  const DetectedLayout detected = DetectLayout(path);
  sources.layout = detected.layout;
  switch (detected.layout) {
    case ConfigLayout::kDesigner:
      ReadDesignerLayout(path, "", false, sources);
      break;
    case ConfigLayout::kProject:
      ReadDesignerLayout(path, detected.src, true, sources);
      break;
    case ConfigLayout::kOldDump:
      ReadOldDumpLayout(path, sources);
      break;
    case ConfigLayout::kOldMd:
    case ConfigLayout::kFolder:
      ReadFolderLayout(path, sources);
      break;
  }
  DropRepeatedProblems(sources.problems);
  MarkGlobals(options.globals, sources);
  return Status::Ok();
}

// Modules in the order of their paths: UTF-8 bytes compared unsigned
// (std::string's order) is code-point order. Named callers by their file
// and place.
void SortSources(ConfigSources& sources) {
  std::stable_sort(sources.modules.begin(), sources.modules.end(),
                   [](const ModuleSource& a, const ModuleSource& b) { return a.path < b.path; });
  std::stable_sort(sources.named_callers.begin(), sources.named_callers.end(),
                   [](const NamedCaller& a, const NamedCaller& b) {
                     return std::tie(a.path, a.line, a.column) < std::tie(b.path, b.line, b.column);
                   });
}

}  // namespace

Status ReadConfigSources(const std::string& path, const ReadOptions& options, ConfigSources& sources) {
  sources = ConfigSources();
  sources.root = path;
  if (path.empty()) return Status::Error(Status::kInvalidArgument, "no configuration folder or .MD file given");
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(PathFromUtf8(path), error);
  if (!std::filesystem::exists(status)) {
    return Status::Error(
        Status::kInvalidArgument,
        path + ": no such folder or file" +
            (error && error != std::errc::no_such_file_or_directory ? " (" + error.message() + ")" : std::string()));
  }
  Status result;
  if (std::filesystem::is_directory(status)) {
    result = ReadFolder(path, options, sources);
  } else if (IsMdFilePath(path)) {
    result = ReadMdFile(path, sources);
  } else {
    return Status::Error(Status::kInvalidArgument, path + ": neither a folder nor a .MD file");
  }
  SortSources(sources);
  ReportSameNames(sources);
  return result;
}

}  // namespace ramulet
