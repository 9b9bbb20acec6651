#include "analysis/module_analysis.h"

#include <algorithm>

#include "platform/text.h"

namespace ramulet {

void ModuleAnalysis::Clear() {
  rules = RuleSet::kPanel;
  line_count = 0;
  methods.clear();
  leading_end_line = -1;
  error.reset();
  body_calls.clear();
  member_calls.clear();
  member_text.clear();
  warnings.clear();
  names_.Assign(0, [](size_t) { return std::u16string_view(); });
  calls_.clear();
  call_begin_.clear();
  calls_to_.clear();
  callee_begin_.clear();
}

void ModuleAnalysis::IndexNames() {
  if (rules == RuleSet::kPanel) {
    names_.Assign(methods.size(), [this](size_t n) { return std::u16string_view(methods[n].name); });
    return;
  }
  std::vector<std::u16string> folded;
  folded.reserve(methods.size());
  for (const MethodInfo& method : methods) folded.push_back(UpperCase(method.name));
  names_.Assign(folded);
}

int32_t ModuleAnalysis::Find(std::u16string_view name) const {
  if (rules == RuleSet::kPanel) return names_.Find(name);
  return names_.Find(UpperCase(name));
}

void ModuleAnalysis::BeginCallsOf(int32_t m) {
  // Methods without calls between the last one begun and `m` begin here too.
  while (call_begin_.size() <= static_cast<size_t>(m)) call_begin_.push_back(static_cast<uint32_t>(calls_.size()));
}

// Every method's calls, closed; then the calls of each method by a counting
// sort, which keeps them in text order.
void ModuleAnalysis::FinishCalls() {
  const size_t count = methods.size();
  BeginCallsOf(static_cast<int32_t>(count));
  callee_begin_.assign(count + 1, 0);
  // A call of no method (which the analysis never makes) is left out of
  // the index rather than written outside it.
  auto indexed = [count](const MethodCall& call) { return call.callee >= 0 && static_cast<size_t>(call.callee) < count; };
  for (const MethodCall& call : calls_) {
    if (indexed(call)) ++callee_begin_[static_cast<size_t>(call.callee) + 1];
  }
  for (size_t j = 0; j < count; ++j) callee_begin_[j + 1] += callee_begin_[j];
  calls_to_.resize(callee_begin_[count]);
  std::vector<uint32_t> next(callee_begin_.begin(), callee_begin_.end() - 1);
  for (size_t i = 0; i < calls_.size(); ++i) {
    if (indexed(calls_[i])) calls_to_[next[static_cast<size_t>(calls_[i].callee)]++] = static_cast<int32_t>(i);
  }
}

void ModuleAnalysis::TruncateCalls(size_t count) {
  if (count >= calls_.size()) return;
  calls_.resize(count);
  while (!call_begin_.empty() && call_begin_.back() > count) call_begin_.pop_back();
}

// In place, method after method: each method's calls begin where the kept
// calls of the methods before it end.
void ModuleAnalysis::ResolveCalls(std::span<const int32_t> callee_of) {
  size_t kept = 0;
  size_t method = 0;
  for (size_t i = 0; i < calls_.size(); ++i) {
    while (method < call_begin_.size() && call_begin_[method] <= i) call_begin_[method++] = static_cast<uint32_t>(kept);
    const int32_t callee = callee_of[static_cast<size_t>(calls_[i].callee)];
    if (callee < 0) continue;
    calls_[kept] = calls_[i];
    calls_[kept++].callee = callee;
  }
  for (; method < call_begin_.size(); ++method) call_begin_[method] = static_cast<uint32_t>(kept);
  calls_.resize(kept);
}

void ModuleAnalysis::AddMemberCall(std::u16string_view receiver, std::u16string_view name, int32_t caller,
                                   int32_t line, int32_t column) {
  MemberCall call;
  call.caller = caller;
  call.line = line;
  call.column = column;
  call.receiver_begin = static_cast<uint32_t>(member_text.size());
  call.receiver_length = static_cast<uint32_t>(receiver.size());
  member_text += receiver;
  call.name_begin = static_cast<uint32_t>(member_text.size());
  call.name_length = static_cast<uint32_t>(name.size());
  member_text += name;
  member_calls.push_back(call);
}

std::span<const MethodCall> ModuleAnalysis::CallsFrom(int32_t m) const {
  if (m < 0 || static_cast<size_t>(m) + 1 >= call_begin_.size()) return {};
  const auto index = static_cast<size_t>(m);
  return std::span<const MethodCall>(calls_.data() + call_begin_[index], call_begin_[index + 1] - call_begin_[index]);
}

std::span<const int32_t> ModuleAnalysis::CallsTo(int32_t m) const {
  if (m < 0 || static_cast<size_t>(m) + 1 >= callee_begin_.size()) return {};
  const auto index = static_cast<size_t>(m);
  return std::span<const int32_t>(calls_to_.data() + callee_begin_[index],
                                  callee_begin_[index + 1] - callee_begin_[index]);
}

int32_t ModuleAnalysis::CallerOf(int32_t call) const {
  // The last method whose calls begin at or before `call`.
  auto after = std::upper_bound(call_begin_.begin(), call_begin_.end(), static_cast<uint32_t>(call));
  return static_cast<int32_t>(after - call_begin_.begin()) - 1;
}

}  // namespace ramulet
