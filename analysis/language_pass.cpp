#include "analysis/language_pass.h"

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "platform/unit_search.h"

namespace ramulet {

using language::Token;
using language::TokenKind;

namespace {

bool IsUnit(std::u16string_view text, Token token, char16_t unit) {
  return token.kind == TokenKind::kOther && text[token.begin] == unit;
}

std::u16string_view TextOf(std::u16string_view text, Token token) {
  return text.substr(token.begin, token.end - token.begin);
}

bool IsNewWord(std::u16string_view word) {
  return (word.size() == 5 && language::SameWord(word, u"НОВЫЙ")) || (word.size() == 3 && language::SameWord(word, u"NEW"));
}

void FoldInto(std::u16string_view word, std::u16string& folded) {
  folded.resize(word.size());
  for (size_t i = 0; i < word.size(); ++i) folded[i] = language::Fold(word[i]);
}

}  // namespace

Status LanguagePass::Run() {
  result_.rules = RuleSet::kLanguage;
  int32_t line_count = 0;
  Status status = lines_.LineCount(line_count);
  if (!status.ok()) {
    result_.error = AnalysisError::Unreadable(status);
    return status;
  }
  result_.line_count = line_count;
  for (int32_t i = 0; i < line_count; ++i) {
    std::u16string_view text;
    status = lines_.Range(i, text);
    if (!status.ok()) {
      CloseOpenMethod(i - 1, false);
      result_.IndexNames();
      result_.error = AnalysisError::Unreadable(status, i);
      return status;
    }
    current_line_ = i;
    ReadLine(text, i);
    if (!stop_.ok()) return stop_;
  }
  return Finish();
}

// A string left open by the line before goes on at a "|", waits past blank
// and comment lines, and ends anywhere else. Returns where the line's own
// tokens begin; `skip_line` when the line holds none.
size_t LanguagePass::ResumeString(std::u16string_view text, bool& skip_line) {
  size_t after_bar = 0;
  switch (language::ContinuationOf(text, after_bar)) {
    case language::Continuation::kSkipped:
      skip_line = true;
      return 0;
    case language::Continuation::kDirective:
      string_open_ = false;
      skip_line = true;
      return 0;
    case language::Continuation::kEnded:
      string_open_ = false;
      return 0;
    case language::Continuation::kGoesOn:
      break;
  }
  const size_t end = language::SkipStringBody(text, after_bar);
  if (end == std::u16string_view::npos) {
    skip_line = true;  // still open at this line's end
    return 0;
  }
  string_open_ = false;
  after_dot_ = after_new_ = false;
  return end;
}

// Most lines are read the quick way: past everything but "(", strings,
// date literals and comments. A line that begins a header, or comes while
// one is read, is read token by token.
void LanguagePass::ReadLine(std::u16string_view text, int32_t line) {
  // The name and "(" of a header stand on the line of its keyword.
  if (header_ == Header::kAsync || header_ == Header::kKeyword || header_ == Header::kName) header_ = Header::kNone;
  size_t from = 0;
  bool skip_line = false;
  if (string_open_) {
    from = ResumeString(text, skip_line);
  } else {
    skip_line = language::IsDirectiveLine(text);
  }
  if (skip_line) return;
  if (header_ != Header::kNone || (from == 0 && BeginsHeader(text))) {
    ReadTokens(text, line, from);
  } else {
    ReadQuickly(text, line, from);
  }
  if (end_at_line_end_ >= 0) {
    CloseOpenMethod(end_at_line_end_, true);
    end_at_line_end_ = -1;
  }
}

// Whether the line's first token is Процедура, Функция or Асинх (in either
// spelling); marks the end of the open method at an end keyword.
bool LanguagePass::BeginsHeader(std::u16string_view text) {
  const size_t begin = language::FirstNonBlank(text);
  if (begin == text.size() || !(language::ClassOf(text[begin]) & language::kLetter)) return false;
  size_t end = begin + 1;
  while (end < text.size() && language::IsWordUnit(text[end])) ++end;
  const language::Keyword* keyword = KeywordOf(text.substr(begin, end - begin));
  if (keyword == nullptr) return false;
  if (keyword->role == language::Role::kEnd) {
    end_at_line_end_ = open_ >= 0 ? current_line_ : -1;
    return false;
  }
  return keyword->role == language::Role::kProcedure || keyword->role == language::Role::kFunction ||
         keyword->role == language::Role::kAsync;
}

// The line's tokens, one by one, from `from` (after a string that went on
// from the line before, or 0).
void LanguagePass::ReadTokens(std::u16string_view text, int32_t line, size_t from) {
  tokens_.clear();
  size_t i = from;
  bool first = i == 0;
  for (;;) {
    while (i < text.size() && language::IsBlank(text[i])) ++i;
    if (i >= text.size() || language::IsCommentAt(text, i)) break;
    const Token token = language::ReadToken(text, i, string_open_);
    OnToken(text, token, line, first);
    if (!stop_.ok()) return;
    first = false;
    i = token.end;
  }
}

// The line from `from`, looking only at "(", strings, date literals and
// comments; each "(" is looked at backwards for the name before it.
void LanguagePass::ReadQuickly(std::u16string_view text, int32_t line, size_t from) {
  size_t code_end = text.size();
  bool ends_in_literal = false;  // a string or date literal runs to the line's end
  for (size_t i = FindAnyUnit(text, from, u'(', u'"', u'\'', u'/'); i < text.size();
       i = FindAnyUnit(text, i, u'(', u'"', u'\'', u'/')) {
    const char16_t unit = text[i];
    if (unit == u'(') {
      OnParen(text, i, line, from);
      ++i;
    } else if (unit == u'"') {
      i = language::SkipStringBody(text, i + 1);
      if (i == std::u16string_view::npos) {
        string_open_ = ends_in_literal = true;
        break;
      }
    } else if (unit == u'\'') {
      i = text.find(u'\'', i + 1);
      if (i == std::u16string_view::npos) {
        ends_in_literal = true;
        break;
      }
      ++i;
    } else if (language::IsCommentAt(text, i)) {
      code_end = i;
      break;
    } else {
      ++i;
    }
  }
  NoteLastToken(text, from, code_end, ends_in_literal);
}

// The token before `at`, looked at backwards on this line from `from`:
// whether it is "." or Новый. A line's code that begins after a string
// that went on from the line before has that string before it; a line's
// first token has the last one of an earlier line.
void LanguagePass::TokenBefore(std::u16string_view text, size_t at, size_t from, bool& dot, bool& is_new) const {
  size_t q = at;
  while (q > from && language::IsBlank(text[q - 1])) --q;
  if (q == from) {
    dot = from == 0 && after_dot_;
    is_new = from == 0 && after_new_;
    return;
  }
  const char16_t unit = text[q - 1];
  dot = unit == u'.';
  is_new = false;
  if (!language::IsWordUnit(unit)) return;
  size_t begin = q - 1;
  while (begin > from && language::IsWordUnit(text[begin - 1])) --begin;
  is_new = IsNewWord(text.substr(begin, q - begin)) && (language::ClassOf(text[begin]) & language::kLetter);
}

void LanguagePass::NoteLastToken(std::u16string_view text, size_t from, size_t code_end, bool ends_in_literal) {
  if (ends_in_literal || (from > 0 && language::FirstNonBlank(text.substr(from, code_end - from)) == code_end - from)) {
    after_dot_ = after_new_ = false;  // the last token is a literal
    return;
  }
  size_t q = code_end;
  while (q > from && language::IsBlank(text[q - 1])) --q;
  if (q == from) return;  // no token: the earlier one stays the last
  bool dot = false, is_new = false;
  TokenBefore(text, code_end, from, dot, is_new);
  after_dot_ = dot;
  after_new_ = is_new;
}

void LanguagePass::OnParen(std::u16string_view text, size_t paren, int32_t line, size_t from) {
  size_t end = paren;
  while (end > from && language::IsBlank(text[end - 1])) --end;
  size_t begin = end;
  while (begin > from && language::IsWordUnit(text[begin - 1])) --begin;
  if (begin == end || !(language::ClassOf(text[begin]) & language::kLetter)) return;
  bool dot = false, is_new = false;
  TokenBefore(text, begin, from, dot, is_new);
  if (is_new) return;
  const std::u16string_view word = text.substr(begin, end - begin);
  if (dot) {
    // The "." stands before the name on this line, or ended an earlier one.
    size_t at = begin;
    while (at > from && language::IsBlank(text[at - 1])) --at;
    OnMemberCall(at > from ? QuickReceiver(text, at - 1, from) : std::u16string(), word, line, begin);
    return;
  }
  if (const language::Keyword* keyword = KeywordOf(word); keyword && keyword->never_called) return;
  AddCandidate(word, line, begin);
}

// The receiver before the "." at `dot`, read backwards while it is names
// and dots; a chain holding a group of arguments or an index is read again
// token by token.
std::u16string LanguagePass::QuickReceiver(std::u16string_view text, size_t dot, size_t from) {
  std::vector<std::u16string_view> parts;  // last first
  size_t k = dot;
  for (;;) {
    while (k > from && language::IsBlank(text[k - 1])) --k;
    if (k == from) break;
    const char16_t unit = text[k - 1];
    if (unit == u')' || unit == u']') return TokenReceiver(text, dot, from);
    if (!language::IsWordUnit(unit)) break;
    size_t begin = k - 1;
    while (begin > from && language::IsWordUnit(text[begin - 1])) --begin;
    if (!(language::ClassOf(text[begin]) & language::kLetter)) break;
    parts.push_back(text.substr(begin, k - begin));
    k = begin;
    while (k > from && language::IsBlank(text[k - 1])) --k;
    if (k == from || text[k - 1] != u'.') break;
    parts.push_back(u".");
    --k;
  }
  std::u16string receiver;
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) receiver += *part;
  return receiver;
}

