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
      DropCalls();
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
  // After a header's ")", a line that does not go on with Экспорт or Далее
  // ends the header: the line itself is read like any other.
  if ((header_ == Header::kAfterList || header_ == Header::kAfterExport) && from == 0 &&
      !GoesOnWithHeaderWord(text)) {
    stop_ = FinishHeader(false);
    if (!stop_.ok()) return;
  }
  line_start_after_dot_ = after_dot_;
  if (header_ != Header::kNone || (from == 0 && BeginsHeader(text))) {
    ReadTokens(text, line, from);
  } else {
    // A member call whose receiver holds a group sends the line, from its
    // start, to the token by token reading.
    const size_t calls = result_.calls().size();
    const size_t body_calls = result_.body_calls.size();
    const size_t header_calls = header_calls_.size();
    const size_t member_calls = result_.member_calls.size();
    const size_t member_text = result_.member_text.size();
    ReadQuickly(text, line, from);
    if (needs_tokens_) {
      needs_tokens_ = false;
      result_.TruncateCalls(calls);
      result_.body_calls.resize(body_calls);
      header_calls_.resize(header_calls);
      result_.member_calls.resize(member_calls);
      result_.member_text.resize(member_text);
      string_open_ = false;
      ReadTokens(text, line, from);
    }
  }
  if (end_at_line_end_ >= 0) {
    CloseOpenMethod(end_at_line_end_, true);
    end_at_line_end_ = -1;
  }
}

// Whether the line may go on with the header: it holds no token (blank or
// a comment), or its first token is Экспорт or Далее (in either spelling).
bool LanguagePass::GoesOnWithHeaderWord(std::u16string_view text) {
  const size_t begin = language::FirstNonBlank(text);
  if (begin == text.size() || language::IsCommentAt(text, begin)) return true;
  const std::u16string_view word = language::FirstWord(text);
  const language::Keyword* keyword = word.empty() ? nullptr : KeywordOf(word);
  return keyword != nullptr && (keyword->role == language::Role::kExport || keyword->role == language::Role::kForward);
}

// Whether the line's first token is Процедура, Функция or Асинх (in either
// spelling); marks the end of the open method at an end keyword.
bool LanguagePass::BeginsHeader(std::u16string_view text) {
  const std::u16string_view word = language::FirstWord(text);
  if (!keywords_.MayBeHeaderOrEnd(word)) return false;
  const language::Keyword* keyword = KeywordOf(word);
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
  tokens_from_line_start_ = from == 0;
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
      if (needs_tokens_) return;
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
    Chain chain;
    if (at > from && !QuickReceiver(text, at - 1, from, chain)) {
      needs_tokens_ = true;
      return;
    }
    OnMemberCall(chain, word, line, begin);
    return;
  }
  AddBareCandidate(word, line, begin);
}

// The receiver before the "." at `dot`, read backwards while it is names
// and dots. False for a chain that holds a group of arguments or an index:
// the line is then read again token by token.
bool LanguagePass::QuickReceiver(std::u16string_view text, size_t dot, size_t from, Chain& chain) const {
  size_t k = dot;  // the "." before the part to read
  for (;;) {
    while (k > from && language::IsBlank(text[k - 1])) --k;
    if (k == from) return true;
    const char16_t unit = text[k - 1];
    if (unit == u')' || unit == u']') return false;
    if (!language::IsWordUnit(unit)) return true;
    size_t begin = k - 1;
    while (begin > from && language::IsWordUnit(text[begin - 1])) --begin;
    if (!(language::ClassOf(text[begin]) & language::kLetter) || !chain.Add(text.substr(begin, k - begin))) return true;
    k = begin;
    while (k > from && language::IsBlank(text[k - 1])) --k;
    if (k == from) {
      chain.dot_before = from == 0 && line_start_after_dot_;
      return true;
    }
    if (text[k - 1] != u'.') return true;
    --k;
    // The "." joins only when a name or a group stands before it.
    size_t before = k;
    while (before > from && language::IsBlank(text[before - 1])) --before;
    chain.dot_before = true;
    if (before == from) return true;
    if (text[before - 1] == u')' || text[before - 1] == u']') return false;
    if (!language::IsWordUnit(text[before - 1])) return true;
    size_t word = before - 1;  // a number before the "." is no part either
    while (word > from && language::IsWordUnit(text[word - 1])) --word;
    if (!(language::ClassOf(text[word]) & language::kLetter)) return true;
    chain.dot_before = false;
    chain.parts.push_back(u".");
  }
}

