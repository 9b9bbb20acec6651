#include "tests/support/reference_language.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "analysis/module_analysis.h"
#include "analysis/module_analyzer.h"
#include "platform/status.h"
#include "platform/text.h"
#include "textio/text_lines.h"

namespace ramulet {

namespace {

// ---------------------------------------------------------------- letters

bool IsLetter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'А' && c <= u'я') || c == u'Ё' ||
         c == u'ё';
}
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsWordUnit(char16_t c) { return IsLetter(c) || IsDigit(c) || c == u'_'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// One letter case: lower case Latin and Cyrillic, ё for Ё.
char16_t Fold(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c - u'A' + u'a');
  if (c >= u'А' && c <= u'Я') return static_cast<char16_t>(c - u'А' + u'а');
  if (c == u'Ё') return u'ё';
  return c;
}

std::u16string Folded(std::u16string_view word) {
  std::u16string out;
  for (char16_t c : word) out.push_back(Fold(c));
  return out;
}

// ----------------------------------------------------------------- tokens

enum class TokenKind { kWord, kNumber, kString, kDate, kSymbol };

struct Token {
  TokenKind kind = TokenKind::kSymbol;
  std::u16string text;  // words, numbers and symbols as written
  std::u16string folded;  // words in one letter case
  int32_t line = 0;
  int32_t column = 0;
  bool first_on_line = false;
};

// From just inside a string (after its opening quote or a continuation's
// `|`): the position after its closing quote, or the line's end with
// `open` set when the line ends inside it.
size_t SkipString(const std::u16string& text, size_t i, bool& open) {
  while (i < text.size()) {
    if (text[i] == u'"') {
      if (i + 1 < text.size() && text[i + 1] == u'"') {
        i += 2;
        continue;
      }
      open = false;
      return i + 1;
    }
    ++i;
  }
  open = true;
  return text.size();
}

bool CommentAt(const std::u16string& text, size_t i) {
  return i + 1 < text.size() && text[i] == u'/' && text[i + 1] == u'/';
}

// Every token of the module in text order.
std::vector<Token> Tokenize(const std::vector<std::u16string>& lines) {
  std::vector<Token> tokens;
  bool string_open = false;  // a string still open at the end of an earlier line
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::u16string& text = lines[n];
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool line_has_token = false;
    if (string_open) {
      if (i == text.size() || CommentAt(text, i)) continue;  // the string may still go on below
      string_open = false;
      if (text[i] == u'|') {
        line_has_token = true;  // the rest of the string stands first on this line
        i = SkipString(text, i + 1, string_open);
        if (string_open) continue;
      }
    }
    if (!line_has_token && i < text.size() && (text[i] == u'#' || text[i] == u'&')) continue;
    while (i < text.size()) {
      const char16_t c = text[i];
      if (IsBlank(c)) {
        ++i;
        continue;
      }
      if (CommentAt(text, i)) break;
      Token token;
      token.line = static_cast<int32_t>(n);
      token.column = static_cast<int32_t>(i);
      token.first_on_line = !line_has_token;
      line_has_token = true;
      if (c == u'"') {
        token.kind = TokenKind::kString;
        i = SkipString(text, i + 1, string_open);
      } else if (c == u'\'') {
        token.kind = TokenKind::kDate;
        size_t close = text.find(u'\'', i + 1);
        i = close == std::u16string::npos ? text.size() : close + 1;
      } else if (IsWordUnit(c)) {
        token.kind = IsDigit(c) ? TokenKind::kNumber : TokenKind::kWord;
        size_t end = i;
        while (end < text.size() && IsWordUnit(text[end])) ++end;
        token.text = text.substr(i, end - i);
        token.folded = Folded(token.text);
        i = end;
      } else {
        token.kind = TokenKind::kSymbol;
        token.text = std::u16string(1, c);
        ++i;
      }
      tokens.push_back(std::move(token));
    }
  }
  return tokens;
}

// --------------------------------------------------------------- keywords

using WordSet = std::set<std::u16string>;  // words in one letter case

WordSet Words(std::initializer_list<std::u16string_view> words) {
  WordSet set;
  for (std::u16string_view word : words) set.insert(Folded(word));
  return set;
}

