#include "config/configuration.h"

#include <algorithm>
#include <filesystem>
#include <atomic>
#include <fstream>
#include <iterator>

#include "analysis/module_analyzer.h"
#include "config/file_access.h"
#include "config/resolver.h"
#include "platform/parallel.h"
#include "platform/text.h"
#include "textio/module_text.h"

namespace ramulet {

int32_t Configuration::FindModule(std::string_view name) const {
  const std::u16string folded = UpperCase(Utf8ToUtf16(name));
  auto at = std::lower_bound(by_name_.begin(), by_name_.end(), folded,
                             [](const auto& entry, const std::u16string& key) { return entry.first < key; });
  return at != by_name_.end() && at->first == folded ? at->second : kNone;
}

size_t Configuration::FailedModules() const {
  return static_cast<size_t>(std::count_if(modules.begin(), modules.end(), [](const auto& m) { return !m.error.ok(); }));
}

void Configuration::IndexModules() {
  by_name_.clear();
  by_name_.reserve(modules.size());
  for (size_t i = 0; i < modules.size(); ++i) by_name_.emplace_back(UpperCase(Utf8ToUtf16(modules[i].name)), i);
  std::stable_sort(by_name_.begin(), by_name_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

namespace {

Status ReadFileBytes(const std::string& file, uint64_t max_size, std::string& bytes) {
  std::ifstream in(PathFromUtf8(file), std::ios::binary);
  if (!in) return Status::Error(Status::kFail, "cannot open " + file);
  in.seekg(0, std::ios::end);
  const auto size = static_cast<std::streamoff>(in.tellg());
  if (size < 0) return Status::Error(Status::kFail, "cannot read " + file);
  if (static_cast<uint64_t>(size) > max_size)
    return Status::Error(Status::kOutOfRange, file + " is larger than " + std::to_string(max_size) + " bytes");
  in.seekg(0);
  bytes.resize(static_cast<size_t>(size));
  in.read(bytes.data(), size);
  if (in.gcount() != size) return Status::Error(Status::kFail, "cannot read " + file + " (it changed while read)");
  return Status::Ok();
}

// "#ЗагрузитьИзФайла" or "#LoadFromFile" as the first text of the first line.
bool IsExternalText(const TextLines& lines) {
  if (lines.size() == 0) return false;
  const std::u16string_view first = DropLeadingSpaces(lines.Line(0));
  for (std::u16string_view mark : {std::u16string_view(u"#ЗАГРУЗИТЬИЗФАЙЛА"), std::u16string_view(u"#LOADFROMFILE")}) {
    if (first.size() >= mark.size() && UpperCase(first.substr(0, mark.size())) == mark) return true;
  }
  return false;
}

}  // namespace

void AnalyseConfigModule(const ModuleAnalyzer& analyzer, TextLines text, bool keep_text, ConfigModule& module) {
  module.analysis = ModuleAnalysis();
  module.analysis.rules = RuleSet::kLanguage;
  module.facts = ModuleFacts();
  module.external_text = false;
  module.error = Status::Ok();
  module.text = TextLines();
  if (IsExternalText(text)) {
    module.external_text = true;
    int32_t count = 0;
    (void)text.LineCount(count);
    module.analysis.line_count = count;
    if (keep_text) module.text = std::move(text);
    return;
  }
  module.error = analyzer.Analyze(text, module.analysis, RuleSet::kLanguage);
  if (!module.error.ok()) module.error = Status::Error(module.error.code(), module.path + ": " + module.error.message());
  const Status facts = ScanModuleFacts(text, module.analysis, module.facts);
  if (module.error.ok() && !facts.ok()) module.error = facts;
  if (keep_text) module.text = std::move(text);
}

void LoadConfigModule(const ModuleAnalyzer& analyzer, ModuleSource& source, const LoadOptions& options,
                      ConfigModule& module) {
  module.name = source.name;
  module.path = source.path;
  module.kind = source.kind;
  module.global = source.global;
  module.analysis = ModuleAnalysis();
  module.analysis.rules = RuleSet::kLanguage;
  module.facts = ModuleFacts();
  module.text = TextLines();
  module.external_text = false;
  if (!source.read_error.ok()) {
    module.error = source.read_error;
    return;
  }
  std::string bytes = std::move(source.bytes);
  source.bytes = std::string();
  if (!source.file.empty()) {
    module.error = ReadFileBytes(source.file, options.read.max_file_size, bytes);
    if (!module.error.ok()) return;
  }
  ModuleText text;
  module.error = LoadModuleText(std::move(bytes), source.encoding, text);
  if (!module.error.ok()) {
    module.error = Status::Error(module.error.code(), module.path + ": " + module.error.message());
    return;
  }
  AnalyseConfigModule(analyzer, std::move(text.lines), options.keep_text, module);
}

Status LoadConfiguration(const ModuleAnalyzer& analyzer, const std::string& path, const LoadOptions& options,
                         Configuration& configuration) {
  ConfigSources sources;
  RAMULET_RETURN_IF_ERROR(ReadConfigSources(path, options.read, sources));
  LoadConfigurationSources(analyzer, std::move(sources), options, configuration);
  return Status::Ok();
}

void LoadConfigurationSources(const ModuleAnalyzer& analyzer, ConfigSources sources, const LoadOptions& options,
                              Configuration& configuration) {
  configuration.layout = sources.layout;
  configuration.root = sources.root;
  configuration.named_callers = std::move(sources.named_callers);
  configuration.problems = std::move(sources.problems);
  configuration.modules.clear();
  configuration.modules.resize(sources.modules.size());

  const size_t total = sources.modules.size();
  std::atomic<size_t> next{0};
  std::atomic<size_t> done{0};
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < total;) {
      LoadConfigModule(analyzer, sources.modules[i], options, configuration.modules[i]);
      done.fetch_add(1);
    }
  };
  // The calling thread reads modules too, and reports between them.
  auto report = [&] {
    for (size_t i; (i = next.fetch_add(1)) < total;) {
      LoadConfigModule(analyzer, sources.modules[i], options, configuration.modules[i]);
      options.progress(done.fetch_add(1) + 1, total);
    }
  };
  const unsigned threads = ThreadsFor(total, options.threads);
  if (options.progress) {
    RunOnThreads(threads, work, report);
  } else {
    RunOnThreads(threads, work);
  }
  if (options.progress) options.progress(total, total);

  configuration.IndexModules();
  ResolveReferences(configuration, configuration.graph);
}

Status LoadSingleModule(const ModuleAnalyzer& analyzer, const std::string& path, TextLines text, RuleSet rules,
                        Configuration& configuration) {
  configuration = Configuration();
  configuration.layout = ConfigLayout::kFolder;
  const std::filesystem::path file(path);
  configuration.root = file.parent_path().string();
  ConfigModule& module = configuration.modules.emplace_back();
  module.name = file.stem().string();
  module.path = file.filename().string();
  module.kind = "Module";
  module.error = analyzer.Analyze(text, module.analysis, rules);
  if (rules == RuleSet::kLanguage) {
    const Status facts = ScanModuleFacts(text, module.analysis, module.facts);
    if (module.error.ok() && !facts.ok()) module.error = facts;
  }
  module.text = std::move(text);
  configuration.IndexModules();
  ResolveReferences(configuration, configuration.graph);
  return module.error;
}

}  // namespace ramulet
