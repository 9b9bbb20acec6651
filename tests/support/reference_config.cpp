#include "tests/support/reference_config.h"

#include <algorithm>
#include <optional>

#include "platform/text.h"

namespace ramulet {

namespace {

bool IsLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || (c >= u'А' && c <= u'я') || c == u'Ё' ||
         c == u'ё';
}
bool IsWordChar(char16_t c) { return IsLetter(c) || (c >= u'0' && c <= u'9'); }

std::u16string Upper(std::u16string_view text) {
  std::u16string upper(text);
  for (char16_t& c : upper) c = ToUpper(c);
  return upper;
}

bool OneOf(const std::u16string& upper, std::initializer_list<const char16_t*> words) {
  for (const char16_t* word : words) {
    if (upper == Upper(word)) return true;
  }
  return false;
}

bool IsIdentifierText(std::u16string_view text) {
  return !text.empty() && IsLetter(text[0]) && std::all_of(text.begin(), text.end(), IsWordChar);
}

enum class T { kBoundary, kName, kNumber, kString, kOpenString, kOther };

struct Token {
  T kind = T::kBoundary;
  std::u16string text;   // as written (a string without its quotes)
  std::u16string upper;  // names only
  int line = 0;
  int column = 0;
  int method = -1;
  bool Is(char16_t c) const { return kind == T::kOther && text.size() == 1 && text[0] == c; }
  bool EndsPart() const { return Is(u'.') || Is(u')') || Is(u']'); }
};

// Every token of the module, headers left out, with a boundary where a
// statement must begin: a directive line, a method's start and end, after
// a header.
std::vector<Token> Tokenize(const std::u16string& text, const ModuleAnalysis& analysis,
                            std::vector<std::vector<std::u16string>>& parameters) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find(u'\n', start);
    std::u16string line = text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    lines.push_back(line);
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  parameters.assign(analysis.methods.size(), {});
  std::vector<Token> tokens;
  auto boundary = [&] { tokens.push_back(Token()); };
  int method = -1;
  bool open_string = false;
  int header_depth = -1;  // -1: no header; 0: before its "("
  bool expect_parameter = false;
  for (int l = 0; l < static_cast<int>(lines.size()); ++l) {
    const std::u16string& line = lines[static_cast<size_t>(l)];
    if (method >= 0 && l > analysis.methods[static_cast<size_t>(method)].end_line) {
      boundary();
      method = -1;
    }
    for (size_t m = 0; m < analysis.methods.size(); ++m) {
      if (analysis.methods[m].header_line == l) {
        boundary();
        method = static_cast<int>(m);
        header_depth = 0;
      }
    }
    size_t i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (open_string) {
      if (i == line.size() || line.compare(i, 2, u"//") == 0) continue;
      if (line[i] == u'#' || line[i] == u'&') {
        open_string = false;
        boundary();
        continue;
      }
      open_string = false;
      if (line[i] == u'|') {
        size_t k = i + 1;
        for (;;) {
          k = line.find(u'"', k);
          if (k == std::u16string::npos) break;
          if (k + 1 < line.size() && line[k + 1] == u'"') {
            k += 2;
            continue;
          }
          break;
        }
        if (k == std::u16string::npos) {
          open_string = true;
          continue;
        }
        i = k + 1;
      }
    } else if (i < line.size() && (line[i] == u'#' || line[i] == u'&')) {
      boundary();
      continue;
    }
    while (i < line.size()) {
      const char16_t c = line[i];
      if (c == u' ' || c == u'\t') {
        ++i;
        continue;
      }
      if (line.compare(i, 2, u"//") == 0) break;
      Token token;
      token.line = l;
      token.column = static_cast<int>(i);
      token.method = method;
      size_t end = i + 1;
      if (IsWordChar(c)) {
        while (end < line.size() && IsWordChar(line[end])) ++end;
        token.kind = IsLetter(c) ? T::kName : T::kNumber;
        token.text = line.substr(i, end - i);
        token.upper = Upper(token.text);
      } else if (c == u'"') {
        token.kind = T::kOpenString;
        while (end < line.size()) {
          if (line[end] == u'"') {
            if (end + 1 < line.size() && line[end + 1] == u'"') {
              end += 2;
              continue;
            }
            token.kind = T::kString;
            ++end;
            break;
          }
          ++end;
        }
        if (token.kind == T::kOpenString) open_string = true;
        token.text = line.substr(i + 1, token.kind == T::kString ? end - i - 2 : end - i - 1);
      } else if (c == u'\'') {
        const size_t close = line.find(u'\'', i + 1);
        end = close == std::u16string::npos ? line.size() : close + 1;
        token.kind = T::kNumber;
      } else {
        token.kind = T::kOther;
        token.text = std::u16string(1, c);
      }
      i = end;
      if (header_depth >= 0) {  // the header: only its parameters matter
        if (header_depth == 0) {
          if (token.Is(u'(')) header_depth = 1, expect_parameter = true;
          continue;
        }
        if (token.kind == T::kName) {
          if (expect_parameter && !OneOf(token.upper, {u"Знач", u"Val"})) {
            parameters[static_cast<size_t>(method)].push_back(token.upper);
            expect_parameter = false;
          }
        } else if (token.Is(u'(') || token.Is(u'[')) {
          ++header_depth;
        } else if (token.Is(u')') || token.Is(u']')) {
          if (--header_depth == 0) {
            header_depth = -1;
            boundary();
          }
        } else {
          expect_parameter = token.Is(u',') && header_depth == 1;
        }
        continue;
      }
      tokens.push_back(token);
    }
  }
  boundary();
  return tokens;
}