bool IsWordOf(const Token& token, const WordSet& words) {
  return token.kind == TokenKind::kWord && words.count(token.folded) > 0;
}

bool IsSymbol(const Token& token, char16_t c) {
  return token.kind == TokenKind::kSymbol && token.text.size() == 1 && token.text[0] == c;
}

bool IsProcedureWord(const Token& t) {
  static const WordSet kWords = Words({u"Процедура", u"Procedure"});
  return IsWordOf(t, kWords);
}
bool IsFunctionWord(const Token& t) {
  static const WordSet kWords = Words({u"Функция", u"Function"});
  return IsWordOf(t, kWords);
}
bool IsAsyncWord(const Token& t) {
  static const WordSet kWords = Words({u"Асинх", u"Async"});
  return IsWordOf(t, kWords);
}
bool IsEndWord(const Token& t) {
  static const WordSet kWords = Words({u"КонецПроцедуры", u"EndProcedure", u"КонецФункции", u"EndFunction"});
  return IsWordOf(t, kWords);
}
bool IsExportWord(const Token& t) {
  static const WordSet kWords = Words({u"Экспорт", u"Export"});
  return IsWordOf(t, kWords);
}
bool IsForwardWord(const Token& t) {
  static const WordSet kWords = Words({u"Далее", u"Forward"});
  return IsWordOf(t, kWords);
}
bool IsNewWord(const Token& t) {
  static const WordSet kWords = Words({u"Новый", u"New"});
  return IsWordOf(t, kWords);
}
bool IsThisObjectWord(const Token& t) {
  static const WordSet kWords = Words({u"ЭтотОбъект", u"ThisObject", u"ЭтаФорма", u"ThisForm"});
  return IsWordOf(t, kWords);
}

// The statement words an identifier followed by "(" may be; none is a call.
bool IsCallExcludedWord(const Token& t) {
  static const WordSet kWords = Words({
      u"Если", u"Тогда", u"ИначеЕсли", u"Иначе", u"КонецЕсли", u"Для", u"Каждого", u"Из", u"По", u"Пока", u"Цикл",
      u"КонецЦикла", u"Процедура", u"Функция", u"КонецПроцедуры", u"КонецФункции", u"Перем", u"Перейти", u"Возврат",
      u"Продолжить", u"Прервать", u"И", u"Или", u"Не", u"Попытка", u"Исключение", u"ВызватьИсключение",
      u"КонецПопытки", u"Новый", u"Выполнить", u"Истина", u"Ложь", u"Неопределено", u"Экспорт", u"Знач", u"Далее",
      u"Асинх", u"Ждать", u"ДобавитьОбработчик", u"УдалитьОбработчик",
      u"If", u"Then", u"ElsIf", u"Else", u"EndIf", u"For", u"Each", u"In", u"To", u"While", u"Do", u"EndDo",
      u"Procedure", u"Function", u"EndProcedure", u"EndFunction", u"Var", u"Goto", u"Return", u"Continue", u"Break",
      u"And", u"Or", u"Not", u"Try", u"Except", u"Raise", u"EndTry", u"New", u"Execute", u"True", u"False",
      u"Undefined", u"Null", u"Export", u"Val", u"Forward", u"Async", u"Await", u"AddHandler", u"RemoveHandler"});
  return IsWordOf(t, kWords);
}

// ---------------------------------------------------------------- methods

struct Header {
  bool async = false;
  bool function = false;
  size_t name_token = 0;
  bool closed = false;
  bool exported = false;
  bool forward = false;
  size_t next = 0;  // the first token after the header
};

bool SameLine(const std::vector<Token>& tokens, size_t a, size_t b) {
  return b < tokens.size() && tokens[a].line == tokens[b].line;
}

