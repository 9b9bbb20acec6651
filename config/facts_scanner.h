#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/language_lexer.h"
#include "analysis/module_analysis.h"
#include "analysis/name_index.h"
#include "config/facts_words.h"
#include "config/module_facts.h"

namespace ramulet {

// One pass over a module's tokens, by the lexical rules the analysis reads
// it with, keeping the last few tokens (also from earlier lines): a
// reference is recognised at its "(" by looking back, an assignment at its
// "=", and the arguments of ОбщийМодуль( and its kin by a small machine
// that expects the next tokens.
class FactsScanner {
 public:
  FactsScanner(const ModuleAnalysis& analysis, ModuleFacts& facts);
  void ReadLine(std::u16string_view text, int32_t line);
  // Decides locality and module-variable bindings once all is read.
  void Finish();

 private:
  enum class TokKind : uint8_t { kBoundary, kIdentifier, kNumber, kString, kOpenString, kDate, kUnit };
  struct Tok {
    const char16_t* text = nullptr;
    uint32_t length = 0;
    int32_t line = 0;
    int32_t column = 0;
    uint64_t seq = 0;
    TokKind kind = TokKind::kBoundary;
    char16_t unit = 0;
    bool Is(char16_t u) const { return kind == TokKind::kUnit && unit == u; }
    std::u16string_view View() const { return {text, length}; }
  };
  // What the tokens after a "(" are expected to be.
  enum class Expect : uint8_t { kNothing, kAccessor, kNotification, kIdleHandler };
  enum class Header : uint8_t { kNone, kBeforeList, kList };

  void EnterLine(int32_t line);
  void OnToken(Tok token);
  void OnHeaderToken(const Tok& token);
  void OnIdentifier(const Tok& token);
  void OnParen();
  void OnMemberParen(const Tok& name);
  void OnBareParen(const Tok& name);
  void OnEquals();
  void OnString(const Tok& token);
  void FeedExpectation(const Tok& token);
  void CompleteAccessor(const Tok& close);
  void CommitBinding(int32_t binding);
  void Boundary();
  void ResetMethodBindings();

  // The token `back` places before the newest (0: the newest itself).
  const Tok& Back(size_t back) const;
  bool IsStatementStart(const Tok& before);
  facts_words::WordInfo WordOf(const Tok& token);
  bool IsWord(const Tok& token, facts_words::Word word) { return token.kind == TokKind::kIdentifier && WordOf(token).word == word; }
  std::u16string_view Fold(std::u16string_view word);
  int32_t Intern(std::u16string_view written);
  int32_t Same(int32_t name) const { return facts_.names[static_cast<size_t>(name)].same; }
  static std::u16string_view Content(const Tok& string) { return {string.text + 1, string.length - 2}; }
  void StartExpecting(Expect expect, const Tok& start, int32_t accessor);
  void Declare(int32_t method, int32_t name);
  void Assign(int32_t name);
  int32_t& LastBinding(int32_t method, int32_t same);
  void AddReference(ModuleFacts::Reference reference, const Tok& at, int32_t column_shift = 0);
  bool IsLocal(int32_t method, int32_t same) const;
  bool IsDeclared(int32_t method, int32_t same) const;

  const ModuleAnalysis& analysis_;
  ModuleFacts& facts_;

  static constexpr size_t kHistory = 8;
  std::array<Tok, kHistory> history_{};
  uint64_t seq_ = 0;  // tokens pushed so far

  int32_t method_ = -1;
  size_t next_method_ = 0;
  Header header_ = Header::kNone;
  int header_depth_ = 0;
  bool expect_parameter_ = false;
  bool string_open_ = false;

  bool in_var_ = false;           // after Перем, up to ";"
  bool expect_var_name_ = false;  // after Перем or a "," of its list
  int loop_ = 0;                  // 1 after Для, 2 after Для Каждого

  Expect expect_ = Expect::kNothing;
  int expect_step_ = 0;
  Tok expect_string_;         // the string argument read
  Tok expect_start_;          // the accessor's first token, or the function's name
  int32_t expect_accessor_ = ModuleFacts::kNoName;
  Tok expect_target_;  // the notification's module, or ЭтотОбъект

  uint64_t assign_seq_ = 0;  // the "=" of a statement's assignment (0: none)
  int32_t assign_name_ = -1;
  uint64_t accessor_close_seq_ = 0;  // the ")" of the last ОбщийМодуль("N")
  int32_t accessor_binding_ = -1;
  int32_t accessor_via_ = -1;
  int32_t pending_binding_ = -1;  // waits for the token after its ")"
  int32_t pending_variable_ = -1;

  // Last binding of each name (by `same`) in the open method, and in the body.
  std::vector<int32_t> method_last_;
  std::vector<int32_t> touched_;
  std::vector<int32_t> body_last_;

  // (method + 2) << 32 | same: declared (parameters and Перем; method -2
  // for the module's Перем) and assigned names.
  std::vector<uint64_t> declared_;
  std::vector<uint64_t> assigned_;

  NameIndex written_index_;
  NameIndex folded_index_;
  std::u16string folded_;
  std::u16string scratch_;
};

}  // namespace ramulet