const std::initializer_list<const char16_t*> kStatementWords = {
    u"Тогда", u"Иначе", u"Цикл", u"Попытка", u"Исключение", u"КонецЕсли", u"КонецЦикла", u"КонецПопытки",
    u"КонецПроцедуры", u"КонецФункции", u"Экспорт", u"Далее", u"Then", u"Else", u"Do", u"Try", u"Except",
    u"EndIf", u"EndDo", u"EndTry", u"EndProcedure", u"EndFunction", u"Export", u"Forward"};

const std::pair<const char16_t*, const char*> kCollections[] = {
    {u"Справочники", "Catalog"}, {u"Catalogs", "Catalog"}, {u"Документы", "Document"}, {u"Documents", "Document"},
    {u"РегистрыСведений", "InformationRegister"}, {u"InformationRegisters", "InformationRegister"},
    {u"РегистрыНакопления", "AccumulationRegister"}, {u"AccumulationRegisters", "AccumulationRegister"},
    {u"РегистрыБухгалтерии", "AccountingRegister"}, {u"AccountingRegisters", "AccountingRegister"},
    {u"РегистрыРасчета", "CalculationRegister"}, {u"CalculationRegisters", "CalculationRegister"},
    {u"Обработки", "DataProcessor"}, {u"DataProcessors", "DataProcessor"}, {u"Отчеты", "Report"},
    {u"Reports", "Report"}, {u"Перечисления", "Enum"}, {u"Enums", "Enum"},
    {u"ПланыВидовХарактеристик", "ChartOfCharacteristicTypes"},
    {u"ChartsOfCharacteristicTypes", "ChartOfCharacteristicTypes"}, {u"ПланыСчетов", "ChartOfAccounts"},
    {u"ChartsOfAccounts", "ChartOfAccounts"}, {u"ПланыВидовРасчета", "ChartOfCalculationTypes"},
    {u"ChartsOfCalculationTypes", "ChartOfCalculationTypes"}, {u"БизнесПроцессы", "BusinessProcess"},
    {u"BusinessProcesses", "BusinessProcess"}, {u"Задачи", "Task"}, {u"Tasks", "Task"},
    {u"ПланыОбмена", "ExchangePlan"}, {u"ExchangePlans", "ExchangePlan"},
    {u"ЖурналыДокументов", "DocumentJournal"}, {u"DocumentJournals", "DocumentJournal"},
    {u"Константы", "Constant"}, {u"Constants", "Constant"}, {u"ХранилищаНастроек", "SettingsStorage"},
    {u"SettingsStorages", "SettingsStorage"}};

const char* CollectionKindOf(const std::u16string& upper) {
  for (const auto& [word, kind] : kCollections) {
    if (upper == Upper(word)) return kind;
  }
  return nullptr;
}