namespace {

bool IsCloser(std::u16string_view text, Token token) { return IsUnit(text, token, u')') || IsUnit(text, token, u']'); }
bool IsOpener(std::u16string_view text, Token token) { return IsUnit(text, token, u'(') || IsUnit(text, token, u'['); }

}  // namespace

// The opener of this line that balances the closer at tokens_[j], brackets
// of either kind counted alike; npos when there is none.
size_t LanguagePass::MatchingOpener(std::u16string_view text, size_t j) const {
  int depth = 0;
  for (size_t i = j + 1; i > 0; --i) {
    const Token token = tokens_[i - 1];
    if (IsCloser(text, token)) ++depth;
    if (IsOpener(text, token) && --depth == 0) return i - 1;
  }
  return std::u16string_view::npos;
}

// Whether a part of a receiver chain ends at tokens_[j] (j < tokens_.size()):
// a word, or a group balanced on this line.
bool LanguagePass::PartEndsAt(std::u16string_view text, size_t j) const {
  const Token token = tokens_[j];
  if (token.kind == TokenKind::kIdentifier) return true;
  return IsCloser(text, token) && MatchingOpener(text, j) != std::u16string_view::npos;
}

// The chain before the "." at tokens_[dot]: names as written joined by
// ".", groups of arguments or index as "()" or "[]", read back on this line.
void LanguagePass::TokenReceiver(std::u16string_view text, size_t dot, Chain& chain) const {
  size_t k = dot;  // the part to read ends at k - 1
  while (k > 0 && PartEndsAt(text, k - 1)) {
    const Token token = tokens_[k - 1];
    if (IsCloser(text, token)) {
      if (!chain.Add(IsUnit(text, token, u')') ? u"()" : u"[]")) return;
      k = MatchingOpener(text, k - 1);
      continue;
    }
    if (!chain.Add(TextOf(text, token))) return;
    if (k == 1) {
      chain.dot_before = tokens_from_line_start_ && line_start_after_dot_;
      return;
    }
    if (k < 2 || !IsUnit(text, tokens_[k - 2], u'.')) return;
    chain.dot_before = true;
    if (k < 3 || !PartEndsAt(text, k - 3)) return;
    chain.dot_before = false;
    chain.parts.push_back(u".");
    k -= 2;
  }
}

bool LanguagePass::Chain::Add(std::u16string_view part) {
  if (count == kMaxReceiverParts || units + part.size() > kMaxReceiverUnits) {
    cut = true;
    return false;
  }
  parts.push_back(part);
  ++count;
  units += part.size();
  return true;
}

void LanguagePass::OnMemberCall(Chain& chain, std::u16string_view word, int32_t line, size_t column) {
  // A chain cut where a part would follow its "." keeps no "." in front.
  if (chain.cut && !chain.parts.empty() && chain.parts.back() == u".") chain.parts.pop_back();
  if (chain.parts.size() == 1 && !chain.cut && !chain.dot_before &&
      language::IsWordUnit(chain.parts[0].front())) {
    const language::Keyword* keyword = KeywordOf(chain.parts[0]);
    if (keyword != nullptr && keyword->role == language::Role::kThisObject) {
      AddCandidate(word, line, column);
      return;
    }
  }
  std::u16string& text = result_.member_text;
  MemberCall call;
  call.caller = Caller();
  call.line = line;
  call.column = static_cast<int32_t>(column);
  call.receiver_begin = static_cast<uint32_t>(text.size());
  if (chain.cut) text += u"…";
  for (auto part = chain.parts.rbegin(); part != chain.parts.rend(); ++part) text += *part;
  call.receiver_length = static_cast<uint32_t>(text.size() - call.receiver_begin);
  call.name_begin = static_cast<uint32_t>(text.size());
  call.name_length = static_cast<uint32_t>(word.size());
  text += word;
  result_.member_calls.push_back(call);
}

void LanguagePass::AddCandidate(std::u16string_view word, int32_t line, size_t column) {
  AddNumberedCall(NameNumber(word), line, column);
}

void LanguagePass::AddNumberedCall(int32_t number, int32_t line, size_t column) {
  const MethodCall call{number, line, static_cast<int32_t>(column)};
  const int32_t caller = Caller();
  if (caller >= 0) {
    result_.BeginCallsOf(caller);
    result_.AddCall(call);
  } else if (caller == kBody) {
    result_.body_calls.push_back(call);
  } else {
    header_calls_.push_back(call);
  }
}

