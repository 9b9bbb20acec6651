#include "tests/support/reference_analysis.h"

#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "analysis/patterns.h"
#include "platform/regexp/regexp.h"
#include "platform/text.h"
#include "tests/support/analysis_lines.h"

namespace ramulet {

namespace {

struct Call {
  int32_t target;
  int32_t line;
  int32_t column;
};

struct Method {
  Method(std::u16string method_name, int32_t header_line, int32_t name_column, bool is_function)
      : name(std::move(method_name)), header(header_line), column(name_column), function(is_function) {}
  std::u16string name;
  int32_t header;
  int32_t column;
  bool function;
  int32_t end = -1;
  std::vector<Call> calls;
  std::vector<int32_t> callers;
};

// Where the analysis stopped at a repeated name.
struct Duplicate {
  std::u16string name;
  int32_t line;
  int32_t column;
  int32_t first_line;
};

std::u16string_view Group(const RegExpMatch& match, int group) {
  return match.SubMatches[group - 1].value_or(std::u16string_view());
}

int32_t ColumnIn(const std::u16string& line, std::u16string_view part) {
  return static_cast<int32_t>(part.data() - line.data());
}

std::string Dump(const std::vector<Method>& methods) {
  std::string out;
  for (size_t m = 0; m < methods.size(); ++m) {
    const Method& method = methods[m];
    out += std::to_string(m) + " " + (method.function ? "func " : "proc ") + Utf16ToUtf8(method.name) +
           " header=" + std::to_string(method.header) + ":" + std::to_string(method.column);
    out += " end=" + std::to_string(method.end) + " calls=[";
    for (size_t p = 0; p < method.calls.size(); ++p) {
      const Call& call = method.calls[p];
      out += (p ? "," : "") + Utf16ToUtf8(methods[call.target].name) + "@" + std::to_string(call.line) + ":" +
             std::to_string(call.column);
    }
    out += "] callers=[";
    for (size_t p = 0; p < method.callers.size(); ++p) out += (p ? "," : "") + std::to_string(method.callers[p]);
    out += "]\n";
  }
  return out;
}

std::string DumpKon(const std::map<int32_t, int32_t>& kon) {
  std::string out = "kon=";
  for (const auto& [key, line] : kon) out += std::to_string(key) + ":" + std::to_string(line) + " ";
  return out;
}

std::string DumpDuplicate(const std::optional<Duplicate>& duplicate) {
  if (!duplicate) return "";
  return "\nduplicate " + Utf16ToUtf8(duplicate->name) + "@" + std::to_string(duplicate->line) + ":" +
         std::to_string(duplicate->column) + " first=" + std::to_string(duplicate->first_line);
}

void SetPlainPattern(RegExp& regexp, const char16_t* pattern) {
  regexp.IgnoreCase = true;
  regexp.Global = true;
  (void)regexp.SetPattern(pattern);
}

// Each method's end line: the recorded one, else the line before the next
// header, else the line before `stop_line`.
void AssignEnds(std::vector<Method>& methods, const std::map<int32_t, int32_t>& kon, int32_t stop_line) {
  const int32_t last = static_cast<int32_t>(methods.size()) - 1;
  for (int32_t m = 0; m <= last; ++m) {
    auto recorded = kon.find(m + 1);
    methods[m].end = recorded != kon.end() ? recorded->second : m < last ? methods[m + 1].header - 1 : stop_line - 1;
  }
}

}  // namespace

std::string ReferenceAnalysis(const std::vector<std::u16string>& lines) {
  RegExp header, end, call;
  SetPlainPattern(header, patterns::kHeader);
  SetPlainPattern(end, patterns::kEnd);
  SetPlainPattern(call, patterns::kCall);
  std::vector<Method> methods;
  std::map<int32_t, int32_t> kon;
  std::optional<Duplicate> duplicate;
  std::vector<RegExpMatch> matches;
  const int32_t count = static_cast<int32_t>(lines.size());
  int32_t stop_line = count;
  for (int32_t i = 0; i < count && !duplicate; ++i) {
    std::u16string_view trimmed = DropLeadingSpaces(lines[i]);
    (void)header.Execute(trimmed, matches);
    std::optional<Method> found;
    if (!matches.empty()) {
      std::u16string_view name = Group(matches[0], patterns::kHeaderNameGroup);
      const bool function = UpperCase(Group(matches[0], 2)).starts_with(u"Ф");
      found.emplace(std::u16string(name), i, ColumnIn(lines[i], name), function);
    }
    (void)end.Execute(trimmed, matches);
    const bool is_end = !matches.empty();
    if (found && !Contains(UpperCase(lines[i]), u"ДАЛЕЕ")) {
      for (const Method& method : methods) {
        if (method.name == found->name) duplicate = Duplicate{found->name, i, found->column, method.header};
      }
      if (duplicate) {
        stop_line = i;
        break;
      }
      methods.push_back(*found);
    }
    const int32_t key = static_cast<int32_t>(methods.size());
    if (is_end && !kon.count(key)) kon[key] = i;
  }
  AssignEnds(methods, kon, stop_line);
  const int32_t last = duplicate ? -1 : static_cast<int32_t>(methods.size()) - 1;
  int32_t current = 0;
  std::u16string upper;
  for (int32_t i = 0; i < count && last >= 0; ++i) {
    if (methods[current].header >= i) continue;
    if (methods[current].end < i && current < last) ++current;
    (void)call.Execute(DropLeadingSpaces(lines[i]), matches);
    UpperTrimmedInto(lines[i], upper);
    if (Contains(upper, u"//") || Contains(upper, u"ПРОЦЕДУРА") || Contains(upper, u"ФУНКЦИЯ")) continue;
    for (const RegExpMatch& match : matches) {
      std::u16string_view callee = Group(match, patterns::kCallNameGroup);
      for (int32_t j = last; j >= 0; --j) {
        if (methods[j].name != callee) continue;
        methods[current].calls.push_back({j, i, ColumnIn(lines[i], callee)});
        methods[j].callers.push_back(current);
        break;
      }
    }
  }
  return Dump(methods) + DumpKon(kon) + DumpDuplicate(duplicate);
}

std::string FastAnalysis(const std::vector<std::u16string>& lines) {
  ModuleAnalysis analysis;
  Status status = AnalyzeInMemory(lines, analysis);
  const std::optional<AnalysisError>& error = analysis.error;
  const bool duplicate = error && error->kind == AnalysisError::Kind::kDuplicateMethod;
  if (!status.ok() && !duplicate) return "error " + status.message();
  std::vector<Method> methods;
  std::map<int32_t, int32_t> kon;
  if (analysis.leading_end_line >= 0) kon[0] = analysis.leading_end_line;
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    const MethodInfo& info = analysis.methods[static_cast<size_t>(m)];
    methods.emplace_back(info.name, info.header_line, info.name_column, info.kind == MethodKind::kFunction);
    methods.back().end = info.end_line;
    if (info.end_recorded) kon[m + 1] = info.end_line;
    for (const MethodCall& call : analysis.CallsFrom(m)) methods.back().calls.push_back({call.callee, call.line, call.column});
    for (int32_t call : analysis.CallsTo(m)) methods.back().callers.push_back(analysis.CallerOf(call));
  }
  std::optional<Duplicate> repeated;
  if (duplicate) repeated = Duplicate{error->name, error->line, error->name_column, error->first_line};
  return Dump(methods) + DumpKon(kon) + DumpDuplicate(repeated);
}

}  // namespace ramulet