const std::initializer_list<const char16_t*> kNeverCalled = {
    u"Если", u"Тогда", u"ИначеЕсли", u"Иначе", u"КонецЕсли", u"Для", u"Каждого", u"Из", u"По", u"Пока", u"Цикл",
    u"КонецЦикла", u"Процедура", u"Функция", u"КонецПроцедуры", u"КонецФункции", u"Перем", u"Перейти", u"Возврат",
    u"Продолжить", u"Прервать", u"И", u"Или", u"Не", u"Попытка", u"Исключение", u"ВызватьИсключение",
    u"КонецПопытки", u"Новый", u"Выполнить", u"Истина", u"Ложь", u"Неопределено", u"Экспорт", u"Знач", u"Далее",
    u"Асинх", u"Ждать", u"ДобавитьОбработчик", u"УдалитьОбработчик", u"If", u"Then", u"ElsIf", u"Else", u"EndIf",
    u"For", u"Each", u"In", u"To", u"While", u"Do", u"EndDo", u"Procedure", u"Function", u"EndProcedure",
    u"EndFunction", u"Var", u"Goto", u"Return", u"Continue", u"Break", u"And", u"Or", u"Not", u"Try", u"Except",
    u"Raise", u"EndTry", u"New", u"Execute", u"True", u"False", u"Undefined", u"Null", u"Export", u"Val",
    u"Forward", u"Async", u"Await", u"AddHandler", u"RemoveHandler"};

}  // namespace

// The plain resolution itself, over the whole configuration.
class PlainResolver {
 public:
  PlainResolver(const std::vector<FixtureModule>& modules, const Configuration& c) : sources_(modules), c_(c) {}
  ReferenceGraph Run();

 private:
  struct Found {
    int line, column;
    std::string text;
    bool unresolved;
  };
  struct Binding {
    size_t close;  // the ")" of ОбщийМодуль("N")
    std::u16string variable;
    std::optional<std::u16string> accessor;  // nullopt: the bare form; "" none usable
    std::u16string module;
  };

  std::string Name(int module, int method) const {
    const ConfigModule& m = c_.modules[static_cast<size_t>(module)];
    return m.name + "." + (method < 0 ? "<body>" : Utf16ToUtf8(m.analysis.methods[static_cast<size_t>(method)].name));
  }
  std::string Callee(int module, int method) const {
    if (module < 0) return "<none>";
    const ConfigModule& m = c_.modules[static_cast<size_t>(module)];
    return m.name + "." + (method < 0 ? "?" : Utf16ToUtf8(m.analysis.methods[static_cast<size_t>(method)].name));
  }
  int MethodOf(int module, const std::u16string& upper) const {
    const auto& methods = c_.modules[static_cast<size_t>(module)].analysis.methods;
    for (size_t m = 0; m < methods.size(); ++m) {
      if (Upper(methods[m].name) == upper) return static_cast<int>(m);
    }
    return -1;
  }
  bool Exported(int module, int method) const {
    return c_.modules[static_cast<size_t>(module)].analysis.methods[static_cast<size_t>(method)].exported;
  }
  int CommonModule(const std::u16string& upper) const {
    for (size_t i = 0; i < c_.modules.size(); ++i) {
      const ConfigModule& m = c_.modules[i];
      if (m.kind == "CommonModule" && Upper(Utf8ToUtf16(m.name.substr(m.name.rfind('.') + 1))) == upper)
        return static_cast<int>(i);
    }
    return -1;
  }
  int Manager(const std::string& kind, const std::u16string& object) const {
    for (size_t i = 0; i < c_.modules.size(); ++i) {
      const ConfigModule& m = c_.modules[i];
      if (m.kind == "ManagerModule" && Upper(Utf8ToUtf16(m.name)) == Upper(Utf8ToUtf16(kind + ".")) + object +
                                                                          u".MANAGERMODULE")
        return static_cast<int>(i);
    }
    return -1;
  }
  std::vector<std::pair<int, int>> GlobalExports(const std::u16string& upper) const {
    std::vector<std::pair<int, int>> found;
    for (size_t i = 0; i < c_.modules.size(); ++i) {
      const ConfigModule& m = c_.modules[i];
      if (!m.global && m.kind != "GlobalModule") continue;
      const int method = MethodOf(static_cast<int>(i), upper);
      if (method >= 0 && Exported(static_cast<int>(i), method)) found.emplace_back(static_cast<int>(i), method);
    }
    return found;
  }

