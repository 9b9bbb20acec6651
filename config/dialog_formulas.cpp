#include "config/dialog_formulas.h"

#include <cstdint>

#include "analysis/language_keywords.h"
#include "analysis/language_lexer.h"
#include "platform/text.h"

namespace ramulet {

namespace {

// A quoted field of the dialog text with its doubled quotes made single,
// and where each of its units stands in the dialog text.
struct Field {
  std::u16string text;
  std::vector<uint32_t> origin;
};

// Reads the field whose opening quote is at `open`; returns the offset
// after its closing quote (the text's end when it has none).
size_t ReadField(std::u16string_view dialog, size_t open, Field& field) {
  field.text.clear();
  field.origin.clear();
  size_t i = open + 1;
  while (i < dialog.size()) {
    if (dialog[i] == u'"') {
      if (i + 1 < dialog.size() && dialog[i + 1] == u'"') {
        field.text += u'"';
        field.origin.push_back(static_cast<uint32_t>(i));
        i += 2;
        continue;
      }
      return i + 1;
    }
    field.text += dialog[i];
    field.origin.push_back(static_cast<uint32_t>(i));
    ++i;
  }
  return i;
}

bool IsSpace(char16_t unit) { return language::IsBlank(unit) || unit == u'\r' || unit == u'\n'; }

// A formula is shaped `Имя(…)`: an identifier right before "(" at its
// start and ")" (or ");") at its end. Captions ("Записать", "Сумма (руб.)")
// are not.
bool IsFormula(std::u16string_view text) {
  size_t begin = 0;
  while (begin < text.size() && IsSpace(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && IsSpace(text[end - 1])) --end;
  if (end > begin && text[end - 1] == u';') --end;
  if (begin == end || !(language::ClassOf(text[begin]) & language::kLetter) || text[end - 1] != u')') return false;
  size_t i = begin + 1;
  while (i < end && language::IsWordUnit(text[i])) ++i;
  return i < end && text[i] == u'(';
}

const language::Keywords& LanguageKeywords() {
  static const language::Keywords keywords;
  return keywords;
}

bool IsNeverCalled(std::u16string_view word, bool& is_new) {
  is_new = false;
  const language::Keywords& keywords = LanguageKeywords();
  if (!keywords.MayBe(word)) return false;
  std::u16string folded(word);
  for (char16_t& unit : folded) unit = language::Fold(unit);
  const language::Keyword* keyword = keywords.Find(folded);
  if (keyword == nullptr) return false;
  is_new = keyword->role == language::Role::kNew;
  return keyword->never_called;
}

// The offsets of the bare calls in a formula: identifiers before "(" that
// follow no "." and no "Новый", and are no keyword.
std::vector<size_t> BareCalls(std::u16string_view formula) {
  std::vector<size_t> calls;
  bool after_dot = false;
  bool after_new = false;
  size_t i = 0;
  while (true) {
    while (i < formula.size() && IsSpace(formula[i])) ++i;
    if (i >= formula.size() || language::IsCommentAt(formula, i)) return calls;
    bool open_string = false;
    const language::Token token = language::ReadToken(formula, i, open_string);
    i = token.end;
    if (token.kind != language::TokenKind::kIdentifier) {
      after_dot = formula[token.begin] == u'.' && token.kind == language::TokenKind::kOther;
      after_new = false;
      continue;
    }
    const std::u16string_view word = formula.substr(token.begin, token.end - token.begin);
    size_t next = i;
    while (next < formula.size() && IsSpace(formula[next])) ++next;
    bool is_new = false;
    const bool never_called = IsNeverCalled(word, is_new);
    if (next < formula.size() && formula[next] == u'(' && !after_dot && !after_new && !never_called)
      calls.push_back(token.begin);
    after_dot = false;
    after_new = is_new;
  }
}

// Lines and columns of offsets into the dialog text, asked in increasing
// order.
class DialogCursor {
 public:
  explicit DialogCursor(std::u16string_view text) : text_(text) {}
  void MoveTo(size_t offset, int32_t& line, int32_t& column) {
    for (; at_ < offset && at_ < text_.size(); ++at_) {
      if (text_[at_] == u'\n') {
        ++line_;
        line_start_ = at_ + 1;
      }
    }
    line = line_;
    column = static_cast<int32_t>(offset - line_start_);
  }

 private:
  std::u16string_view text_;
  size_t at_ = 0;
  size_t line_start_ = 0;
  int32_t line_ = 0;
};

}  // namespace

void AddDialogCallers(std::u16string_view dialog_text, const std::string& form_module, const std::string& path,
                      std::vector<NamedCaller>& callers) {
  DialogCursor cursor(dialog_text);
  Field field;
  for (size_t i = dialog_text.find(u'"'); i < dialog_text.size(); i = dialog_text.find(u'"', i)) {
    i = ReadField(dialog_text, i, field);
    if (!IsFormula(field.text)) continue;
    const std::string formula = Utf16ToUtf8(TrimSpaces(field.text));
    for (const size_t call : BareCalls(field.text)) {
      NamedCaller named;
      named.kind = NamedCaller::Kind::kDialog;
      named.caller = form_module;
      named.target = form_module;
      named.via = formula;
      named.path = path;
      size_t end = call;
      while (end < field.text.size() && language::IsWordUnit(field.text[end])) ++end;
      named.method = Utf16ToUtf8(std::u16string_view(field.text).substr(call, end - call));
      cursor.MoveTo(field.origin[call], named.line, named.column);
      callers.push_back(std::move(named));
    }
  }
}

}  // namespace ramulet