// The header that starts at token `k` (the first token of its line).
std::optional<Header> ReadHeader(const std::vector<Token>& tokens, size_t k) {
  Header header;
  size_t j = k;
  if (IsAsyncWord(tokens[j]) && SameLine(tokens, k, j + 1) &&
      (IsProcedureWord(tokens[j + 1]) || IsFunctionWord(tokens[j + 1]))) {
    header.async = true;
    ++j;
  }
  if (!IsProcedureWord(tokens[j]) && !IsFunctionWord(tokens[j])) return std::nullopt;
  header.function = IsFunctionWord(tokens[j]);
  header.name_token = j + 1;
  if (!SameLine(tokens, k, j + 1) || tokens[j + 1].kind != TokenKind::kWord) return std::nullopt;
  if (!SameLine(tokens, k, j + 2) || !IsSymbol(tokens[j + 2], u'(')) return std::nullopt;
  size_t close = j + 3;
  while (close < tokens.size() && !IsSymbol(tokens[close], u')')) ++close;
  if (close == tokens.size()) return header;  // never closed
  header.closed = true;
  header.next = close + 1;
  if (header.next < tokens.size() && IsExportWord(tokens[header.next])) {
    header.exported = true;
    ++header.next;
  }
  if (header.next < tokens.size() && IsForwardWord(tokens[header.next])) {
    header.forward = true;
    ++header.next;
  }
  return header;
}

struct Method {
  MethodInfo info;
  std::vector<MethodCall> calls;
};

struct Duplicate {
  std::u16string name;
  int32_t line = 0;
  int32_t column = 0;
  int32_t first_line = 0;
};

// A call through a receiver, as the dump shows it.
struct Member {
  std::u16string receiver;
  std::u16string name;
  int32_t caller = -1;
  int32_t line = 0;
  int32_t column = 0;
};

struct Module {
  int32_t line_count = 0;
  std::vector<Token> tokens;
  std::vector<Method> methods;
  std::map<std::u16string, int32_t> method_by_name;  // folded name -> method
  std::set<size_t> header_names;  // tokens that name a header
  size_t readable_tokens = 0;     // tokens before an unclosed header
  std::vector<int32_t> warnings;
  std::optional<Duplicate> duplicate;
  std::vector<MethodCall> body_calls;
  std::vector<Member> member_calls;
};

// The method named `name` whatever its letter case, -1 for none.
int32_t FindMethod(const Module& module, std::u16string_view name) {
  auto found = module.method_by_name.find(Folded(name));
  return found == module.method_by_name.end() ? -1 : found->second;
}

// Headers and ends, in one walk over the tokens.
void FindMethods(Module& module) {
  const std::vector<Token>& tokens = module.tokens;
  std::map<std::u16string, bool> forward_exported;  // folded name -> Экспорт in a forward declaration
  int32_t open = -1;
  auto end_open_method = [&](int32_t line, bool recorded) {
    if (open < 0) return;
    module.methods[static_cast<size_t>(open)].info.end_line = line;
    module.methods[static_cast<size_t>(open)].info.end_recorded = recorded;
    open = -1;
  };
  module.readable_tokens = tokens.size();
  size_t k = 0;
  while (k < tokens.size()) {
    const Token& token = tokens[k];
    std::optional<Header> header = token.first_on_line ? ReadHeader(tokens, k) : std::nullopt;
    if (!header) {
      if (token.first_on_line && IsEndWord(token)) end_open_method(token.line, true);
      ++k;
      continue;
    }
    end_open_method(token.line - 1, false);
    const Token& name = tokens[header->name_token];
    if (!header->closed) {
      module.warnings.push_back(token.line);
      module.readable_tokens = k;
      break;
    }
    module.header_names.insert(header->name_token);
    if (header->forward) {
      forward_exported[Folded(name.text)] |= header->exported;
    } else {
      int32_t first = FindMethod(module, name.text);
      if (first >= 0) {
        module.duplicate = Duplicate{name.text, token.line, name.column,
                                     module.methods[static_cast<size_t>(first)].info.header_line};
        module.readable_tokens = k;
        break;
      }
      Method method;
      method.info.name = name.text;
      method.info.kind = header->function ? MethodKind::kFunction : MethodKind::kProcedure;
      method.info.header_line = token.line;
      method.info.name_column = name.column;
      method.info.exported = header->exported;
      method.info.async = header->async;
      module.methods.push_back(std::move(method));
      open = static_cast<int32_t>(module.methods.size()) - 1;
      module.method_by_name[Folded(name.text)] = open;
    }
    k = header->next;
  }
  if (open >= 0 && !module.duplicate && module.warnings.empty()) end_open_method(module.line_count - 1, false);
  for (Method& method : module.methods) {
    auto forward = forward_exported.find(Folded(method.info.name));
    if (forward != forward_exported.end() && forward->second) method.info.exported = true;
  }
}