std::u16string LanguagePass::TokenReceiver(std::u16string_view text, size_t dot, size_t from) {
  tokens_.clear();
  bool open_string = false;
  for (size_t i = from;;) {
    while (i < dot && language::IsBlank(text[i])) ++i;
    if (i >= dot) break;
    tokens_.push_back(language::ReadToken(text, i, open_string));
    i = tokens_.back().end;
  }
  tokens_.push_back(Token{static_cast<uint32_t>(dot), static_cast<uint32_t>(dot + 1), TokenKind::kOther});
  return Receiver(text, tokens_.size() - 1);
}

void LanguagePass::OnMemberCall(std::u16string receiver, std::u16string_view word, int32_t line, size_t column) {
  const bool plain = std::all_of(receiver.begin(), receiver.end(), [](char16_t c) { return language::IsWordUnit(c); });
  const language::Keyword* keyword = plain ? KeywordOf(receiver) : nullptr;
  if (keyword != nullptr && keyword->role == language::Role::kThisObject) {
    AddCandidate(word, line, column);
    return;
  }
  result_.member_calls.push_back(
      MemberCall{std::move(receiver), std::u16string(word), Caller(), line, static_cast<int32_t>(column)});
}

void LanguagePass::AddCandidate(std::u16string_view word, int32_t line, size_t column) {
  candidates_.push_back(Candidate{static_cast<uint32_t>(names_.size()), static_cast<uint32_t>(word.size()), line,
                                  static_cast<int32_t>(column), Caller()});
  names_ += word;
}

