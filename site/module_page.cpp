#include "site/module_page.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include "analysis/language_lexer.h"
#include "site/assets.h"
#include "site/highlight.h"
#include "site/html_text.h"
#include "site/neighbourhood.h"
#include "site/site_files.h"
#include "tree/call_tree.h"

namespace ramulet {

namespace {


class PageWriter {
 public:
  PageWriter(const Configuration& configuration, int32_t module, const language::Keywords& keywords)
      : configuration_(configuration),
        graph_(configuration.graph),
        index_(module),
        module_(configuration.modules[static_cast<size_t>(module)]),
        keywords_(keywords) {}

  std::string Write() {
    out_ = PageHead(module_.name, false);
    out_ += "<body>\n";
    WriteHeader();
    out_ += "<div class=\"page\">\n<aside>\n";
    WriteMethods();
    WriteCallsOut();
    WriteTree();
    out_ += "<h2>Neighbours</h2>\n";
    AppendNeighbourhoodSvg(configuration_, index_, out_);
    out_ += "\n</aside>\n<main class=\"code\">\n";
    WriteCode();
    out_ += "</main>\n</div>\n</body>\n</html>\n";
    return std::move(out_);
  }

 private:
  const MethodInfo& MethodOf(int32_t module, int32_t method) const {
    return configuration_.modules[static_cast<size_t>(module)].analysis.methods[static_cast<size_t>(method)];
  }

  void WriteHeader() {
    out_ += "<header class=\"top\"><h1>";
    AppendHtmlUtf8(module_.name, out_);
    out_ += "</h1><div class=\"meta\"><a href=\"index.html\">index</a> · ";
    AppendHtmlUtf8(module_.kind, out_);
    out_ += module_.global ? " · global" : "";
    out_ += " · ";
    AppendHtmlUtf8(module_.path, out_);
    out_ += " · " + std::to_string(module_.analysis.line_count) + " lines";
    if (!module_.error.ok()) {
      out_ += " · error: ";
      AppendHtmlUtf8(module_.error.message(), out_);
    }
    out_ += "</div></header>\n";
  }

  // The caller of an edge as a name, linked to its header when it is a method.
  void AppendCaller(const CallSite& site) {
    if (site.module < 0) {
      AppendHtmlUtf8(configuration_.named_callers[static_cast<size_t>(site.named_caller)].caller, out_);
      return;
    }
    const ConfigModule& caller = configuration_.modules[static_cast<size_t>(site.module)];
    if (site.method < 0) {
      out_ += "<a href=\"" + ModulePageName(site.module) + "\">";
      AppendHtmlUtf8(caller.name, out_);
      out_ += "</a>";
      return;
    }
    out_ += "<a href=\"" + MethodHref(site.module, site.method, index_) + "\">";
    if (site.module != index_) {
      AppendHtmlUtf8(caller.name, out_);
      out_ += ".";
    }
    AppendHtml(MethodOf(site.module, site.method).name, out_);
    out_ += "</a>";
  }

  // Each caller once, with every site it calls from.
  void WriteCallers(int32_t method) {
    std::vector<const Edge*> edges;
    for (int32_t index : graph_.EdgesTo(index_, method)) edges.push_back(&graph_.edges[static_cast<size_t>(index)]);
    if (edges.empty()) return;
    auto key = [](const Edge* e) { return std::make_tuple(e->from.module, e->from.named_caller, e->from.method); };
    std::stable_sort(edges.begin(), edges.end(), [&](const Edge* a, const Edge* b) { return key(a) < key(b); });
    out_ += "<ul>";
    for (size_t i = 0; i < edges.size();) {
      size_t end = i;
      while (end < edges.size() && key(edges[end]) == key(edges[i])) ++end;
      out_ += "<li>";
      AppendCaller(edges[i]->from);
      out_ += "<span class=\"kind\">";
      out_ += EdgeKindName(edges[i]->kind);
      out_ += "</span> <span class=\"sites\">";
      for (size_t k = i; k < end; ++k) AppendSite(edges[k]->from);
      out_ += "</span></li>";
      i = end;
    }
    out_ += "</ul>";
  }

