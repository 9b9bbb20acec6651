#include "cli/dot_output.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace ramulet {

namespace {

// Called by nobody, or only by itself.
bool IsEntryPoint(const ModuleAnalysis& module, int32_t m) {
  for (int32_t call : module.CallsTo(m)) {
    if (module.CallerOf(call) != m) return false;
  }
  return true;
}

// The distinct callees of method `m` in order of their first reference, each
// with its number of references.
std::vector<std::pair<int32_t, int32_t>> CalleeCounts(const ModuleAnalysis& module, int32_t m) {
  std::vector<std::pair<int32_t, int32_t>> counts;
  std::unordered_map<int32_t, size_t> position;
  for (const MethodCall& call : module.CallsFrom(m)) {
    int32_t target = call.callee;
    auto [it, added] = position.try_emplace(target, counts.size());
    if (added) counts.emplace_back(target, 0);
    ++counts[it->second].second;
  }
  return counts;
}

void WriteNodes(const ModuleAnalysis& module, std::ostream& out) {
  std::vector<int32_t> entry_points;
  for (int32_t m = 0; m < module.MethodCount(); ++m) {
    bool entry = IsEntryPoint(module, m);
    if (entry) entry_points.push_back(m);
    out << "  m" << m << " [label=";
    WriteDotString(module.methods[static_cast<size_t>(m)].name, out);
    out << (entry ? ", style=\"filled,bold\", fillcolor=\"#ffe8a8\"" : "") << "];\n";
  }
  if (entry_points.empty()) return;
  out << "  { rank=source;";
  for (int32_t m : entry_points) out << " m" << m << ";";
  out << " }\n";
}

void WriteEdges(const ModuleAnalysis& module, std::ostream& out) {
  for (int32_t m = 0; m < module.MethodCount(); ++m) {
    for (auto [target, count] : CalleeCounts(module, m)) {
      out << "  m" << m << " -> m" << target << " [label=\"" << count << "\"];\n";
    }
  }
}

}  // namespace

void WriteDotString(std::u16string_view text, std::ostream& out) {
  out << '"';
  size_t run_start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    bool special = i < text.size() && (text[i] == u'"' || text[i] == u'\\' || text[i] == u'\n' || text[i] == u'\r');
    if (i < text.size() && !special) continue;
    out << Utf16ToUtf8(text.substr(run_start, i - run_start));
    if (special) {
      if (text[i] == u'\n' || text[i] == u'\r') {
        out << "\\n";
      } else {
        out << '\\' << static_cast<char>(text[i]);
      }
    }
    run_start = i + 1;
  }
  out << '"';
}

void WriteDot(const ModuleAnalysis& module, std::ostream& out) {
  out << "digraph calls {\n"
         "  node [shape=box, fontname=\"sans-serif\"];\n"
         "  edge [fontsize=10];\n";
  WriteNodes(module, out);
  WriteEdges(module, out);
  out << "}\n";
}

}  // namespace ramulet