// ------------------------------------------------------------------ calls

bool IsCloser(const Token& t) { return IsSymbol(t, u')') || IsSymbol(t, u']'); }
bool IsOpener(const Token& t) { return IsSymbol(t, u'(') || IsSymbol(t, u'['); }

// The opener on the closer's line that balances the closer at `j`,
// counting both kinds of bracket alike; -1 when there is none.
int64_t MatchingOpener(const std::vector<Token>& tokens, int64_t j) {
  int depth = 0;
  const int32_t line = tokens[static_cast<size_t>(j)].line;
  for (int64_t i = j; i >= 0 && tokens[static_cast<size_t>(i)].line == line; --i) {
    if (IsCloser(tokens[static_cast<size_t>(i)])) ++depth;
    if (IsOpener(tokens[static_cast<size_t>(i)]) && --depth == 0) return i;
  }
  return -1;
}

// Whether a part of a receiver chain ends at `j` on `line`: a word or a
// group balanced on that line.
bool ChainPartEndsAt(const std::vector<Token>& tokens, int64_t j, int32_t line) {
  if (j < 0 || tokens[static_cast<size_t>(j)].line != line) return false;
  const Token& t = tokens[static_cast<size_t>(j)];
  return t.kind == TokenKind::kWord || (IsCloser(t) && MatchingOpener(tokens, j) >= 0);
}

// The receiver before the "." at `dot`, on the call's line: words as
// written joined by ".", groups as "()" or "[]"; empty when no word or
// group stands before it. At most kMaxReceiverParts words and groups of at
// most kMaxReceiverUnits units in all: a longer chain keeps its last parts
// after "…". The parts are gathered from the right and joined once, so that
// a long chain costs its length, not its length squared.
std::u16string Receiver(const std::vector<Token>& tokens, int64_t dot) {
  std::vector<std::u16string_view> parts;  // right to left
  // The call's line: a "." that ended a line above has no receiver here.
  const int32_t line = tokens[static_cast<size_t>(dot) + 1].line;
  if (tokens[static_cast<size_t>(dot)].line != line) return u"";
  size_t count = 0, units = 0;
  bool cut = false;
  auto add = [&](std::u16string_view part) {
    if (count == kMaxReceiverParts || units + part.size() > kMaxReceiverUnits) {
      cut = true;
      return false;
    }
    parts.push_back(part);
    ++count;
    units += part.size();
    return true;
  };
  int64_t j = dot - 1;
  while (ChainPartEndsAt(tokens, j, line)) {
    const Token& t = tokens[static_cast<size_t>(j)];
    if (IsCloser(t)) {
      if (!add(IsSymbol(t, u')') ? u"()" : u"[]")) break;
      j = MatchingOpener(tokens, j) - 1;
      continue;
    }
    if (!add(t.text)) break;
    if (j < 2 || !IsSymbol(tokens[static_cast<size_t>(j - 1)], u'.') || !ChainPartEndsAt(tokens, j - 2, line)) break;
    parts.push_back(u".");
    j -= 2;
  }
  if (cut && !parts.empty() && parts.back() == u".") parts.pop_back();
  std::u16string receiver = cut ? u"…" : u"";
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) receiver += *part;
  return receiver;
}

int32_t MethodOwningLine(const Module& module, int32_t line) {
  for (size_t m = 0; m < module.methods.size(); ++m) {
    const MethodInfo& info = module.methods[m].info;
    if (info.header_line <= line && line <= info.end_line) return static_cast<int32_t>(m);
  }
  return -1;
}