  void AppendSite(const CallSite& site) {
    if (site.module < 0 || site.named_caller >= 0) {
      // Named outside the code: where it is named.
      const NamedCaller& named = configuration_.named_callers[static_cast<size_t>(site.named_caller)];
      out_ += "<span class=\"kind\">";
      AppendHtmlUtf8(named.path, out_);
      out_ += ":" + std::to_string(site.line + 1) + "</span>";
      return;
    }
    out_ += "<a href=\"" + LineHref(site.module, site.line, index_) + "\">" + std::to_string(site.line + 1) + "</a>";
  }

  // Groups of methods, laid out only when they come near the view.
  static constexpr int32_t kMethodGroup = 64;

  void WriteMethods() {
    out_ += "<h2>Methods</h2>\n<div class=\"methods\">\n";
    for (int32_t m = 0; m < module_.analysis.MethodCount(); ++m) {
      if (m % kMethodGroup == 0) out_ += m == 0 ? "<ul class=\"group\">\n" : "</ul>\n<ul class=\"group\">\n";
      const MethodInfo& method = module_.analysis.methods[static_cast<size_t>(m)];
      out_ += "<li><a href=\"#M" + std::to_string(m) + "\">";
      AppendHtml(method.name, out_);
      out_ += "</a>";
      if (method.exported) out_ += "<span class=\"exp\">Экспорт</span>";
      WriteCallers(m);
      out_ += "</li>\n";
    }
    if (module_.analysis.MethodCount() > 0) out_ += "</ul>\n";
    out_ += "</div>\n";
  }

  // The calls into other modules, grouped by the module they reach.
  void WriteCallsOut() {
    std::map<int32_t, std::vector<const Edge*>> by_target;
    for (const Edge& edge : graph_.EdgesFrom(index_)) {
      if (edge.from.named_caller == kNone && edge.to_module >= 0 && edge.to_module != index_) {
        by_target[edge.to_module].push_back(&edge);
      }
    }
    if (by_target.empty()) return;
    out_ += "<h2>Calls into other modules</h2>\n<ul class=\"out\">\n";
    for (const auto& [target, edges] : by_target) {
      out_ += "<li><a href=\"" + ModulePageName(target) + "\">";
      AppendHtmlUtf8(configuration_.modules[static_cast<size_t>(target)].name, out_);
      out_ += "</a><ul>";
      for (const Edge* edge : edges) {
        out_ += "<li>";
        if (edge->to_method >= 0) {
          out_ += "<a href=\"" + MethodHref(target, edge->to_method, index_) + "\">";
          AppendHtml(MethodOf(target, edge->to_method).name, out_);
          out_ += "</a>";
        } else {
          AppendHtmlUtf8(graph_.Text(edge->target), out_);
        }
        out_ += "<span class=\"kind\">";
        out_ += EdgeKindName(edge->kind);
        out_ += "</span> <span class=\"sites\">";
        AppendSite(edge->from);
        out_ += "</span></li>";
      }
      out_ += "</ul></li>\n";
    }
    out_ += "</ul>\n";
  }

  // The panel's tree, breadth first as built, for the script to unfold.
  void WriteTree() {
    if (!module_.error.ok() || module_.analysis.MethodCount() == 0) return;
    CallTree tree;
    if (!BuildCallTree(module_.analysis, tree).ok()) return;
    const NodeStore& nodes = tree.nodes;
    std::string methods, children;
    for (int32_t node = 1; node <= nodes.Count(); ++node) {
      if (node > 1) methods += ',', children += ',';
      methods += std::to_string(nodes.Method(node));
      int32_t count = 0;
      for (int32_t child = nodes.FirstChild(node); child != NodeStore::kNoNode; child = nodes.NextSibling(child)) ++count;
      children += std::to_string(count);
    }
    std::string names = "[";
    for (int32_t m = 0; m < module_.analysis.MethodCount(); ++m) {
      if (m > 0) names += ',';
      AppendJsString(module_.analysis.methods[static_cast<size_t>(m)].name, names);
    }
    names += ']';
    // The script makes the tree's items when it is first opened.
    out_ += "<details id=\"tree-box\"><summary><h2>Call tree</h2></summary>\n<div id=\"tree\" data-roots=\"" + std::to_string(tree.RootCount) +
            "\" data-methods=\"" + methods + "\" data-children=\"" + children + "\" data-names=\"";
    AppendHtmlUtf8(names, out_);
    out_ += "\"></div>\n";
    if (tree.truncated) out_ += "<p class=\"meta\">The tree was cut at its node ceiling.</p>\n";
    out_ += "</details>\n";
  }