  void Module(int module);
  bool Local(int method, const std::u16string& upper) const;
  bool Declared(int method, const std::u16string& upper) const;
  void Edge(const Token& at, int shift, int to_module, int to_method, const char* kind, const std::u16string& via,
            const std::u16string& target = u"");
  void Missing(const Token& at, int shift, const std::u16string& text);
  void Member(const Token& name, int target, const char* exported_kind, const std::u16string& via);
  void Bound(const Token& name, const Binding& binding, const std::u16string& via);
  std::optional<Binding> AccessorAt(size_t open);  // the "(" after ОбщийМодуль
  bool UsableAccessor(const Binding& binding, int method) const;

  const std::vector<FixtureModule>& sources_;
  const Configuration& c_;
  bool old_ = false;
  int module_ = -1;
  std::vector<Token> tokens_;
  std::vector<std::vector<std::u16string>> parameters_;
  std::vector<std::pair<int, std::u16string>> declared_, assigned_;
  std::vector<Found> edges_, unresolved_;
};

bool PlainResolver::Declared(int method, const std::u16string& upper) const {
  if (method >= 0) {
    const auto& p = parameters_[static_cast<size_t>(method)];
    if (std::find(p.begin(), p.end(), upper) != p.end()) return true;
  }
  return std::find(declared_.begin(), declared_.end(), std::make_pair(method, upper)) != declared_.end();
}

bool PlainResolver::Local(int method, const std::u16string& upper) const {
  return Declared(method, upper) || Declared(-2, upper) ||
         std::find(assigned_.begin(), assigned_.end(), std::make_pair(method, upper)) != assigned_.end();
}

void PlainResolver::Edge(const Token& at, int shift, int to_module, int to_method, const char* kind,
                         const std::u16string& via, const std::u16string& target) {
  std::string line = Name(module_, at.method) + " " + std::to_string(at.line) + ":" + std::to_string(at.column + shift) +
                     " -> " + Callee(to_module, to_method) + " " + kind;
  if (!via.empty()) line += " via=" + Utf16ToUtf8(via);
  if (!target.empty()) line += " target=" + Utf16ToUtf8(target);
  edges_.push_back(Found{at.line, at.column + shift, line, false});
}

void PlainResolver::Missing(const Token& at, int shift, const std::u16string& text) {
  unresolved_.push_back(Found{at.line, at.column + shift,
                              Name(module_, at.method) + " " + std::to_string(at.line) + ":" +
                                  std::to_string(at.column + shift) + " missing-handler " + Utf16ToUtf8(text),
                              true});
}

void PlainResolver::Member(const Token& name, int target, const char* exported_kind, const std::u16string& via) {
  const int method = MethodOf(target, name.upper);
  if (method < 0) {
    Edge(name, 0, target, -1, "unknown-member", via, name.text);
  } else {
    Edge(name, 0, target, method, Exported(target, method) ? exported_kind : "inaccessible", via);
  }
}

void PlainResolver::Bound(const Token& name, const Binding& binding, const std::u16string& via) {
  const size_t dot = binding.module.find(u'.');
  if (dot != std::u16string::npos) {
    const char* kind = CollectionKindOf(Upper(binding.module.substr(0, dot)));
    const std::u16string object = binding.module.substr(dot + 1);
    if (kind != nullptr && IsIdentifierText(binding.module.substr(0, dot)) && IsIdentifierText(object)) {
      const int manager = Manager(kind, Upper(object));
      if (manager < 0) {
        Edge(name, 0, -1, -1, "absent-module", via, binding.module);
      } else {
        Member(name, manager, "manager", via);
      }
      return;
    }
  }
  const int common = CommonModule(Upper(binding.module));
  if (common < 0) {
    Edge(name, 0, -1, -1, "absent-module", via, binding.module);
  } else {
    Member(name, common, "common-var", via);
  }
}

