#include "tests/support/config_fixture.h"

#include "analysis/module_analyzer.h"
#include "config/resolver.h"
#include "platform/text.h"
#include "textio/text_lines.h"

namespace ramulet {

namespace {

const ModuleAnalyzer& SharedAnalyzer() {
  static const ModuleAnalyzer analyzer;
  return analyzer;
}

TextLines LinesOf(const std::string& utf8) {
  std::vector<std::u16string> lines;
  std::u16string text = Utf8ToUtf16(utf8);
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(u'\n', start);
    std::u16string line = text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    lines.push_back(std::move(line));
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  return TextLines::FromLines(lines);
}

std::string SiteName(const Configuration& configuration, const CallSite& from) {
  if (from.module < 0) return configuration.named_callers[static_cast<size_t>(from.named_caller)].caller;
  const ConfigModule& module = configuration.modules[static_cast<size_t>(from.module)];
  if (from.method < 0) return module.name + ".<body>";
  return module.name + "." + Utf16ToUtf8(module.analysis.methods[static_cast<size_t>(from.method)].name);
}

std::string Place(const CallSite& from) { return std::to_string(from.line) + ":" + std::to_string(from.column); }

}  // namespace

void BuildConfiguration(const std::vector<FixtureModule>& modules, const std::vector<NamedCaller>& callers,
                        ConfigLayout layout, Configuration& configuration) {
  configuration = Configuration();
  configuration.layout = layout;
  configuration.named_callers = callers;
  for (const FixtureModule& source : modules) {
    ConfigModule module;
    module.name = source.name;
    module.path = source.name;
    module.kind = source.kind;
    module.global = source.global;
    TextLines lines = LinesOf(source.text);
    module.error = SharedAnalyzer().Analyze(lines, module.analysis, RuleSet::kLanguage);
    const Status facts = ScanModuleFacts(lines, module.analysis, module.facts);
    if (module.error.ok()) module.error = facts;
    configuration.modules.push_back(std::move(module));
  }
  configuration.IndexModules();
  ResolveReferences(configuration, configuration.graph);
}

Configuration MakeConfiguration(const std::vector<FixtureModule>& modules) {
  Configuration configuration;
  BuildConfiguration(modules, {}, ConfigLayout::kDesigner, configuration);
  return configuration;
}

std::vector<std::string> DescribeEdges(const Configuration& configuration) {
  std::vector<std::string> lines;
  const CallGraph& graph = configuration.graph;
  for (const Edge& edge : graph.edges) {
    std::string to = "<none>";
    if (edge.to_module >= 0) {
      const ConfigModule& module = configuration.modules[static_cast<size_t>(edge.to_module)];
      to = module.name + "." +
           (edge.to_method < 0 ? std::string("?")
                               : Utf16ToUtf8(module.analysis.methods[static_cast<size_t>(edge.to_method)].name));
    }
    std::string line = SiteName(configuration, edge.from) + " " + Place(edge.from) + " -> " + to + " " +
                       EdgeKindName(edge.kind);
    if (edge.via >= 0) line += " via=" + std::string(graph.Text(edge.via));
    if (edge.target >= 0) line += " target=" + std::string(graph.Text(edge.target));
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> DescribeUnresolved(const Configuration& configuration) {
  std::vector<std::string> lines;
  for (const Unresolved& entry : configuration.graph.unresolved) {
    lines.push_back(SiteName(configuration, entry.from) + " " + Place(entry.from) + " " +
                    UnresolvedKindName(entry.kind) + " " + std::string(configuration.graph.Text(entry.text)));
  }
  return lines;
}

}  // namespace ramulet
