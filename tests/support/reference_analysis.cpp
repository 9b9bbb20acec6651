#include "tests/support/reference_analysis.h"

#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "analysis/line_analysis.h"
#include "analysis/patterns.h"
#include "platform/dictionary.h"
#include "platform/regexp/regexp.h"
#include "platform/text.h"
#include "tests/support/refresh_fixture.h"

namespace ramulet {

namespace {

struct Method {
  Method(std::u16string method_name, int32_t header_line) : name(std::move(method_name)), header(header_line) {}
  std::u16string name;
  int32_t header;
  int32_t end = -1;
  std::vector<std::pair<int32_t, int32_t>> calls;  // target, line
  std::vector<int32_t> callers;
};

std::u16string_view Group(const RegExpMatch& match, int group) {
  return match.SubMatches[group - 1].value_or(std::u16string_view());
}

std::string Dump(const std::vector<Method>& methods) {
  std::string out;
  for (size_t m = 0; m < methods.size(); ++m) {
    const Method& method = methods[m];
    out += std::to_string(m) + " " + Utf16ToUtf8(method.name) + " header=" + std::to_string(method.header);
    out += " end=" + std::to_string(method.end) + " calls=[";
    for (size_t p = 0; p < method.calls.size(); ++p) {
      if (p > 0) out += ",";
      out += Utf16ToUtf8(methods[method.calls[p].first].name) + "@" + std::to_string(method.calls[p].second);
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

}  // namespace

std::string ReferenceAnalysis(const std::vector<std::u16string>& lines) {
  RegExp header, end, call;
  for (RegExp* regexp : {&header, &end, &call}) {
    regexp->IgnoreCase = true;
    regexp->Global = true;
  }
  (void)header.SetPattern(patterns::kHeader);
  (void)end.SetPattern(patterns::kEnd);
  (void)call.SetPattern(patterns::kCall);
  std::vector<Method> methods;
  std::map<int32_t, int32_t> kon;
  std::vector<RegExpMatch> matches;
  const int32_t count = static_cast<int32_t>(lines.size());
  for (int32_t i = 0; i < count; ++i) {
    std::u16string_view trimmed = DropLeadingSpaces(lines[i]);
    (void)header.Execute(trimmed, matches);
    std::optional<std::u16string> name;
    if (!matches.empty()) name = std::u16string(Group(matches[0], patterns::kHeaderNameGroup));
    (void)end.Execute(trimmed, matches);
    const bool is_end = !matches.empty();
    if (name && !Contains(UpperCase(lines[i]), u"ДАЛЕЕ")) {
      for (const Method& method : methods) {
        if (method.name == *name) return Dump(methods) + "duplicate " + Utf16ToUtf8(*name) + "@" + std::to_string(i);
      }
      methods.emplace_back(*name, i);
    }
    const int32_t key = static_cast<int32_t>(methods.size());
    if (is_end && !kon.count(key)) kon[key] = i;
  }
  const int32_t last = static_cast<int32_t>(methods.size()) - 1;
  for (int32_t m = 0; m <= last; ++m) {
    auto recorded = kon.find(m + 1);
    methods[m].end = recorded != kon.end() ? recorded->second : m < last ? methods[m + 1].header - 1 : count - 1;
  }
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
        methods[current].calls.push_back({j, i});
        methods[j].callers.push_back(current);
        break;
      }
    }
  }
  return Dump(methods) + DumpKon(kon);
}

namespace {

class VectorLines : public LineSource {
 public:
  explicit VectorLines(const std::vector<std::u16string>& lines) : lines_(lines) {}
  Status LineCount(int32_t& count) override {
    count = static_cast<int32_t>(lines_.size());
    return Status::Ok();
  }
  Status Range(int32_t line, std::u16string_view& text) override {
    text = lines_[static_cast<size_t>(line)];
    return Status::Ok();
  }

 private:
  const std::vector<std::u16string>& lines_;
};

}  // namespace

std::string FastAnalysis(const std::vector<std::u16string>& lines) {
  VectorLines source(lines);
  MethodTables tables;
  std::optional<DuplicateMethod> duplicate;
  Status status = AnalyzeLines(source, tables, &duplicate);
  std::map<int32_t, int32_t> kon;
  if (auto method_kon = tables.MethodKon.AsObjectOf<Dictionary>()) {
    for (size_t n = 0; n < method_kon->Count(); ++n) {
      kon[*method_kon->KeyList()[n].ToInt32()] = *method_kon->ItemList()[n].ToInt32();
    }
  }
  if (duplicate) {
    std::vector<Method> recorded;
    auto names = tables.Method.AsObjectOf<Dictionary>();
    auto headers = tables.MethodNach.AsObjectOf<Dictionary>();
    for (size_t n = 0; names && n < names->Count(); ++n) {
      recorded.emplace_back(*names->KeyList()[n].AsText(), *headers->ItemList()[n].ToInt32());
    }
    return Dump(recorded) + "duplicate " + Utf16ToUtf8(duplicate->name) + "@" + std::to_string(duplicate->line);
  }
  if (!status.ok()) return "error " + status.message();
  return DumpTables(tables) + DumpKon(kon);
}

}  // namespace ramulet