// ОбщийМодуль ( "N" ) with its accessor, the "(" at `open`.
std::optional<PlainResolver::Binding> PlainResolver::AccessorAt(size_t open) {
  if (open < 1 || open + 2 >= tokens_.size()) return std::nullopt;
  const Token& word = tokens_[open - 1];
  if (word.kind != T::kName || !OneOf(word.upper, {u"ОбщийМодуль", u"CommonModule"})) return std::nullopt;
  if (tokens_[open + 1].kind != T::kString || !tokens_[open + 2].Is(u')')) return std::nullopt;
  Binding binding;
  binding.close = open + 2;
  binding.module = tokens_[open + 1].text;
  const Token& before = open >= 2 ? tokens_[open - 2] : Token();
  if (before.Is(u'.')) {
    const bool single = open >= 3 && tokens_[open - 3].kind == T::kName && !(open >= 4 && tokens_[open - 4].EndsPart());
    binding.accessor = single ? tokens_[open - 3].upper : u"";
  } else if (before.kind == T::kName && OneOf(before.upper, {u"Новый", u"New"})) {
    return std::nullopt;
  }
  return binding;
}

bool PlainResolver::UsableAccessor(const Binding& binding, int method) const {
  if (!binding.accessor) return true;
  return !binding.accessor->empty() && !Local(method, *binding.accessor) && CommonModule(*binding.accessor) >= 0;
}