void LanguagePass::OnToken(std::u16string_view text, Token token, int32_t line, bool first) {
  tokens_.push_back(token);
  const bool consumed = header_ != Header::kNone && OnHeaderToken(text, token, line, first);
  if (!consumed && stop_.ok() && token.kind == TokenKind::kIdentifier) OnIdentifier(text, token, line, first);
  after_dot_ = IsUnit(text, token, u'.');
  after_new_ = token.kind == TokenKind::kIdentifier && IsNewWord(TextOf(text, token));
}

// The header's keyword, name, "(", list, ")", "Экспорт" and "Далее" in turn;
// returns false for a token that is no part of it (read as any other).
bool LanguagePass::OnHeaderToken(std::u16string_view text, Token token, int32_t line, bool) {
  const bool identifier = token.kind == TokenKind::kIdentifier;
  switch (header_) {
    case Header::kAsync: {
      const language::Keyword* keyword = identifier ? KeywordOf(TextOf(text, token)) : nullptr;
      if (keyword && (keyword->role == language::Role::kProcedure || keyword->role == language::Role::kFunction)) {
        pending_.kind = keyword->role == language::Role::kFunction ? MethodKind::kFunction : MethodKind::kProcedure;
        header_ = Header::kKeyword;
        return true;
      }
      header_ = Header::kNone;
      return false;
    }
    case Header::kKeyword:
      if (!identifier) break;
      pending_.name.assign(TextOf(text, token));
      pending_.name_column = static_cast<int32_t>(token.begin);
      header_ = Header::kName;
      return true;
    case Header::kName:
      if (!IsUnit(text, token, u'(')) break;
      StartHeader(pending_.name, line, pending_.name_column);
      return true;
    case Header::kList:
      if (IsUnit(text, token, u')')) header_ = Header::kAfterList;
      return header_ == Header::kAfterList;
    case Header::kAfterList:
    case Header::kAfterExport: {
      const language::Keyword* keyword = identifier ? KeywordOf(TextOf(text, token)) : nullptr;
      if (keyword && keyword->role == language::Role::kExport && header_ == Header::kAfterList) {
        pending_.exported = true;
        header_ = Header::kAfterExport;
        return true;
      }
      const bool forward = keyword && keyword->role == language::Role::kForward;
      stop_ = FinishHeader(forward);
      return forward;
    }
    case Header::kNone:
      return false;
  }
  header_ = Header::kNone;
  return false;
}

