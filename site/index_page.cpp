#include "site/index_page.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "platform/text.h"
#include "site/html_text.h"
#include "site/site_files.h"

namespace ramulet {

namespace {

constexpr size_t kMostCalledShown = 20;

void AppendModuleLink(const Configuration& configuration, int32_t module, std::string& out) {
  out += "<a href=\"" + ModulePageName(module) + "\">";
  AppendHtmlUtf8(configuration.modules[static_cast<size_t>(module)].name, out);
  out += "</a>";
}

void AppendNumberCell(int32_t value, std::string& out) { out += "<td class=\"n\">" + std::to_string(value) + "</td>"; }

void AppendMostCalled(const Configuration& configuration, const std::vector<ModuleCounts>& counts, std::string& out) {
  std::vector<int32_t> order(counts.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
    return counts[static_cast<size_t>(a)].calls_received > counts[static_cast<size_t>(b)].calls_received;
  });
  out += "<h2>Most called from other modules</h2>\n<table id=\"most-called\"><tr><th>Module</th>"
         "<th class=\"n\">Calls received</th></tr>\n";
  for (size_t i = 0; i < order.size() && i < kMostCalledShown; ++i) {
    if (counts[static_cast<size_t>(order[i])].calls_received == 0) break;
    out += "<tr><td>";
    AppendModuleLink(configuration, order[i], out);
    out += "</td>";
    AppendNumberCell(counts[static_cast<size_t>(order[i])].calls_received, out);
    out += "</tr>\n";
  }
  out += "</table>\n";
}

void AppendModulesByKind(const Configuration& configuration, const std::vector<ModuleCounts>& counts,
                         std::string& out) {
  std::map<std::string, std::vector<int32_t>> by_kind;
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    by_kind[configuration.modules[m].kind].push_back(static_cast<int32_t>(m));
  }
  for (const auto& [kind, modules] : by_kind) {
    out += "<h2>";
    AppendHtmlUtf8(kind, out);
    out += " <span class=\"count\">" + std::to_string(modules.size()) + "</span></h2>\n";
    out += "<table><tr><th>Module</th><th class=\"n\">Methods</th><th class=\"n\">Exported</th>"
           "<th class=\"n\">Calls made</th><th class=\"n\">Calls received</th></tr>\n";
    for (int32_t m : modules) {
      const ModuleCounts& c = counts[static_cast<size_t>(m)];
      out += "<tr><td>";
      AppendModuleLink(configuration, m, out);
      if (!configuration.modules[static_cast<size_t>(m)].error.ok()) out += " <span class=\"kind\">error</span>";
      out += "</td>";
      AppendNumberCell(c.methods, out);
      AppendNumberCell(c.exported, out);
      AppendNumberCell(c.calls_made, out);
      AppendNumberCell(c.calls_received, out);
      out += "</tr>\n";
    }
    out += "</table>\n";
  }
}

}  // namespace

std::vector<ModuleCounts> CountModules(const Configuration& configuration) {
  std::vector<ModuleCounts> counts(configuration.modules.size());
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    const ModuleAnalysis& analysis = configuration.modules[m].analysis;
    counts[m].methods = analysis.MethodCount();
    for (const MethodInfo& method : analysis.methods) counts[m].exported += method.exported ? 1 : 0;
  }
  for (const Edge& edge : configuration.graph.edges) {
    if (edge.from.module >= 0 && edge.from.named_caller == kNone && edge.to_method >= 0) {
      ++counts[static_cast<size_t>(edge.from.module)].calls_made;
    }
    const bool from_elsewhere = edge.from.module != edge.to_module || edge.from.named_caller != kNone;
    if (edge.to_module >= 0 && edge.to_method >= 0 && from_elsewhere) {
      ++counts[static_cast<size_t>(edge.to_module)].calls_received;
    }
  }
  return counts;
}

std::string IndexPage(const Configuration& configuration, const std::vector<ModuleCounts>& counts) {
  std::string out = PageHead("Ramulet: " + configuration.root, true);
  out += "<body>\n<header class=\"top\"><h1>";
  AppendHtmlUtf8(configuration.root, out);
  out += "</h1><div class=\"meta\">";
  out += LayoutName(configuration.layout);
  out += " · " + std::to_string(configuration.modules.size()) + " modules · " +
         std::to_string(configuration.graph.edges.size()) + " references</div></header>\n<div class=\"index\">\n";
  out += "<h2>Search</h2>\n<input id=\"search\" type=\"search\" placeholder=\"Method name, part of it, or initials\" "
         "autocomplete=\"off\" spellcheck=\"false\">\n<div id=\"found\" class=\"meta\"></div>\n<ul id=\"results\"></ul>\n";
  AppendMostCalled(configuration, counts, out);
  AppendModulesByKind(configuration, counts, out);
  out += "</div>\n</body>\n</html>\n";
  return out;
}

std::string SearchIndexScript(const Configuration& configuration) {
  std::string modules = "[", names, module_of = "[", method_of = "[";
  bool first = true;
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    if (m > 0) modules += ',';
    AppendJsStringUtf8(configuration.modules[m].name, modules);
    const ModuleAnalysis& analysis = configuration.modules[m].analysis;
    for (int32_t method = 0; method < analysis.MethodCount(); ++method) {
      if (!first) names += '\n', module_of += ',', method_of += ',';
      first = false;
      names += Utf16ToUtf8(analysis.methods[static_cast<size_t>(method)].name);
      module_of += std::to_string(m);
      method_of += std::to_string(method);
    }
  }
  std::string script = "var RAMULET_SEARCH = {\"modules\": " + modules + "],\n\"names\": ";
  AppendJsStringUtf8(names, script);
  script += ",\n\"module\": " + module_of + "],\n\"method\": " + method_of + "]};\n";
  return script;
}

}  // namespace ramulet