void PlainResolver::Module(int module) {
  module_ = module;
  const ConfigModule& m = c_.modules[static_cast<size_t>(module)];
  edges_.clear();
  unresolved_.clear();
  if (!m.error.ok() || m.external_text) return;
  const ModuleAnalysis& analysis = m.analysis;
  for (int method = 0; method < analysis.MethodCount(); ++method) {
    for (const MethodCall& call : analysis.CallsFrom(method)) {
      edges_.push_back(Found{call.line, call.column,
                             Name(module, method) + " " + std::to_string(call.line) + ":" + std::to_string(call.column) +
                                 " -> " + Callee(module, call.callee) + " in-module",
                             false});
    }
  }
  for (const MethodCall& call : analysis.body_calls) {
    edges_.push_back(Found{call.line, call.column,
                           Name(module, -1) + " " + std::to_string(call.line) + ":" + std::to_string(call.column) +
                               " -> " + Callee(module, call.callee) + " in-module",
                           false});
  }
  tokens_ = Tokenize(Utf8ToUtf16(sources_[static_cast<size_t>(module)].text), analysis, parameters_);
  declared_.clear();
  assigned_.clear();
  std::vector<Binding> bindings;
  // Declarations, assignments and bindings first: locality looks at the whole method.
  for (size_t i = 0; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    if (t.kind == T::kName && OneOf(t.upper, {u"Перем", u"Var"})) {
      for (size_t k = i + 1; k < tokens_.size() && tokens_[k].kind != T::kBoundary && !tokens_[k].Is(u';'); ++k) {
        if (tokens_[k].kind == T::kName && (k == i + 1 || tokens_[k - 1].Is(u',')))
          declared_.emplace_back(t.method < 0 ? -2 : t.method, tokens_[k].upper);
      }
    }
    if (t.kind == T::kName && OneOf(t.upper, {u"Для", u"For"}) && i + 1 < tokens_.size()) {
      size_t k = i + 1;
      if (tokens_[k].kind == T::kName && OneOf(tokens_[k].upper, {u"Каждого", u"Each"})) ++k;
      if (k < tokens_.size() && tokens_[k].kind == T::kName) assigned_.emplace_back(t.method, tokens_[k].upper);
    }
    if (t.Is(u'=') && i >= 1 && tokens_[i - 1].kind == T::kName) {
      const Token& before = i >= 2 ? tokens_[i - 2] : Token();
      const bool start = before.kind == T::kBoundary || before.Is(u';') || before.Is(u':') ||
                         (before.kind == T::kName && OneOf(before.upper, kStatementWords));
      if (!start) continue;
      assigned_.emplace_back(t.method, tokens_[i - 1].upper);
      // `V = [A.]ОбщийМодуль("N")` ending there.
      const size_t open = i + 1 < tokens_.size() && tokens_[i + 1].kind == T::kName && i + 3 < tokens_.size() &&
                                  tokens_[i + 2].Is(u'.')
                              ? i + 4
                              : i + 2;
      if (open >= tokens_.size() || !tokens_[open].Is(u'(')) continue;
      std::optional<Binding> binding = AccessorAt(open);
      if (!binding || (open == i + 4) != binding->accessor.has_value()) continue;
      const Token& after = binding->close + 1 < tokens_.size() ? tokens_[binding->close + 1] : Token();
      if (after.Is(u'.') || after.Is(u'(') || after.Is(u'[')) continue;
      binding->variable = tokens_[i - 1].upper;
      bindings.push_back(*binding);
    }
  }
  auto last_binding = [&](int method, const std::u16string& variable, size_t before) -> std::optional<Binding> {
    std::optional<Binding> found;
    bool any = false;
    for (const Binding& b : bindings) {
      if (tokens_[b.close].method != method || b.variable != variable || b.close >= before) continue;
      any = true;
      if (UsableAccessor(b, method)) found = b;
    }
    if (!found && any) return Binding{};  // bound, through nothing usable
    return found;
  };
  for (size_t j = 0; j < tokens_.size(); ++j) {
    const Token& t = tokens_[j];
    if (t.kind == T::kString && !old_) {
      const size_t dot = t.text.find(u'.');
      if (dot != std::u16string::npos && IsIdentifierText(t.text.substr(0, dot)) && IsIdentifierText(t.text.substr(dot + 1))) {
        const int common = CommonModule(Upper(t.text.substr(0, dot)));
        const int method = common < 0 ? -1 : MethodOf(common, Upper(t.text.substr(dot + 1)));
        if (method >= 0 && Exported(common, method)) Edge(t, 1, common, method, "by-name", u"string");
      }
    }
    if (!t.Is(u'(') || j == 0 || tokens_[j - 1].kind != T::kName) continue;
    const Token& name = tokens_[j - 1];
    const Token& before = j >= 2 ? tokens_[j - 2] : Token();
    const int method = name.method;
    if (before.Is(u'.')) {
      if (old_) continue;
      const Token& receiver = j >= 3 ? tokens_[j - 3] : Token();
      const Token& before_receiver = j >= 4 ? tokens_[j - 4] : Token();
      if (receiver.Is(u')')) {
        size_t depth = 0, k = j - 3;
        for (;; --k) {
          if (tokens_[k].Is(u')')) ++depth;
          if (tokens_[k].Is(u'(') && --depth == 0) break;
          if (k == 0) break;
        }
        std::optional<Binding> binding = tokens_[k].Is(u'(') ? AccessorAt(k) : std::nullopt;
        if (binding && binding->close == j - 3 && UsableAccessor(*binding, method)) {
          std::u16string via;
          size_t first = binding->accessor ? k - 3 : k - 1;
          if (binding->accessor && binding->accessor->empty()) continue;
          // as written on its line
          for (size_t q = first; q <= binding->close; ++q) {
            if (tokens_[q].kind == T::kString) via += u"\"" + tokens_[q].text + u"\"";
            else via += tokens_[q].text;
          }
          Bound(name, *binding, via);
        }
        continue;
      }
      if (receiver.kind != T::kName) continue;
      if (before_receiver.Is(u'.')) {
        const Token& collection = j >= 5 ? tokens_[j - 5] : Token();
        const Token& before_collection = j >= 6 ? tokens_[j - 6] : Token();
        if (collection.kind != T::kName || before_collection.EndsPart()) continue;
        const char* kind = CollectionKindOf(collection.upper);
        if (kind == nullptr || Local(method, collection.upper)) continue;
        const int manager = Manager(kind, receiver.upper);
        const int target = manager < 0 ? -1 : MethodOf(manager, name.upper);
        if (target >= 0 && Exported(manager, target))
          Edge(name, 0, manager, target, "manager", collection.text + u"." + receiver.text);
        continue;
      }
      if (before_receiver.EndsPart()) continue;
      if (OneOf(receiver.upper, {u"ЭтотОбъект", u"ThisObject", u"ЭтаФорма", u"ThisForm"})) continue;
      std::optional<Binding> binding = last_binding(method, receiver.upper, j);
      if (!binding && method >= 0 && Declared(-2, receiver.upper) && !Declared(method, receiver.upper))
        binding = last_binding(-1, receiver.upper, tokens_.size());
      if (binding) {
        if (!binding->module.empty()) Bound(name, *binding, receiver.text);
        continue;
      }
      if (Local(method, receiver.upper)) continue;
      const int common = CommonModule(receiver.upper);
      if (common >= 0) Member(name, common, "common", receiver.text);
      continue;
    }
    if (before.kind == T::kName && OneOf(before.upper, {u"Новый", u"New"})) {
      if (old_ || !OneOf(name.upper, {u"ОписаниеОповещения", u"NotifyDescription"}) || j + 4 >= tokens_.size()) continue;
      const Token& handler = tokens_[j + 1];
      const Token& owner = tokens_[j + 3];
      if (handler.kind != T::kString || !IsIdentifierText(handler.text) || !tokens_[j + 2].Is(u',') ||
          owner.kind != T::kName || !(tokens_[j + 4].Is(u',') || tokens_[j + 4].Is(u')')))
        continue;
      int target = module;
      const bool own = OneOf(owner.upper, {u"ЭтотОбъект", u"ThisObject", u"ЭтаФорма", u"ThisForm"});
      if (!own) {
        if (Local(method, owner.upper)) continue;
        target = CommonModule(owner.upper);
        if (target < 0) continue;
      }
      const int found = MethodOf(target, Upper(handler.text));
      if (found >= 0 && (own || Exported(target, found))) {
        Edge(handler, 1, target, found, "by-name", name.text);
      } else {
        Missing(handler, 1, own ? handler.text : owner.text + u"." + handler.text);
      }
      continue;
    }
    if (OneOf(name.upper, {u"Выполнить", u"Execute", u"Вычислить", u"Eval"})) {
      unresolved_.push_back(Found{name.line, name.column,
                                  Name(module, method) + " " + std::to_string(name.line) + ":" +
                                      std::to_string(name.column) + " dynamic " + Utf16ToUtf8(name.text),
                                  true});
      continue;
    }
    if (OneOf(name.upper, {u"ПодключитьОбработчикОжидания", u"ОтключитьОбработчикОжидания", u"AttachIdleHandler",
                           u"DetachIdleHandler"})) {
      if (old_ || j + 1 >= tokens_.size()) continue;
      const Token& handler = tokens_[j + 1];
      if (handler.kind != T::kString || !IsIdentifierText(handler.text)) continue;
      if (m.kind == "FormModule") {
        const int found = MethodOf(module, Upper(handler.text));
        if (found >= 0) {
          Edge(handler, 1, module, found, "by-name", name.text);
        } else {
          Missing(handler, 1, handler.text);
        }
      } else {
        const auto exports = GlobalExports(Upper(handler.text));
        for (const auto& [to, to_method] : exports) Edge(handler, 1, to, to_method, "by-name", name.text);
        if (exports.empty()) Missing(handler, 1, handler.text);
      }
      continue;
    }
    if (OneOf(name.upper, kNeverCalled) || MethodOf(module, name.upper) >= 0) continue;
    const auto exports = GlobalExports(name.upper);
    for (const auto& [to, to_method] : exports)
      Edge(name, 0, to, to_method, exports.size() > 1 ? "ambiguous" : "global", u"");
  }
}

ReferenceGraph PlainResolver::Run() {
  old_ = IsOldPlatform(c_.layout);
  ReferenceGraph graph;
  auto by_place = [](const Found& a, const Found& b) { return std::tie(a.line, a.column) < std::tie(b.line, b.column); };
  for (size_t module = 0; module < c_.modules.size(); ++module) {
    Module(static_cast<int>(module));
    std::stable_sort(edges_.begin(), edges_.end(), by_place);
    std::stable_sort(unresolved_.begin(), unresolved_.end(), by_place);
    for (const Found& f : edges_) graph.edges.push_back(f.text);
    for (const Found& f : unresolved_) graph.unresolved.push_back(f.text);
  }
  return graph;
}

ReferenceGraph ResolvePlainly(const std::vector<FixtureModule>& modules, const Configuration& analysed) {
  PlainResolver resolver(modules, analysed);
  return resolver.Run();
}

}  // namespace ramulet
