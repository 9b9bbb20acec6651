#include "cli/dot_output.h"

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace ramulet {

namespace {

// Called by nobody, or only by itself.
bool IsEntryPoint(const MethodTables& tables, int32_t m) {
  for (int32_t p = 1; p <= tables.CallerCount(m); ++p) {
    if (tables.CallerList(m, p) != m) return false;
  }
  return true;
}

// The distinct callees of method `m` in order of their first reference, each
// with its number of references.
std::vector<std::pair<int32_t, int32_t>> CalleeCounts(const MethodTables& tables, int32_t m) {
  std::vector<std::pair<int32_t, int32_t>> counts;
  std::unordered_map<int32_t, size_t> position;
  for (int32_t p = 1; p <= tables.CallCount(m); ++p) {
    int32_t target = tables.CallTarget(m, p);
    auto [it, added] = position.try_emplace(target, counts.size());
    if (added) counts.emplace_back(target, 0);
    ++counts[it->second].second;
  }
  return counts;
}

void WriteNodes(const MethodTables& tables, std::ostream& out) {
  std::vector<int32_t> entry_points;
  for (int32_t m = 0; m < tables.MethodCount(); ++m) {
    bool entry = IsEntryPoint(tables, m);
    if (entry) entry_points.push_back(m);
    out << "  m" << m << " [label=";
    WriteDotString(tables.MethName[m], out);
    out << (entry ? ", style=\"filled,bold\", fillcolor=\"#ffe8a8\"" : "") << "];\n";
  }
  if (entry_points.empty()) return;
  out << "  { rank=source;";
  for (int32_t m : entry_points) out << " m" << m << ";";
  out << " }\n";
}

void WriteEdges(const MethodTables& tables, std::ostream& out) {
  for (int32_t m = 0; m < tables.MethodCount(); ++m) {
    for (auto [target, count] : CalleeCounts(tables, m)) {
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

void WriteDot(const MethodTables& tables, std::ostream& out) {
  out << "digraph calls {\n"
         "  node [shape=box, fontname=\"sans-serif\"];\n"
         "  edge [fontsize=10];\n";
  WriteNodes(tables, out);
  WriteEdges(tables, out);
  out << "}\n";
}

}  // namespace ramulet