void LanguagePass::OnIdentifier(std::u16string_view text, Token token, int32_t line, bool first) {
  if (first && header_ == Header::kNone) {
    if (const language::Keyword* keyword = KeywordOf(TextOf(text, token))) {
      switch (keyword->role) {
        case language::Role::kAsync:
        case language::Role::kProcedure:
        case language::Role::kFunction:
          pending_ = MethodInfo();
          pending_.header_line = line;
          pending_.async = keyword->role == language::Role::kAsync;
          pending_.kind =
              keyword->role == language::Role::kFunction ? MethodKind::kFunction : MethodKind::kProcedure;
          header_ = keyword->role == language::Role::kAsync ? Header::kAsync : Header::kKeyword;
          return;
        case language::Role::kEnd:
          if (open_ >= 0) end_at_line_end_ = line;
          return;
        default:
          break;
      }
    }
  }
  size_t next = token.end;
  while (next < text.size() && language::IsBlank(text[next])) ++next;
  if (next < text.size() && text[next] == u'(') OnCall(text, token, line);
}

// "name(": a call of the module's method of that name, if there is one; a
// member call when a "." stands before it (but for ЭтотОбъект and its kin).
void LanguagePass::OnCall(std::u16string_view text, Token token, int32_t line) {
  if (after_new_) return;
  const std::u16string_view word = TextOf(text, token);
  if (after_dot_) {
    const size_t dot = tokens_.size() >= 2 ? tokens_.size() - 2 : tokens_.size();
    OnMemberCall(dot < tokens_.size() ? Receiver(text, dot) : std::u16string(), word, line, token.begin);
    return;
  }
  if (const language::Keyword* keyword = KeywordOf(word); keyword && keyword->never_called) return;
  AddCandidate(word, line, token.begin);
}

// The chain before the "." at tokens_[dot]: identifiers as written, groups
// of arguments or index as "()" or "[]", read back to where the chain
// begins on this line.
std::u16string LanguagePass::Receiver(std::u16string_view text, size_t dot) const {
  std::vector<std::u16string_view> parts;  // last first
  size_t k = dot;
  while (k > 0) {
    Token token = tokens_[k - 1];
    if (token.kind == TokenKind::kIdentifier) {
      parts.push_back(TextOf(text, token));
      --k;
      if (k == 0 || !IsUnit(text, tokens_[k - 1], u'.')) break;
      parts.push_back(u".");
      --k;
      continue;
    }
    const bool paren = IsUnit(text, token, u')');
    if (!paren && !IsUnit(text, token, u']')) break;
    const char16_t open = paren ? u'(' : u'[';
    const char16_t close = paren ? u')' : u']';
    int depth = 0;
    size_t j = k;
    for (; j > 0; --j) {
      if (IsUnit(text, tokens_[j - 1], close)) ++depth;
      if (IsUnit(text, tokens_[j - 1], open) && --depth == 0) break;
    }
    if (j == 0) break;  // the group opens on an earlier line
    parts.push_back(paren ? u"()" : u"[]");
    k = j - 1;
  }
  std::u16string receiver;
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) receiver += *part;
  return receiver;
}

