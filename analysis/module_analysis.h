#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/name_index.h"
#include "platform/status.h"

namespace ramulet {

enum class MethodKind : uint8_t { kProcedure, kFunction };

// The rules a module is read by: the panel's line patterns, or the
// language's own lexical rules (strings, comments, directives, headers
// over several lines, English keywords, letter case ignored).
enum class RuleSet : uint8_t { kPanel, kLanguage };

// A method of the module. Lines count from 0; columns count UTF-16 units.
struct MethodInfo {
  std::u16string name;
  MethodKind kind = MethodKind::kProcedure;
  int32_t header_line = 0;
  // The name stands at [name_column, name_column + name.size()) of the
  // header line.
  int32_t name_column = 0;
  // The end line the analysis used: the recorded end line, else the line
  // before the next header, else (the last method) the module's last line.
  // After an error, the methods recorded before it end the same way, the
  // last of them before the line where the analysis stopped.
  int32_t end_line = 0;
  // Whether an end line was recorded for the method (the first one after
  // its header); end_line is that line then.
  bool end_recorded = false;
  // Set by rule sets that know them; false under the panel's rules.
  bool exported = false;
  bool async = false;
};

// A call of a method of the module: the method called and where its name
// stands. The name is as long as the called method's name.
struct MethodCall {
  int32_t callee = 0;
  int32_t line = 0;
  int32_t column = 0;
};

// A call through a receiver, `Receiver.Name(`, which is no call of the
// module's own methods (the language's rules only). The receiver is the
// chain before the last "." on the call's line, its identifiers as written
// and each group of arguments or index as "()" or "[]": "Запрос",
// "Справочники.Валюты", "ОбщийМодуль()". A chain of more than
// kMaxReceiverParts parts, or longer than kMaxReceiverUnits, keeps its last
// ones after "…". Receiver and name are held in the result's member text
// (ModuleAnalysis::ReceiverOf, NameOf), so a call costs a few numbers.
struct MemberCall {
  int32_t caller = -1;  // the calling method; -1 for the module body
  int32_t line = 0;
  int32_t column = 0;  // where the name stands
  uint32_t receiver_begin = 0;
  uint32_t receiver_length = 0;
  uint32_t name_begin = 0;
  uint32_t name_length = 0;
};

inline constexpr size_t kMaxReceiverParts = 16;
inline constexpr size_t kMaxReceiverUnits = 256;

// Something in the text that the rules did not expect, which the analysis
// read past (the language's rules only): a header whose "(" never closes.
struct AnalysisWarning {
  int32_t line = 0;
  std::string message;
};

// Why an analysis stopped before its end.
struct AnalysisError {
  enum class Kind : uint8_t {
    kDuplicateMethod,  // a header repeats the name of a method recorded before it
    kUnreadableLine,   // the line source failed
  };
  Kind kind = Kind::kUnreadableLine;
  // The error as the analysis reports it (code and readable message).
  Status status;
  // The line where the analysis stopped (-1 when no line was being read).
  int32_t line = -1;
  // Duplicate method: its name, where the name stands on `line`, and the
  // header line of the method first declared with that name.
  std::u16string name;
  int32_t name_column = 0;
  int32_t first_line = -1;
  // True when every header and end line had been read: the failure came in
  // the pass over the calls, and `methods` is the module's whole list.
  bool methods_complete = false;

  static AnalysisError Unreadable(Status status, int32_t line = -1) {
    AnalysisError error;
    error.kind = Kind::kUnreadableLine;
    error.status = std::move(status);
    error.line = line;
    return error;
  }
};

// The analysis of one module, and nothing else: no host, no variant, no
// call tree. Methods are in the order of their headers; calls are grouped
// by calling method in that order and within a method in text order.
class ModuleAnalysis {
 public:
  RuleSet rules = RuleSet::kPanel;
  int32_t line_count = 0;
  std::vector<MethodInfo> methods;
  // An end line met above the first header: it ends no method, but the
  // panel's tables keep it (-1 when there is none).
  int32_t leading_end_line = -1;
  // Set when the analysis stopped early. `methods` then holds the methods
  // recorded before it, and there are no calls unless methods_complete.
  std::optional<AnalysisError> error;
  // The language's rules only: calls of the module's methods made from the
  // module body (no method's calls, no method's callers), in text order
  // with `callee` set; calls through a receiver; warnings.
  std::vector<MethodCall> body_calls;
  std::vector<MemberCall> member_calls;
  std::u16string member_text;  // the receivers and names of member_calls
  std::vector<AnalysisWarning> warnings;

  std::u16string_view ReceiverOf(const MemberCall& call) const {
    return std::u16string_view(member_text).substr(call.receiver_begin, call.receiver_length);
  }
  std::u16string_view NameOf(const MemberCall& call) const {
    return std::u16string_view(member_text).substr(call.name_begin, call.name_length);
  }

  bool ok() const { return !error.has_value(); }
  int32_t MethodCount() const { return static_cast<int32_t>(methods.size()); }

  // The method named `name`, -1 when there is none: exactly so under the
  // panel's rules, letter case ignored under the language's.
  int32_t Find(std::u16string_view name) const;
  // Find for a name already in upper case (the language's rules).
  int32_t FindFolded(std::u16string_view folded) const { return names_.Find(folded); }

  // Every call, and the calls made by method `m`.
  const std::vector<MethodCall>& calls() const { return calls_; }
  std::span<const MethodCall> CallsFrom(int32_t m) const;
  // Indices into calls() of the calls of method `m`, in text order.
  std::span<const int32_t> CallsTo(int32_t m) const;
  // The method that makes call `call` (an index into calls()).
  int32_t CallerOf(int32_t call) const;

  // --- written by the analysis ---
  // Starts a new result: everything empty.
  void Clear();
  // Indexes the names of `methods` for Find (FindIgnoringCase too under the
  // language's rules).
  void IndexNames();
  // Takes `names` as the index of `methods`, which it must be.
  void AdoptNames(NameIndex&& names) { names_ = std::move(names); }
  // Calls are added method after method, each method's in text order:
  // BeginCallsOf(m) for every m in order, then AddCall for its calls.
  void BeginCallsOf(int32_t m);
  void AddCall(const MethodCall& call) { calls_.push_back(call); }
  // Drops the calls from number `count` on.
  void TruncateCalls(size_t count);
  // Calls may be added with a provisional callee number p, replaced here by
  // callee_of[p]; a call whose callee_of is negative is dropped.
  void ResolveCalls(std::span<const int32_t> callee_of);
  // Closes the call lists and indexes them by called method.
  void FinishCalls();
  void AddMemberCall(std::u16string_view receiver, std::u16string_view name, int32_t caller, int32_t line,
                     int32_t column);

 private:
  NameIndex names_;
  std::vector<MethodCall> calls_;
  // Method m's calls are calls_[call_begin_[m], call_begin_[m + 1]).
  std::vector<uint32_t> call_begin_;
  // Calls of method j are calls_to_[callee_begin_[j], callee_begin_[j + 1]).
  std::vector<int32_t> calls_to_;
  std::vector<uint32_t> callee_begin_;
};

}  // namespace ramulet