// The method a word followed by "(" at token `k` calls, -1 for none; a
// member call is recorded on the way.
int32_t CalledMethod(Module& module, size_t k) {
  const std::vector<Token>& tokens = module.tokens;
  const Token& name = tokens[k];
  if (module.header_names.count(k)) return -1;
  if (k >= 1 && IsSymbol(tokens[k - 1], u'.')) {
    const bool this_object = k >= 2 && tokens[k - 2].line == tokens[k - 1].line && IsThisObjectWord(tokens[k - 2]) &&
                             !(k >= 3 && IsSymbol(tokens[k - 3], u'.'));
    if (this_object) return FindMethod(module, name.text);
    Member member;
    member.receiver = Receiver(tokens, static_cast<int64_t>(k) - 1);
    member.name = name.text;
    member.caller = MethodOwningLine(module, name.line);
    member.line = name.line;
    member.column = name.column;
    module.member_calls.push_back(std::move(member));
    return -1;
  }
  if (k >= 1 && IsNewWord(tokens[k - 1])) return -1;
  if (IsCallExcludedWord(name)) return -1;
  return FindMethod(module, name.text);
}

void FindCalls(Module& module) {
  const std::vector<Token>& tokens = module.tokens;
  for (size_t k = 0; k + 1 < module.readable_tokens; ++k) {
    const Token& name = tokens[k];
    if (name.kind != TokenKind::kWord || !IsSymbol(tokens[k + 1], u'(') || tokens[k + 1].line != name.line) continue;
    const int32_t callee = CalledMethod(module, k);
    if (callee < 0) continue;
    const MethodCall call{callee, name.line, name.column};
    const int32_t caller = MethodOwningLine(module, name.line);
    if (caller < 0) {
      module.body_calls.push_back(call);
    } else {
      module.methods[static_cast<size_t>(caller)].calls.push_back(call);
    }
  }
}

// ------------------------------------------------------------------- dump

std::string Text(std::u16string_view text) { return Utf16ToUtf8(text); }
std::string Number(int64_t value) { return std::to_string(value); }
std::string At(int32_t line, int32_t column) { return Number(line) + ":" + Number(column); }

std::string Hex(int32_t code) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08X", static_cast<uint32_t>(code));
  return buffer;
}

std::string MethodLine(int32_t index, const MethodInfo& info) {
  std::string out = "method " + Number(index) + " " + Text(info.name) +
                    (info.kind == MethodKind::kFunction ? " function" : " procedure");
  out += " header=" + Number(info.header_line) + " column=" + Number(info.name_column);
  out += " end=" + Number(info.end_line);
  if (info.end_recorded) out += " recorded";
  if (info.exported) out += " export";
  if (info.async) out += " async";
  return out + "\n";
}

std::string CalleeName(const std::vector<MethodInfo>& methods, int32_t callee) {
  if (callee < 0 || static_cast<size_t>(callee) >= methods.size()) return "?" + Number(callee);
  return Text(methods[static_cast<size_t>(callee)].name);
}

std::string MemberLine(std::u16string_view receiver, std::u16string_view name, int32_t caller, int32_t line,
                       int32_t column) {
  return "member " + Text(receiver) + "|" + Text(name) + " from=" + Number(caller) + " " + At(line, column) + "\n";
}

std::string WarningLine(int32_t line) {
  return "warning " + Number(line) + ": the parameter list of the header on line " + Number(line + 1) +
         " is never closed\n";
}

std::string DuplicateLines(const Duplicate& duplicate) {
  std::string out = "duplicate " + Text(duplicate.name) + " line=" + Number(duplicate.line) +
                    " column=" + Number(duplicate.column) + " first=" + Number(duplicate.first_line) +
                    " code=" + Hex(Status::kDuplicateKey) + "\n";
  return out + "message Процедура или функция «" + Text(duplicate.name) + "» объявлена повторно в строке " +
         Number(duplicate.line + 1) + "\n";
}

