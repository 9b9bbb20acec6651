#include "lsp/module_index.h"

#include <algorithm>
#include <limits>

#include "analysis/method_tables.h"
#include "analysis/line_analysis.h"
#include "analysis/patterns.h"
#include "platform/dictionary.h"
#include "platform/line_source.h"
#include "platform/regexp/regexp.h"
#include "platform/text.h"
#include "tree/call_tree.h"

// The one place where the server meets the analysis and the tree: the rest
// of the server sees only the index.

namespace ramulet::lsp {

namespace {

// The document's lines, read in place by the analysis.
class SpanLines : public LineSource {
 public:
  explicit SpanLines(std::span<const std::u16string_view> lines) : lines_(lines) {}
  Status LineCount(int32_t& count) override {
    count = static_cast<int32_t>(lines_.size());
    return Status::Ok();
  }
  Status Range(int32_t line, std::u16string_view& text) override {
    if (line < 0 || static_cast<size_t>(line) >= lines_.size()) {
      return Status::Error(Status::kOutOfRange, "line " + std::to_string(line) + " is outside the module");
    }
    text = lines_[static_cast<size_t>(line)];
    return Status::Ok();
  }

 private:
  std::span<const std::u16string_view> lines_;
};

int32_t Offset(std::u16string_view whole, std::u16string_view part) {
  return static_cast<int32_t>(part.data() - whole.data());
}

// Kind and name columns of a header line, found with the scan's own pattern.
void LocateHeader(RegExp& header, std::u16string_view line, MethodSymbol& method) {
  std::vector<RegExpMatch> matches;
  method.name_start = 0;
  method.name_end = 0;
  if (header.Execute(DropLeadingSpaces(line), matches).ok() && !matches.empty()) {
    const RegExpMatch& match = matches[0];
    const auto& keyword = match.SubMatches[1];
    const auto& name = match.SubMatches[patterns::kHeaderNameGroup - 1];
    if (keyword && !keyword->empty() && ToUpper((*keyword)[0]) == u'Ф') method.kind = MethodKind::kFunction;
    if (name) {
      method.name_start = Offset(line, *name);
      method.name_end = method.name_start + static_cast<int32_t>(name->size());
      return;
    }
  }
  size_t found = line.find(method.name);
  if (found != std::u16string_view::npos) {
    method.name_start = static_cast<int32_t>(found);
    method.name_end = static_cast<int32_t>(found + method.name.size());
  }
}

// The end line the analysis used; a method without one runs to the end of
// the module. (Written for both forms of the table: optional or always set.)
[[maybe_unused]] int32_t EndLine(const std::optional<int32_t>& end, int32_t last_line) {
  return end.value_or(last_line);
}
[[maybe_unused]] int32_t EndLine(int32_t end, int32_t) { return end; }

int32_t LineLength(std::span<const std::u16string_view> lines, int32_t line) {
  if (line < 0 || static_cast<size_t>(line) >= lines.size()) return 0;
  return static_cast<int32_t>(lines[static_cast<size_t>(line)].size());
}

Status NewPattern(RegExp& regexp, std::u16string_view pattern) {
  regexp.IgnoreCase = true;
  regexp.Global = true;
  return regexp.SetPattern(pattern);
}

// The patterns are compiled once for the life of the server, which runs
// one analysis at a time.
RegExp& HeaderPattern(Status& status) {
  static RegExp header;
  status = NewPattern(header, patterns::kHeader);
  return header;
}

RegExp& CallPattern(Status& status) {
  static RegExp call;
  status = NewPattern(call, patterns::kCall);
  return call;
}

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

ModuleIndex::ModuleIndex(std::span<const std::u16string_view> lines)
    : tables_(std::make_unique<MethodTables>()), tree_(std::make_unique<CallTree>()) {
  if (lines.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
    status_ = Status::Error(Status::kOutOfRange, "the module has more lines than can be counted");
    return;
  }
  line_count_ = static_cast<int32_t>(lines.size());
  SpanLines source(lines);
  std::optional<ramulet::DuplicateMethod> duplicate;
  status_ = AnalyzeLines(source, *tables_, &duplicate);
  if (duplicate) duplicate_ = DuplicateMethod{duplicate->name, duplicate->line, -1};
  if (status_.ok() && tables_->analyzed) {
    IndexMethods(lines);
    Status indexed = IndexCalls(lines);
    if (!indexed.ok()) status_ = indexed;
  } else {
    IndexRecordedMethods(lines);
  }
}

ModuleIndex::~ModuleIndex() = default;

void ModuleIndex::IndexMethods(std::span<const std::u16string_view> lines) {
  Status compiled;
  RegExp& header = HeaderPattern(compiled);
  bool usable = compiled.ok();
  const MethodTables& t = *tables_;
  methods_.resize(static_cast<size_t>(t.MethodCount()));
  for (int32_t m = 0; m < t.MethodCount(); ++m) {
    MethodSymbol& method = methods_[static_cast<size_t>(m)];
    method.name = t.MethName[m];
    method.header_line = t.MethStart[m];
    method.end_line = EndLine(t.MethEnd[m], std::max(line_count_ - 1, method.header_line));
    method.end_character = LineLength(lines, method.end_line);
    if (usable && method.header_line >= 0 && method.header_line < line_count_) {
      LocateHeader(header, lines[static_cast<size_t>(method.header_line)], method);
    }
  }
}

// After a failed scan only the dictionaries hold the methods recorded so
// far. As in the analysis, the end line recorded after k headers closes
// method k - 1; a method without one ends before the next header (the
// last one before the line that stopped the scan).
void ModuleIndex::IndexRecordedMethods(std::span<const std::u16string_view> lines) {
  Status compiled;
  RegExp& header = HeaderPattern(compiled);
  bool usable = compiled.ok();
  if (duplicate_ && usable && duplicate_->line >= 0 && duplicate_->line < line_count_) {
    MethodSymbol second;
    second.name = duplicate_->name;
    LocateHeader(header, lines[static_cast<size_t>(duplicate_->line)], second);
    duplicate_->name_start = second.name_start;
    duplicate_->name_end = second.name_end;
  }
  auto names = tables_->Method.AsObjectOf<Dictionary>();
  auto headers = tables_->MethodNach.AsObjectOf<Dictionary>();
  auto ends = tables_->MethodKon.AsObjectOf<Dictionary>();
  if (!names || !headers) return;
  std::vector<std::optional<int32_t>> recorded_ends;
  const auto& keys = names->KeyList();
  const auto& items = names->ItemList();
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::u16string* name = keys[i].AsText();
    const Variant* line = headers->Find(items[i]);
    std::optional<int32_t> header_line = line ? line->ToInt32() : std::nullopt;
    if (name == nullptr || !header_line || *header_line < 0 || *header_line >= line_count_) continue;
    MethodSymbol method;
    method.name = *name;
    method.header_line = *header_line;
    if (usable) LocateHeader(header, lines[static_cast<size_t>(*header_line)], method);
    if (duplicate_ && *name == duplicate_->name) duplicate_->first_line = *header_line;
    methods_.push_back(std::move(method));
    std::optional<int32_t> index = items[i].ToInt32();
    const Variant* end = ends && index ? ends->Find(Variant::Int32(*index + 1)) : nullptr;
    recorded_ends.push_back(end ? end->ToInt32() : std::nullopt);
  }
  // Headers are recorded in line order, so the methods are in line order.
  int32_t stop = duplicate_ ? duplicate_->line : line_count_;
  for (size_t i = 0; i < methods_.size(); ++i) {
    int32_t next = i + 1 < methods_.size() ? methods_[i + 1].header_line : stop;
    const std::optional<int32_t>& end = recorded_ends[i];
    bool usable_end = end && *end >= methods_[i].header_line && *end < next;
    methods_[i].end_line = usable_end ? *end : std::max(methods_[i].header_line, next - 1);
    methods_[i].end_character = LineLength(lines, methods_[i].end_line);
  }
}

// The call analysis records (callee, line) per reference, in the order the
// call pattern finds them on each line; finding them again gives columns.
Status ModuleIndex::IndexCalls(std::span<const std::u16string_view> lines) {
  const MethodTables& t = *tables_;
  Status compiled;
  RegExp& call = CallPattern(compiled);
  RAMULET_RETURN_IF_ERROR(compiled);
  std::vector<RegExpMatch> matches;
  calls_to_.assign(methods_.size(), {});
  calls_from_.assign(methods_.size() + 1, 0);
  for (int32_t m = 0; m < t.MethodCount(); ++m) {
    calls_from_[static_cast<size_t>(m)] = calls_.size();
    const std::vector<CallRef>& refs = t.Calls[m];
    for (size_t p = 0; p < refs.size();) {
      int32_t line = refs[p].line;
      std::u16string_view text = lines[static_cast<size_t>(line)];
      std::u16string_view trimmed = DropLeadingSpaces(text);
      RAMULET_RETURN_IF_ERROR(call.Execute(trimmed, matches));
      for (const RegExpMatch& match : matches) {
        if (p >= refs.size() || refs[p].line != line) break;
        std::u16string_view name = match.SubMatches[patterns::kCallNameGroup - 1].value_or(std::u16string_view());
        if (t.NomMet(name) != refs[p].target) continue;
        int32_t start = Offset(text, name.empty() ? trimmed : name);
        calls_.push_back(CallSite{m, refs[p].target, line, start, start + static_cast<int32_t>(name.size())});
        ++p;
      }
      // A reference the pattern does not find again covers its whole line.
      while (p < refs.size() && refs[p].line == line) {
        calls_.push_back(CallSite{m, refs[p].target, line, 0, static_cast<int32_t>(text.size())});
        ++p;
      }
    }
  }
  calls_from_[methods_.size()] = calls_.size();
  for (size_t i = 0; i < calls_.size(); ++i) {
    calls_to_[static_cast<size_t>(calls_[i].callee)].push_back(static_cast<int32_t>(i));
  }
  return Status::Ok();
}

int32_t ModuleIndex::Find(std::u16string_view name) const {
  if (tables_->analyzed) return tables_->NomMet(name);
  for (size_t m = 0; m < methods_.size(); ++m) {
    if (methods_[m].name == name) return static_cast<int32_t>(m);
  }
  return -1;
}

std::span<const CallSite> ModuleIndex::CallsFrom(int32_t m) const {
  if (m < 0 || static_cast<size_t>(m) + 1 >= calls_from_.size()) return {};
  auto index = static_cast<size_t>(m);
  return std::span<const CallSite>(calls_.data() + calls_from_[index], calls_from_[index + 1] - calls_from_[index]);
}

const std::vector<int32_t>& ModuleIndex::CallsTo(int32_t m) const {
  static const std::vector<int32_t> kNone;
  if (m < 0 || static_cast<size_t>(m) >= calls_to_.size()) return kNone;
  return calls_to_[static_cast<size_t>(m)];
}

int32_t ModuleIndex::HeaderNameAt(int32_t line, int32_t character) const {
  auto found = std::lower_bound(methods_.begin(), methods_.end(), line,
                                [](const MethodSymbol& method, int32_t l) { return method.header_line < l; });
  if (found == methods_.end() || found->header_line != line) return -1;
  if (character < found->name_start || character > found->name_end) return -1;
  return static_cast<int32_t>(found - methods_.begin());
}

const CallSite* ModuleIndex::CallAt(int32_t line, int32_t character) const {
  auto found = std::lower_bound(calls_.begin(), calls_.end(), line,
                                [](const CallSite& call, int32_t l) { return call.line < l; });
  for (; found != calls_.end() && found->line == line; ++found) {
    if (character >= found->start && character <= found->end) return &*found;
  }
  return nullptr;
}

Status ModuleIndex::Tree(std::optional<CallTreeNodes>& nodes) {
  if (!status_.ok() || !tables_->analyzed) {
    return Status::Error(Status::kFail, "the module has no call tree: " + status_.message());
  }
  if (!tree_built_) {
    tree_status_ = BuildCallTree(*tables_, *tree_);
    tree_built_ = true;
  }
  RAMULET_RETURN_IF_ERROR(tree_status_);
  nodes.emplace(*tree_);
  return Status::Ok();
}

}  // namespace ramulet::lsp