  // Where each line's links go: resolved calls, by line then column.
  void CollectLinks() {
    for (const Edge& edge : graph_.EdgesFrom(index_)) {
      if (edge.from.named_caller != kNone || edge.to_module < 0 || edge.to_method < 0) continue;
      const MethodInfo& callee = MethodOf(edge.to_module, edge.to_method);
      hrefs_.push_back(MethodHref(edge.to_module, edge.to_method, index_));
      links_.push_back({edge.from.line, {edge.from.column, static_cast<int32_t>(callee.name.size()), {}}});
    }
    for (size_t i = 0; i < links_.size(); ++i) links_[i].second.href = hrefs_[i];
    std::stable_sort(links_.begin(), links_.end(), [](const auto& a, const auto& b) {
      return std::tie(a.first, a.second.column) < std::tie(b.first, b.second.column);
    });
  }

  // The links of `line` whose text is the callee's name where they stand.
  std::vector<LineLink> LinksOn(int32_t line, std::u16string_view text, size_t& next) {
    std::vector<LineLink> on_line;
    while (next < links_.size() && links_[next].first < line) ++next;
    for (; next < links_.size() && links_[next].first == line; ++next) {
      const LineLink& link = links_[next].second;
      const size_t end = static_cast<size_t>(link.column) + static_cast<size_t>(link.length);
      if (link.column < 0 || end > text.size()) continue;
      if (!on_line.empty() && link.column < on_line.back().column + on_line.back().length) continue;
      bool word = true;
      for (size_t k = static_cast<size_t>(link.column); k < end; ++k) word = word && language::IsWordUnit(text[k]);
      if (word) on_line.push_back(link);
    }
    return on_line;
  }

  // Whether some page links to `line` of this module: a call made there.
  bool Linked(int32_t line) const {
    return std::binary_search(linked_lines_.begin(), linked_lines_.end(), line);
  }

  void WriteCode() {
    CollectLinks();
    for (const Edge& edge : graph_.EdgesFrom(index_)) {
      if (edge.from.named_caller == kNone) linked_lines_.push_back(edge.from.line);
    }
    std::sort(linked_lines_.begin(), linked_lines_.end());
    std::vector<int32_t> header_of(static_cast<size_t>(module_.text.size()), -1);
    for (int32_t m = 0; m < module_.analysis.MethodCount(); ++m) {
      const auto line = static_cast<size_t>(module_.analysis.methods[static_cast<size_t>(m)].header_line);
      if (line < header_of.size() && header_of[line] < 0) header_of[line] = m;
    }
    HighlightState state;
    size_t next_link = 0;
    const auto count = static_cast<int32_t>(module_.text.size());
    for (int32_t line = 0; line < count; ++line) {
      if (line % kChunkLines == 0) {
        if (line > 0) out_ += "</div>\n";
        out_ += "<div class=\"chunk c" + std::to_string(line / kChunkLines) +
                (line + kChunkLines >= count ? " last\">\n" : "\">\n");
      }
      // Only lines that are linked to carry an id: headers and call sites.
      const int32_t header = header_of[static_cast<size_t>(line)];
      out_ += header >= 0 ? "<p class=\"h\"" : "<p";
      if (header >= 0 || Linked(line)) out_ += " id=\"L" + std::to_string(line + 1) + "\"";
      out_ += ">";
      if (header >= 0) out_ += "<span id=\"M" + std::to_string(header) + "\"></span>";
      const std::u16string_view text = module_.text.Line(static_cast<size_t>(line));
      const std::vector<LineLink> links = LinksOn(line, text, next_link);
      AppendHighlightedLine(text, links, keywords_, state, out_);
      out_ += "</p>\n";
    }
    if (count > 0) out_ += "</div>\n";
  }

  const Configuration& configuration_;
  const CallGraph& graph_;
  const int32_t index_;
  const ConfigModule& module_;
  const language::Keywords& keywords_;
  std::string out_;
  std::vector<std::string> hrefs_;
  std::vector<std::pair<int32_t, LineLink>> links_;
  std::vector<int32_t> linked_lines_;
};

}  // namespace

std::string ModulePage(const Configuration& configuration, int32_t module, const language::Keywords& keywords) {
  return PageWriter(configuration, module, keywords).Write();
}

}  // namespace ramulet
