#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/language_keywords.h"
#include "analysis/language_lexer.h"
#include "analysis/module_analysis.h"
#include "analysis/name_index.h"
#include "platform/line_source.h"
#include "platform/status.h"

namespace ramulet {

// The analysis under the language's own rules: one pass over the lines that
// reads every token, finds headers (also over several lines), ends, forward
// declarations, the module body and every "name(" that may call a method of
// the module; the names are matched against the methods once all are known.
class LanguagePass {
 public:
  LanguagePass(const language::Keywords& keywords, LineSource& lines, ModuleAnalysis& result)
      : keywords_(keywords), lines_(lines), result_(result) {}
  Status Run();

 private:
  // Where a header stands while its tokens come in.
  enum class Header : uint8_t {
    kNone,
    kAsync,      // "Асинх" began the line
    kKeyword,    // "Процедура" or "Функция": the name comes next, on the line
    kName,       // the name: "(" comes next, on the line
    kList,       // inside the parameter list
    kAfterList,  // ")" read: "Экспорт" or "Далее" may follow
    kAfterExport,
  };

  static constexpr int32_t kBody = -1;
  static constexpr int32_t kPendingHeader = -2;

  void ReadLine(std::u16string_view text, int32_t line);
  bool BeginsHeader(std::u16string_view text);
  bool GoesOnWithHeaderWord(std::u16string_view text);
  void ReadTokens(std::u16string_view text, int32_t line, size_t from);
  void ReadQuickly(std::u16string_view text, int32_t line, size_t from);
  void TokenBefore(std::u16string_view text, size_t at, size_t from, bool& dot, bool& is_new) const;
  void NoteLastToken(std::u16string_view text, size_t from, size_t code_end, bool ends_in_literal);
  void OnParen(std::u16string_view text, size_t paren, int32_t line, size_t from);
  // A receiver chain read backwards from its "."; parts last first.
  struct Chain {
    std::vector<std::u16string_view> parts;
    size_t count = 0;  // names and groups
    size_t units = 0;
    bool cut = false;              // longer than a receiver may be
    bool dot_before = false;  // a "." stands before its first part (also on a line above)
    bool Add(std::u16string_view part);
  };
  bool QuickReceiver(std::u16string_view text, size_t dot, size_t from, Chain& chain) const;
  void TokenReceiver(std::u16string_view text, size_t dot, Chain& chain) const;
  size_t MatchingOpener(std::u16string_view text, size_t j) const;
  bool PartEndsAt(std::u16string_view text, size_t j) const;
  void OnMemberCall(Chain& chain, std::u16string_view word, int32_t line, size_t column);
  void AddCandidate(std::u16string_view word, int32_t line, size_t column);
  void AddBareCandidate(std::u16string_view word, int32_t line, size_t column);
  void AddNumberedCall(int32_t number, int32_t line, size_t column);
  size_t ResumeString(std::u16string_view text, bool& skip_line);
  void OnToken(std::u16string_view text, language::Token token, int32_t line, bool first);
  bool OnHeaderToken(std::u16string_view text, language::Token token);
  void OnIdentifier(std::u16string_view text, language::Token token, int32_t line, bool first);
  void OnCall(std::u16string_view text, language::Token token, int32_t line);
  void StartHeader();
  Status FinishHeader(bool forward);
  Status Duplicate(int32_t first);
  void CloseOpenMethod(int32_t end_line, bool recorded);
  void ApplyForwardExports();
  const language::Keyword* KeywordOf(std::u16string_view word);
  int32_t Caller() const;
  Status Finish();

  const language::Keywords& keywords_;
  LineSource& lines_;
  ModuleAnalysis& result_;

  bool string_open_ = false;
  // The previous token, also from an earlier line: "." and "Новый" before
  // a name decide whether it is a call.
  bool after_dot_ = false;
  bool after_new_ = false;
  bool line_start_after_dot_ = false;  // after_dot_ where this line began
  bool tokens_from_line_start_ = false;
  bool needs_tokens_ = false;  // the quick reading met a receiver with a group
  // This line's tokens, for the receiver of a member call.
  std::vector<language::Token> tokens_;

  Header header_ = Header::kNone;
  MethodInfo pending_;        // the header being read
  size_t pending_member_calls_ = 0;
  int32_t open_ = kBody;      // the method whose lines these are
  int32_t end_at_line_end_ = -1;
  int32_t current_line_ = 0;
  // Every "name(" that may call a method of the module is added to the
  // result's calls as it is read, its callee the number of its name among
  // the names seen so far; once every method is known, each name is looked
  // up once and the calls are resolved. So a call costs its twelve bytes in
  // the result and nothing beside them. The calls in a header's parameter
  // list wait until the header says whether it is a method.
  int32_t NameNumber(std::u16string_view word);
  NameIndex seen_names_;
  std::vector<std::pair<uint32_t, uint32_t>> seen_spans_;  // in seen_text_
  std::vector<uint8_t> never_called_;                      // by name number
  std::u16string seen_text_;
  std::vector<MethodCall> header_calls_;
  void DropCalls();
  std::u16string folded_;
  NameIndex defined_;  // folded name -> method
  std::unordered_map<std::u16string, bool> forward_export_;
  Status stop_;
};

}  // namespace ramulet
