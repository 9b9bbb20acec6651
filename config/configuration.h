#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/module_analysis.h"
#include "config/call_graph.h"
#include "config/config_sources.h"
#include "config/module_facts.h"
#include "platform/status.h"
#include "textio/text_lines.h"

namespace ramulet {

class ModuleAnalyzer;

// One module of a configuration, analysed by the language's rules.
struct ConfigModule {
  std::string name;
  std::string path;
  std::string kind;
  bool global = false;
  // Text loaded from a file (#ЗагрузитьИзФайла first): no methods.
  bool external_text = false;
  ModuleAnalysis analysis;
  ModuleFacts facts;
  // The module's text, kept only when LoadOptions::keep_text asks for it.
  TextLines text;
  // Why the module could not be read or analysed (ok when it could); after
  // a duplicate method, `analysis` holds the methods read before it.
  Status error;
};

// A whole configuration: its modules, the callers named outside the code,
// and every reference between them.
class Configuration {
 public:
  ConfigLayout layout = ConfigLayout::kFolder;
  std::string root;
  std::vector<ConfigModule> modules;  // in the order of their paths
  std::vector<NamedCaller> named_callers;
  std::vector<std::string> problems;
  CallGraph graph;

  // The module named `name` (letter case ignored), kNone when there is none.
  int32_t FindModule(std::string_view name) const;
  size_t FailedModules() const;

  // Builds the name index; called once the modules are in place.
  void IndexModules();

 private:
  std::vector<std::pair<std::u16string, int32_t>> by_name_;  // folded names, sorted
};

struct LoadOptions {
  ReadOptions read;
  // Threads reading and analysing modules; 0 for one per core.
  unsigned threads = 0;
  // Called now and then from the loading thread with the modules read so
  // far and the total.
  std::function<void(size_t done, size_t total)> progress;
  // Keep each module's text (for a face that shows it); otherwise it is
  // dropped once the module is analysed.
  bool keep_text = false;
};

// Reads the configuration under `path`, analyses every module with
// `analyzer` by the language's rules and resolves the references between
// them. A module that fails is listed with its error; the load fails only
// when `path` cannot be read at all.
Status LoadConfiguration(const ModuleAnalyzer& analyzer, const std::string& path, const LoadOptions& options,
                         Configuration& configuration);

// LoadConfiguration of the sources a layout reader listed (the caller may
// have dropped some of them).
void LoadConfigurationSources(const ModuleAnalyzer& analyzer, ConfigSources sources, const LoadOptions& options,
                              Configuration& configuration);

// Reads, decodes and analyses the module of `source` into `module` (name,
// path and kind from the source; `error` says what failed). The graph is
// not touched: resolve again once the modules are in place.
void LoadConfigModule(const ModuleAnalyzer& analyzer, ModuleSource& source, const LoadOptions& options,
                      ConfigModule& module);
// Analyses `text` as the text of `module` (an editor's, in place of its
// file's) by the language's rules: its methods, facts and error.
void AnalyseConfigModule(const ModuleAnalyzer& analyzer, TextLines text, bool keep_text, ConfigModule& module);

// A configuration of the one module `text` (layout kFolder), analysed by
// `rules`, named after the file `path` without its folder and extension.
// Fails only as the analysis fails; the module keeps its text.
Status LoadSingleModule(const ModuleAnalyzer& analyzer, const std::string& path, TextLines text, RuleSet rules,
                        Configuration& configuration);

}  // namespace ramulet