int32_t LanguagePass::NameNumber(std::u16string_view word) {
  const auto number = static_cast<int32_t>(seen_spans_.size());
  const int32_t seen = seen_names_.Insert(word, number);
  if (seen >= 0) return seen;
  seen_spans_.emplace_back(static_cast<uint32_t>(seen_text_.size()), static_cast<uint32_t>(word.size()));
  seen_text_ += word;
  const language::Keyword* keyword = KeywordOf(word);
  never_called_.push_back(keyword != nullptr && keyword->never_called);
  return number;
}

// A name before "(" with no "." before it: no call when it is a keyword
// that is never called, which each name is asked once, when first seen.
void LanguagePass::AddBareCandidate(std::u16string_view word, int32_t line, size_t column) {
  const int32_t number = NameNumber(word);
  if (never_called_[static_cast<size_t>(number)]) return;
  AddNumberedCall(number, line, column);
}

// After an error the analysis keeps no calls.
void LanguagePass::DropCalls() {
  result_.TruncateCalls(0);
  result_.body_calls.clear();
  result_.member_calls.clear();
  result_.member_text.clear();
  header_calls_.clear();
}

void LanguagePass::OnToken(std::u16string_view text, Token token, int32_t line, bool first) {
  tokens_.push_back(token);
  const bool consumed = header_ != Header::kNone && OnHeaderToken(text, token);
  if (!consumed && stop_.ok() && token.kind == TokenKind::kIdentifier) OnIdentifier(text, token, line, first);
  after_dot_ = IsUnit(text, token, u'.');
  after_new_ = token.kind == TokenKind::kIdentifier && IsNewWord(TextOf(text, token));
}

// The header's keyword, name, "(", list, ")", "Экспорт" and "Далее" in turn;
// returns false for a token that is no part of it (read as any other).
bool LanguagePass::OnHeaderToken(std::u16string_view text, Token token) {
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
      StartHeader();
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
    Chain chain;
    if (tokens_.size() >= 2) TokenReceiver(text, tokens_.size() - 2, chain);
    OnMemberCall(chain, word, line, token.begin);
    return;
  }
  AddBareCandidate(word, line, token.begin);
}

// A header's "(" ends the method before it on the line before the header.
void LanguagePass::StartHeader() {
  CloseOpenMethod(pending_.header_line - 1, false);
  header_ = Header::kList;
  header_calls_.clear();
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
  for (const MethodCall& call : header_calls_) {
    if (caller >= 0) {
      result_.BeginCallsOf(caller);
      result_.AddCall(call);
    } else {
      result_.body_calls.push_back(call);
    }
  }
  header_calls_.clear();
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
  ApplyForwardExports();
  DropCalls();
  result_.IndexNames();
  result_.error = std::move(error);
  return result_.error->status;
}

// A method is exported when any forward declaration of its name is.
void LanguagePass::ApplyForwardExports() {
  if (forward_export_.empty()) return;
  for (MethodInfo& method : result_.methods) {
    FoldInto(method.name, folded_);
    auto found = forward_export_.find(folded_);
    if (found != forward_export_.end() && found->second) method.exported = true;
  }
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
    header_calls_.clear();
    result_.member_calls.resize(pending_member_calls_);
    header_ = Header::kNone;
  } else if (header_ == Header::kAfterList || header_ == Header::kAfterExport) {
    RAMULET_RETURN_IF_ERROR(FinishHeader(false));
  }
  CloseOpenMethod(result_.line_count - 1, false);
  ApplyForwardExports();
  result_.AdoptNames(std::move(defined_));
  std::vector<int32_t> callee_of(seen_spans_.size());
  for (size_t n = 0; n < seen_spans_.size(); ++n) {
    FoldInto(std::u16string_view(seen_text_).substr(seen_spans_[n].first, seen_spans_[n].second), folded_);
    callee_of[n] = result_.FindFolded(folded_);
  }
  result_.ResolveCalls(callee_of);
  size_t kept = 0;
  for (MethodCall call : result_.body_calls) {
    call.callee = callee_of[static_cast<size_t>(call.callee)];
    if (call.callee >= 0) result_.body_calls[kept++] = call;
  }
  result_.body_calls.resize(kept);
  return Status::Ok();
}

}  // namespace ramulet
