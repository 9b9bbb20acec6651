// The module-facts scan: lines, tokens, headers, declarations and
// assignments. The references themselves are read in facts_references.cpp.
#include <algorithm>

#include "config/facts_scanner.h"

namespace ramulet {

using facts_words::Word;

FactsScanner::FactsScanner(const ModuleAnalysis& analysis, ModuleFacts& facts) : analysis_(analysis), facts_(facts) {}

const FactsScanner::Tok& FactsScanner::Back(size_t back) const {
  static const Tok kStart;  // before the first token: a boundary
  if (back >= kHistory || back >= seq_) return kStart;
  return history_[(seq_ - back) % kHistory];
}

std::u16string_view FactsScanner::Fold(std::u16string_view word) {
  folded_.resize(word.size());
  for (size_t i = 0; i < word.size(); ++i) folded_[i] = language::Fold(word[i]);
  return folded_;
}

facts_words::WordInfo FactsScanner::WordOf(const Tok& token) {
  if (token.kind != TokKind::kIdentifier || !facts_words::MayBeWord(token.View())) return {};
  return facts_words::FindWord(Fold(token.View()));
}

int32_t FactsScanner::Intern(std::u16string_view written) {
  const auto next = static_cast<int32_t>(facts_.names.size());
  const int32_t known = written_index_.Insert(written, next);
  if (known >= 0) return known;
  ModuleFacts::Name name;
  name.begin = static_cast<uint32_t>(facts_.pool.size());
  name.length = static_cast<uint32_t>(written.size());
  facts_.pool += written;
  scratch_.resize(written.size());
  for (size_t i = 0; i < written.size(); ++i) scratch_[i] = language::Fold(written[i]);
  facts_.pool += scratch_;
  const int32_t same = folded_index_.Insert(scratch_, next);
  name.same = same >= 0 ? same : next;
  facts_.names.push_back(name);
  method_last_.push_back(-1);
  body_last_.push_back(-1);
  return next;
}

namespace {

uint64_t LocalKey(int32_t method, int32_t same) {
  return (static_cast<uint64_t>(static_cast<uint32_t>(method + 2)) << 32) | static_cast<uint32_t>(same);
}

}  // namespace

void FactsScanner::Declare(int32_t method, int32_t name) { declared_.push_back(LocalKey(method, Same(name))); }

void FactsScanner::Assign(int32_t name) { assigned_.push_back(LocalKey(method_, Same(name))); }

int32_t& FactsScanner::LastBinding(int32_t method, int32_t same) {
  if (method < 0) return body_last_[static_cast<size_t>(same)];
  touched_.push_back(same);
  return method_last_[static_cast<size_t>(same)];
}

void FactsScanner::ResetMethodBindings() {
  for (int32_t same : touched_) method_last_[static_cast<size_t>(same)] = -1;
  touched_.clear();
}

// A line past the open method's end belongs to the body; a method's header
// line opens it. Whatever waited for more tokens ends there.
void FactsScanner::EnterLine(int32_t line) {
  const auto& methods = analysis_.methods;
  // A header's "(" stands on its keyword's line; without it the header has
  // no parameters to read.
  if (header_ == Header::kBeforeList) header_ = Header::kNone;
  if (method_ >= 0 && line > methods[static_cast<size_t>(method_)].end_line) {
    Boundary();
    method_ = -1;
    ResetMethodBindings();
  }
  if (next_method_ < methods.size() && line == methods[next_method_].header_line) {
    Boundary();
    method_ = static_cast<int32_t>(next_method_++);
    ResetMethodBindings();
    header_ = Header::kBeforeList;
  }
}

void FactsScanner::ReadLine(std::u16string_view text, int32_t line) {
  EnterLine(line);
  size_t from = 0;
  if (string_open_) {
    size_t after_bar = 0;
    switch (language::ContinuationOf(text, after_bar)) {
      case language::Continuation::kSkipped:
        return;
      case language::Continuation::kDirective:
        string_open_ = false;
        Boundary();
        return;
      case language::Continuation::kEnded:
        string_open_ = false;
        break;
      case language::Continuation::kGoesOn:
        from = language::SkipStringBody(text, after_bar);
        if (from == std::u16string_view::npos) return;  // still open
        string_open_ = false;
        break;
    }
  } else if (language::IsDirectiveLine(text)) {
    Boundary();
    return;
  }
  for (size_t i = from;;) {
    while (i < text.size() && language::IsBlank(text[i])) ++i;
    if (i >= text.size() || language::IsCommentAt(text, i)) break;
    bool open = false;
    const language::Token token = language::ReadToken(text, i, open);
    Tok tok;
    tok.text = text.data() + token.begin;
    tok.length = token.end - token.begin;
    tok.line = line;
    tok.column = static_cast<int32_t>(token.begin);
    switch (token.kind) {
      case language::TokenKind::kIdentifier: tok.kind = TokKind::kIdentifier; break;
      case language::TokenKind::kNumber: tok.kind = TokKind::kNumber; break;
      case language::TokenKind::kString: tok.kind = open ? TokKind::kOpenString : TokKind::kString; break;
      case language::TokenKind::kDate: tok.kind = TokKind::kDate; break;
      case language::TokenKind::kOther:
        tok.kind = TokKind::kUnit;
        tok.unit = text[token.begin];
        break;
    }
    if (open) string_open_ = true;
    OnToken(tok);
    i = token.end;
  }
}

void FactsScanner::Boundary() { OnToken(Tok()); }

void FactsScanner::OnToken(Tok token) {
  token.seq = ++seq_;
  if (header_ != Header::kNone) {
    --seq_;  // a header's tokens are no part of any statement
    OnHeaderToken(token);
    return;
  }
  if (pending_binding_ >= 0) {
    // `V = ОбщийМодуль("N")` binds V unless the expression goes on.
    if (!token.Is(u'.') && !token.Is(u'(') && !token.Is(u'[')) CommitBinding(pending_binding_);
    pending_binding_ = -1;
  }
  if (expect_ != Expect::kNothing) FeedExpectation(token);
  history_[seq_ % kHistory] = token;
  switch (token.kind) {
    case TokKind::kBoundary:
      in_var_ = expect_var_name_ = false;
      loop_ = 0;
      expect_ = Expect::kNothing;
      break;
    case TokKind::kIdentifier:
      OnIdentifier(token);
      return;
    case TokKind::kString:
      OnString(token);
      break;
    case TokKind::kUnit:
      if (token.unit == u'(') {
        OnParen();
      } else if (token.unit == u'=') {
        OnEquals();
      } else if (token.unit == u';') {
        in_var_ = expect_var_name_ = false;
      } else if (token.unit == u',') {
        expect_var_name_ = in_var_;
      }
      break;
    default:
      break;
  }
  loop_ = 0;
}

// The parameter list: a name after "(", "," or Знач; default values and
// anything in brackets are passed by.
void FactsScanner::OnHeaderToken(const Tok& token) {
  if (header_ == Header::kBeforeList) {
    if (token.Is(u'(')) {
      header_ = Header::kList;
      header_depth_ = 1;
      expect_parameter_ = true;
    }
    return;
  }
  if (token.kind == TokKind::kIdentifier) {
    if (expect_parameter_ && !IsWord(token, Word::kVal)) {
      Declare(method_, Intern(token.View()));
      expect_parameter_ = false;
    }
    return;
  }
  if (token.kind != TokKind::kUnit) {
    expect_parameter_ = false;
    return;
  }
  switch (token.unit) {
    case u'(':
    case u'[':
      ++header_depth_;
      break;
    case u')':
    case u']':
      if (--header_depth_ == 0) {
        header_ = Header::kNone;
        Boundary();
      }
      break;
    case u',':
      expect_parameter_ = header_depth_ == 1;
      break;
    default:
      expect_parameter_ = false;
      break;
  }
}

void FactsScanner::OnIdentifier(const Tok& token) {
  if (expect_var_name_) {
    Declare(method_ < 0 ? -2 : method_, Intern(token.View()));
    expect_var_name_ = false;
    return;
  }
  if (loop_ != 0) {
    if (loop_ == 1 && IsWord(token, Word::kEach)) {
      loop_ = 2;
      return;
    }
    Assign(Intern(token.View()));
    loop_ = 0;
    return;
  }
  const Word word = WordOf(token).word;
  if (word == Word::kVar) {
    in_var_ = expect_var_name_ = true;
  } else if (word == Word::kFor) {
    loop_ = 1;
  }
}

bool FactsScanner::IsStatementStart(const Tok& before) {
  if (before.kind == TokKind::kBoundary) return true;
  if (before.Is(u';') || before.Is(u':')) return true;
  return IsWord(before, Word::kStatementEnd);
}

// `X =` where a statement begins before X: X is assigned in the method.
void FactsScanner::OnEquals() {
  const Tok x = Back(1);
  if (x.kind != TokKind::kIdentifier) return;
  const Tok before = Back(2);
  if (!IsStatementStart(before)) return;
  const int32_t name = Intern(x.View());
  Assign(name);
  assign_seq_ = Back(0).seq;
  assign_name_ = name;
}

void FactsScanner::CommitBinding(int32_t binding) {
  ModuleFacts::Binding& b = facts_.bindings[static_cast<size_t>(binding)];
  int32_t& last = LastBinding(b.method, Same(pending_variable_));
  b.previous = last;
  last = binding;
}

}  // namespace ramulet