std::string DumpModule(const Module& module) {
  std::string out = "lines=" + Number(module.line_count) + " rules=language\n";
  std::vector<MethodInfo> infos;
  for (const Method& method : module.methods) infos.push_back(method.info);
  // Callers of each method: one per call, calls taken method by method.
  std::vector<std::vector<int32_t>> callers(module.methods.size());
  for (size_t m = 0; m < module.methods.size(); ++m) {
    for (const MethodCall& call : module.methods[m].calls) {
      callers[static_cast<size_t>(call.callee)].push_back(static_cast<int32_t>(m));
    }
  }
  for (size_t m = 0; m < module.methods.size(); ++m) {
    out += MethodLine(static_cast<int32_t>(m), infos[m]);
    for (const MethodCall& call : module.methods[m].calls) {
      out += "  call " + CalleeName(infos, call.callee) + " " + At(call.line, call.column) + "\n";
    }
    if (callers[m].empty()) continue;
    out += "  callers";
    for (int32_t caller : callers[m]) out += " " + Number(caller);
    out += "\n";
  }
  for (const MethodCall& call : module.body_calls) {
    out += "body " + CalleeName(infos, call.callee) + " " + At(call.line, call.column) + "\n";
  }
  for (const Member& member : module.member_calls) {
    out += MemberLine(member.receiver, member.name, member.caller, member.line, member.column);
  }
  for (int32_t line : module.warnings) out += WarningLine(line);
  if (module.duplicate) out += DuplicateLines(*module.duplicate);
  return out;
}

}  // namespace

std::vector<std::u16string> ReferenceSplitLines(std::u16string_view text) {
  std::vector<std::u16string> lines;
  std::u16string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') {
      line.push_back(text[i]);
      continue;
    }
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::string ReferenceLanguageDump(const std::vector<std::u16string>& lines) {
  Module module;
  module.line_count = static_cast<int32_t>(lines.size());
  module.tokens = Tokenize(lines);
  FindMethods(module);
  if (!module.duplicate) FindCalls(module);
  return DumpModule(module);
}

std::string LanguageDump(const ModuleAnalysis& analysis) {
  std::string out = "lines=" + Number(analysis.line_count) +
                    (analysis.rules == RuleSet::kLanguage ? " rules=language\n" : " rules=panel\n");
  for (int32_t m = 0; m < analysis.MethodCount(); ++m) {
    out += MethodLine(m, analysis.methods[static_cast<size_t>(m)]);
    for (const MethodCall& call : analysis.CallsFrom(m)) {
      out += "  call " + CalleeName(analysis.methods, call.callee) + " " + At(call.line, call.column) + "\n";
    }
    std::span<const int32_t> calls_to = analysis.CallsTo(m);
    if (calls_to.empty()) continue;
    out += "  callers";
    for (int32_t call : calls_to) out += " " + Number(analysis.CallerOf(call));
    out += "\n";
  }
  for (const MethodCall& call : analysis.body_calls) {
    out += "body " + CalleeName(analysis.methods, call.callee) + " " + At(call.line, call.column) + "\n";
  }
  for (const MemberCall& member : analysis.member_calls) {
    out += MemberLine(analysis.ReceiverOf(member), analysis.NameOf(member), member.caller, member.line, member.column);
  }
  for (const AnalysisWarning& warning : analysis.warnings) {
    out += "warning " + Number(warning.line) + ": " + warning.message + "\n";
  }
  if (!analysis.error) return out;
  const AnalysisError& error = *analysis.error;
  if (error.kind != AnalysisError::Kind::kDuplicateMethod) {
    return out + "error line=" + Number(error.line) + " code=" + Hex(error.status.code()) + " " +
           error.status.message() + "\n";
  }
  out += "duplicate " + Text(error.name) + " line=" + Number(error.line) + " column=" + Number(error.name_column) +
         " first=" + Number(error.first_line) + " code=" + Hex(error.status.code()) + "\n";
  return out + "message " + error.status.message() + "\n";
}

std::optional<std::string> FastLanguageDump(const std::vector<std::u16string>& lines) {
  static const ModuleAnalyzer analyzer;
  TextLines source = TextLines::FromLines(lines);
  ModuleAnalysis result;
  const Status status = analyzer.Analyze(source, result, RuleSet::kLanguage);
  // Analyze returns the error it records: a mismatch shows in the dump.
  const int32_t recorded = result.error ? result.error->status.code() : Status::kOk;
  if (status.code() != recorded) return LanguageDump(result) + "returned code=" + Hex(status.code()) + "\n";
  return LanguageDump(result);
}

}  // namespace ramulet