// A header's "(" ends the method before it on the line before the header.
void LanguagePass::StartHeader(std::u16string_view, int32_t, int32_t) {
  CloseOpenMethod(pending_.header_line - 1, false);
  header_ = Header::kList;
  pending_calls_ = candidates_.size();
  pending_member_calls_ = result_.member_calls.size();
}

Status LanguagePass::FinishHeader(bool forward) {
  header_ = Header::kNone;
  FoldInto(pending_.name, folded_);
  int32_t caller = kBody;
  if (forward) {
    forward_export_[folded_] |= pending_.exported;
  } else {
    const int32_t first = defined_.Insert(folded_, result_.MethodCount());
    if (first >= 0) return Duplicate(first);
    caller = result_.MethodCount();
    result_.methods.push_back(pending_);
    open_ = caller;
  }
  for (size_t c = pending_calls_; c < candidates_.size(); ++c) candidates_[c].caller = caller;
  for (size_t c = pending_member_calls_; c < result_.member_calls.size(); ++c) result_.member_calls[c].caller = caller;
  return Status::Ok();
}

Status LanguagePass::Duplicate(int32_t first) {
  AnalysisError error;
  error.kind = AnalysisError::Kind::kDuplicateMethod;
  error.status = Status::Error(Status::kDuplicateKey, "Процедура или функция «" + Utf16ToUtf8(pending_.name) +
                                                          "» объявлена повторно в строке " +
                                                          std::to_string(pending_.header_line + 1));
  error.line = pending_.header_line;
  error.name = pending_.name;
  error.name_column = pending_.name_column;
  error.first_line = result_.methods[static_cast<size_t>(first)].header_line;
  result_.member_calls.clear();
  result_.IndexNames();
  result_.error = std::move(error);
  return result_.error->status;
}

void LanguagePass::CloseOpenMethod(int32_t end_line, bool recorded) {
  if (open_ < 0) return;
  MethodInfo& method = result_.methods[static_cast<size_t>(open_)];
  method.end_line = std::max(method.header_line, end_line);
  method.end_recorded = recorded;
  open_ = kBody;
}

const language::Keyword* LanguagePass::KeywordOf(std::u16string_view word) {
  if (!keywords_.MayBe(word)) return nullptr;
  FoldInto(word, folded_);
  return keywords_.Find(folded_);
}

int32_t LanguagePass::Caller() const { return header_ == Header::kList ? kPendingHeader : open_; }

// The end of the module: a list never closed makes no method (nothing
// after its "(" was a call); a header read to its ")" is a method; the
// method still open ends on the last line. Then the names are known and
// every candidate is looked up once.
Status LanguagePass::Finish() {
  if (header_ == Header::kList) {
    result_.warnings.push_back(AnalysisWarning{pending_.header_line,
                                               "the parameter list of the header on line " +
                                                   std::to_string(pending_.header_line + 1) + " is never closed"});
    candidates_.resize(pending_calls_);
    result_.member_calls.resize(pending_member_calls_);
    header_ = Header::kNone;
  } else if (header_ == Header::kAfterList || header_ == Header::kAfterExport) {
    RAMULET_RETURN_IF_ERROR(FinishHeader(false));
  }
  CloseOpenMethod(result_.line_count - 1, false);
  for (MethodInfo& method : result_.methods) {
    if (forward_export_.empty()) break;
    FoldInto(method.name, folded_);
    auto found = forward_export_.find(folded_);
    if (found != forward_export_.end() && found->second) method.exported = true;
  }
  result_.AdoptNames(std::move(defined_));
  for (const Candidate& candidate : candidates_) {
    FoldInto(std::u16string_view(names_).substr(candidate.name_offset, candidate.name_length), folded_);
    const int32_t callee = result_.FindFolded(folded_);
    if (callee < 0) continue;
    const MethodCall call{callee, candidate.line, candidate.column};
    if (candidate.caller >= 0) {
      result_.BeginCallsOf(candidate.caller);
      result_.AddCall(call);
    } else {
      result_.body_calls.push_back(call);
    }
  }
  return Status::Ok();
}

}  // namespace ramulet
