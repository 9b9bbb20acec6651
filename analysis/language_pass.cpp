#include "analysis/language_pass.h"

#include <algorithm>
#include <string>

#include "platform/text.h"

namespace ramulet {

using language::Token;
using language::TokenKind;

namespace {

bool IsUnit(std::u16string_view text, const Token& token, char16_t unit) {
  return token.kind == TokenKind::kOther && text[token.begin] == unit;
}

std::u16string_view TextOf(std::u16string_view text, const Token& token) {
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

void LanguagePass::ReadLine(std::u16string_view text, int32_t line) {
  // The name and "(" of a header stand on the line of its keyword.
  if (header_ == Header::kAsync || header_ == Header::kKeyword || header_ == Header::kName) header_ = Header::kNone;
  tokens_.clear();
  size_t i = 0;
  bool skip_line = false;
  if (string_open_) {
    i = ResumeString(text, skip_line);
  } else {
    skip_line = language::IsDirectiveLine(text);
  }
  if (skip_line) return;
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
  if (end_at_line_end_ >= 0) {
    CloseOpenMethod(end_at_line_end_, true);
    end_at_line_end_ = -1;
  }
}

void LanguagePass::OnToken(std::u16string_view text, const Token& token, int32_t line, bool first) {
  tokens_.push_back(token);
  const bool consumed = header_ != Header::kNone && OnHeaderToken(text, token, line, first);
  if (!consumed && stop_.ok() && token.kind == TokenKind::kIdentifier) OnIdentifier(text, token, line, first);
  after_dot_ = IsUnit(text, token, u'.');
  after_new_ = token.kind == TokenKind::kIdentifier && IsNewWord(TextOf(text, token));
}

// The header's keyword, name, "(", list, ")", "Экспорт" and "Далее" in turn;
// returns false for a token that is no part of it (read as any other).
bool LanguagePass::OnHeaderToken(std::u16string_view text, const Token& token, int32_t line, bool) {
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

void LanguagePass::OnIdentifier(std::u16string_view text, const Token& token, int32_t line, bool first) {
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
void LanguagePass::OnCall(std::u16string_view text, const Token& token, int32_t line) {
  if (after_new_) return;
  const std::u16string_view word = TextOf(text, token);
  if (after_dot_) {
    const size_t dot = tokens_.size() >= 2 ? tokens_.size() - 2 : tokens_.size();
    std::u16string receiver = dot < tokens_.size() ? Receiver(text, dot) : std::u16string();
    const bool this_object =
        !receiver.empty() && language::IsWordUnit(receiver[0]) &&
        std::all_of(receiver.begin(), receiver.end(), [](char16_t c) { return language::IsWordUnit(c); }) &&
        KeywordOf(receiver) != nullptr && KeywordOf(receiver)->role == language::Role::kThisObject;
    if (!this_object) {
      result_.member_calls.push_back(
          MemberCall{std::move(receiver), std::u16string(word), Caller(), line, static_cast<int32_t>(token.begin)});
      return;
    }
  } else if (const language::Keyword* keyword = KeywordOf(word); keyword && keyword->never_called) {
    return;
  }
  candidates_.push_back(Candidate{static_cast<uint32_t>(names_.size()), static_cast<uint32_t>(word.size()), line,
                                  static_cast<int32_t>(token.begin), Caller()});
  names_ += word;
}

// The chain before the "." at tokens_[dot]: identifiers as written, groups
// of arguments or index as "()" or "[]", read back to where the chain
// begins on this line.
std::u16string LanguagePass::Receiver(std::u16string_view text, size_t dot) const {
  std::vector<std::u16string_view> parts;  // last first
  size_t k = dot;
  while (k > 0) {
    const Token& token = tokens_[k - 1];
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
    auto [first, added] = defined_.try_emplace(folded_, result_.MethodCount());
    if (!added) return Duplicate(first->second);
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
    FoldInto(method.name, folded_);
    auto found = forward_export_.find(folded_);
    if (found != forward_export_.end() && found->second) method.exported = true;
  }
  result_.IndexNames();
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
