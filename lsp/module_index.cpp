#include "lsp/module_index.h"

#include <algorithm>

#include "tree/call_tree.h"

// The one place where the server meets the analysis and the tree: the rest
// of the server sees only the index.

namespace ramulet::lsp {

namespace {

int32_t LineLength(LineSource& lines, int32_t line) {
  std::u16string_view text;
  if (line < 0 || !lines.Range(line, text).ok()) return 0;
  return static_cast<int32_t>(text.size());
}

int32_t NameEnd(int32_t start, std::u16string_view name) { return start + static_cast<int32_t>(name.size()); }

}  // namespace

int32_t CallTreeNodes::Count() const { return tree_.nodes.Count(); }
bool CallTreeNodes::Truncated() const { return tree_.truncated; }
int32_t CallTreeNodes::FirstRoot() const { return tree_.nodes.FirstRoot(); }
int32_t CallTreeNodes::FindRoot(std::u16string_view name) const {
  int32_t node = tree_.nodes.Find(name);
  // A child's key ("$ 12") is no method name, but it could be asked for.
  return tree_.nodes.Parent(node) == NodeStore::kNoNode ? node : NodeStore::kNoNode;
}
int32_t CallTreeNodes::FirstChild(int32_t node) const { return tree_.nodes.FirstChild(node); }
int32_t CallTreeNodes::NextSibling(int32_t node) const { return tree_.nodes.NextSibling(node); }
int32_t CallTreeNodes::Parent(int32_t node) const { return tree_.nodes.Parent(node); }
int32_t CallTreeNodes::Method(int32_t node) const { return tree_.nodes.Method(node); }

ModuleIndex::ModuleIndex(const ModuleAnalyzer& analyzer, LineSource& lines, RuleSet rules)
    : tree_(std::make_unique<CallTree>()) {
  status_ = analyzer.Analyze(lines, analysis_, rules);
  NoteDuplicate();
  IndexMethods(lines);
}

ModuleIndex::~ModuleIndex() = default;

// After a failed analysis the methods recorded before the failure are
// listed, each ending as the analysis ended it.
void ModuleIndex::IndexMethods(LineSource& lines) {
  methods_.reserve(analysis_.methods.size());
  for (const MethodInfo& method : analysis_.methods) {
    MethodSymbol symbol;
    symbol.name = method.name;
    symbol.kind = method.kind;
    symbol.header_line = method.header_line;
    symbol.end_line = method.end_line;
    symbol.end_character = LineLength(lines, method.end_line);
    symbol.name_start = method.name_column;
    symbol.name_end = NameEnd(method.name_column, method.name);
    methods_.push_back(symbol);
  }
}

void ModuleIndex::NoteDuplicate() {
  const std::optional<AnalysisError>& error = analysis_.error;
  if (!error || error->kind != AnalysisError::Kind::kDuplicateMethod) return;
  duplicate_ = DuplicateMethod{error->name, error->line, error->first_line, error->name_column,
                               NameEnd(error->name_column, error->name)};
}

CallSite ModuleIndex::Call(int32_t call) const {
  const MethodCall& found = analysis_.calls()[static_cast<size_t>(call)];
  const int32_t start = found.column;
  return CallSite{analysis_.CallerOf(call), found.callee, found.line, start,
                  NameEnd(start, analysis_.methods[static_cast<size_t>(found.callee)].name)};
}

ModuleIndex::CallSpan ModuleIndex::CallsFrom(int32_t m) const {
  std::span<const MethodCall> calls = analysis_.CallsFrom(m);
  if (calls.empty()) return CallSpan{};
  return CallSpan{static_cast<int32_t>(calls.data() - analysis_.calls().data()), static_cast<int32_t>(calls.size())};
}

int32_t ModuleIndex::HeaderNameAt(int32_t line, int32_t character) const {
  auto found = std::lower_bound(methods_.begin(), methods_.end(), line,
                                [](const MethodSymbol& method, int32_t l) { return method.header_line < l; });
  if (found == methods_.end() || found->header_line != line) return -1;
  if (character < found->name_start || character > found->name_end) return -1;
  return static_cast<int32_t>(found - methods_.begin());
}

// Calls are in text order, so those of a line stand together.
std::optional<CallSite> ModuleIndex::CallAt(int32_t line, int32_t character) const {
  const std::vector<MethodCall>& calls = analysis_.calls();
  auto found = std::lower_bound(calls.begin(), calls.end(), line,
                                [](const MethodCall& call, int32_t l) { return call.line < l; });
  for (; found != calls.end() && found->line == line; ++found) {
    CallSite site = Call(static_cast<int32_t>(found - calls.begin()));
    if (character >= site.start && character <= site.end) return site;
  }
  return std::nullopt;
}

Status ModuleIndex::Tree(std::optional<CallTreeNodes>& nodes) {
  if (!status_.ok()) {
    return Status::Error(Status::kFail, "the module has no call tree: " + status_.message());
  }
  if (!tree_built_) {
    tree_status_ = BuildCallTree(analysis_, *tree_);
    tree_built_ = true;
  }
  RAMULET_RETURN_IF_ERROR(tree_status_);
  nodes.emplace(*tree_);
  return Status::Ok();
}

}  // namespace ramulet::lsp
