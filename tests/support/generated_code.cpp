#include "tests/support/generated_code.h"

#include <algorithm>
#include <array>

namespace ramulet::generated {

namespace {

constexpr std::array<const char*, 30> kVerbs = {
    "Заполнить",   "Рассчитать",  "Проверить",    "Записать",      "Получить",      "Сформировать",
    "Обработать",  "Обновить",    "Загрузить",    "Распределить",  "Очистить",      "Установить",
    "Выгрузить",   "Подготовить", "Сопоставить",  "Скопировать",   "Отразить",      "Зарегистрировать",
    "Вычислить",   "Отобрать",    "Упорядочить",  "Согласовать",   "Перенести",     "Свернуть",
    "Найти",       "Добавить",    "Удалить",      "Сравнить",      "Разместить",    "Округлить"};
constexpr std::array<const char*, 30> kNouns = {
    "Товары",       "Цены",          "Скидки",      "Остатки",      "Движения",     "Итоги",
    "Услуги",       "Партии",        "Резервы",     "Реквизиты",    "Настройки",    "Права",
    "Задания",      "Контакты",      "Адреса",      "Файлы",        "Версии",       "Свойства",
    "Отчеты",       "Параметры",     "Организации", "Подразделения", "Валюты",      "Курсы",
    "Налоги",       "Счета",         "Договоры",    "Платежи",      "Заказы",       "Поставки"};
// Nouns of global modules' exports only, so that no other method shares
// their names.
constexpr std::array<const char*, 20> kGlobalNouns = {
    "СообщениеПользователю", "ФормуНастроек",   "ОкноОжидания",     "ПанельРазделов",  "СписокЗадач",
    "ИндикаторХода",         "ЖурналСобытий",   "ПодсказкуДня",     "ФормуВыбора",     "СостояниеСеанса",
    "РабочийСтол",           "ИсториюДействий", "ПредупреждениеОСроке", "ОкноСправки", "ПанельИнструментов",
    "СписокИзбранного",      "ФормуПоиска",     "ОповещениеОЗаписи", "ЗаставкуПрограммы", "СводкуДня"};
constexpr std::array<const char*, 12> kParameters = {
    "Документ", "Склад", "Контрагент", "Номенклатура", "Период", "Организация",
    "Параметры", "Отказ", "ДанныеЗаполнения", "Таблица", "Настройки", "Результат"};
constexpr std::array<const char*, 12> kVariables = {
    "Сумма", "Количество", "Цена", "Остаток", "Скидка", "Итог",
    "СуммаНДС", "КоличествоМест", "ЦенаЗакупки", "ОстатокНаСкладе", "СтавкаНДС", "ИтогПоДокументу"};
constexpr std::array<const char*, 3 * 20> kObjectWords = {
    // catalogs
    "Номенклатура", "Контрагенты", "Склады", "Организации", "Валюты", "Пользователи", "Банки", "Сотрудники",
    "ДоговорыКонтрагентов", "ЕдиницыИзмерения", "Подразделения", "СтатьиЗатрат", "ВидыЦен", "Проекты",
    "КассыККМ", "Файлы", "ФизическиеЛица", "Должности", "Марки", "Производители",
    // documents
    "РеализацияТоваров", "ПоступлениеТоваров", "СчетНаОплату", "ЗаказПокупателя", "ЗаказПоставщику",
    "ПеремещениеТоваров", "СписаниеТоваров", "ОприходованиеТоваров", "ПлатежноеПоручение", "ПриходныйОрдер",
    "РасходныйОрдер", "АвансовыйОтчет", "Инвентаризация", "ВозвратТоваров", "КомплектацияТоваров",
    "УстановкаЦен", "НачислениеЗарплаты", "ПриемНаРаботу", "Увольнение", "КорректировкаДолга",
    // registers
    "КурсыВалют", "ЦеныНоменклатуры", "АдресаОбъектов", "НастройкиПользователей", "ВерсииОбъектов",
    "СостоянияЗаказов", "ШтрихкодыТоваров", "КонтактнаяИнформация", "ПраваДоступа", "ЗначенияСвойств",
    "ПараметрыУчета", "КлассификаторБанков", "НомераДокументов", "ОчередьЗаданий", "СведенияОФайлах",
    "ГрафикиРаботы", "КлючиДоступа", "ДатыЗапрета", "ЖурналОбмена", "СтатусыДокументов"};
constexpr std::array<const char*, 8> kObjectSuffixes = {"", "Организаций", "Прошлых", "Архивные",
                                                       "Сводные", "Внешние", "Дополнительные", "Служебные"};

// Share of plain statements, per million, that are short ones (a flag, a
// counter, a return), which brings lines to their usual length.
constexpr int32_t kShortShare = 390'000;

std::string Number(int64_t value) { return std::to_string(value); }

class MethodWriter {
 public:
  MethodWriter(const MethodPlan& method, Dialect dialect, Random& random, ReferenceWriter& references,
               ModuleText& text)
      : method_(method), dialect_(dialect), random_(random), references_(references), text_(text) {}

  void Write() {
    int32_t room = std::max(method_.lines, 4);
    int32_t comments = room >= 14 ? 3 : (room >= 8 ? 1 : 0);
    room -= comments;
    WriteComment(comments);
    if (!method_.directive.empty() && room > 4) {
      text_.Line(0, method_.directive);
      --room;
    }
    text_.Line(0, Header());
    // The header, the end, the blank line after it and a function's return.
    room -= method_.function ? 4 : 3;
    if (!method_.call_through_parameter.empty() && room > 0) {
      text_.Line(1, method_.parameters.back() + "." + method_.call_through_parameter + "(" + Argument() + ");");
      --room;
    }
    if (room > 3 && random_.Chance(300'000)) {
      text_.Line(1, std::string("Перем ") + kVariables[random_.Below(12)] + "Локальная;");
      --room;
    }
    while (room > 0) room -= Statement(1, room);
    if (method_.function) text_.Line(1, "Возврат " + Variable() + ";");
    text_.Line(0, method_.function ? "КонецФункции" : "КонецПроцедуры");
    text_.Blank();
  }

 private:
  void WriteComment(int32_t comments) {
    if (comments == 0) return;
    text_.Line(0, "// " + std::string(method_.function ? "Возвращает " : "Выполняет ") + "«" + method_.name + "».");
    if (comments < 3) return;
    text_.Line(0, "//");
    text_.Line(0, "// Параметры: " + method_.parameters.front() + " - Структура - данные.");
  }

  std::string Header() {
    std::string header = method_.function ? "Функция " : "Процедура ";
    header += method_.name + "(";
    for (size_t i = 0; i < method_.parameters.size(); ++i) {
      if (i > 0) header += ", ";
      if (i == 1 && dialect_ == Dialect::kNewer) header += "Знач ";
      header += method_.parameters[i];
      if (i == 2 && method_.call_through_parameter.empty()) header += " = Неопределено";
    }
    header += ")";
    if (method_.exported) header += " Экспорт";
    return header;
  }

  std::string Variable() { return std::string(kVariables[random_.Below(12)]) + Number(random_.Below(6)); }
  std::string Argument() { return method_.parameters[static_cast<size_t>(random_.Below(
      static_cast<int64_t>(method_.parameters.size())))]; }

  // One statement of at most `room` lines; returns the lines written.
  int32_t Statement(int depth, int32_t room) {
    if (room >= 3 && depth < 4 && random_.Chance(140'000)) return Block(depth, room);
    if (dialect_ == Dialect::kNewer && room >= 10 && depth <= 2 && random_.Chance(25'000)) return Query(depth);
    if (random_.Chance(references_.ReferenceRate())) {
      int32_t written = references_.Write(method_, text_, depth, room);
      if (written > 0) return written;
    }
    text_.Line(depth, dialect_ == Dialect::kNewer ? NewerStatement() : OldStatement());
    return 1;
  }

  int32_t Block(int depth, int32_t room) {
    int32_t inner_room = std::min<int32_t>(room - 2, 1 + random_.Below(6));
    bool alternative = inner_room >= 3 && random_.Chance(300'000);
    int32_t kind = random_.Below(4);
    std::string open;
    std::string middle = "Иначе";
    std::string close = "КонецЕсли;";
    if (kind == 0) {
      open = "Для Каждого Строка" + Number(depth) + " Из " + Argument() + ".Товары Цикл";
      close = "КонецЦикла;";
      alternative = false;
    } else if (kind == 1 && dialect_ == Dialect::kNewer) {
      open = "Попытка";
      middle = "Исключение";
      close = "КонецПопытки;";
      alternative = inner_room >= 3;
    } else {
      open = "Если " + Condition() + " Тогда";
    }
    text_.Line(depth, open);
    int32_t first = alternative ? inner_room - 1 - inner_room / 3 : inner_room;
    int32_t written = 0;
    while (written < first) written += Statement(depth + 1, first - written);
    if (alternative) {
      text_.Line(depth, middle);
      int32_t second = inner_room - 1 - first;
      int32_t done = 0;
      while (done < second) done += Statement(depth + 1, second - done);
      written += 1 + done;
    }
    text_.Line(depth, close);
    return written + 2;
  }

  std::string Condition() {
    switch (random_.Below(4)) {
      case 0: return "Не ЗначениеЗаполнено(" + Argument() + ")";
      case 1: return Variable() + " > " + Number(random_.Below(1000)) + " И " + Variable() + " <> 0";
      case 2: return "ТипЗнч(" + Argument() + ") = Тип(\"Структура\")";
      default: return Argument() + ".Свойство(\"" + kNouns[random_.Below(30)] + "\")";
    }
  }

  // A query text in a string that goes on over `|` lines: 10 lines.
  int32_t Query(int depth) {
    std::string object = ObjectName(random_.Below(20), 1);
    text_.Line(depth, "Запрос = Новый Запрос;");
    text_.Line(depth, "Запрос.Текст =");
    text_.Line(depth, "\"ВЫБРАТЬ");
    text_.Line(depth, "|\tТовары.Номенклатура КАК Номенклатура,");
    text_.Line(depth, "|\tСУММА(Товары.Количество) КАК Количество // не комментарий, а текст запроса");
    text_.Line(depth, "|ИЗ");
    text_.Line(depth, "|\tДокумент." + object + ".Товары КАК Товары");
    text_.Line(depth, "|ГДЕ Товары.Ссылка = &Ссылка И Товары.Склад В (&Склады)\";");
    text_.Line(depth, "Запрос.УстановитьПараметр(\"Ссылка\", " + Argument() + ");");
    text_.Line(depth, "Выборка = Запрос.Выполнить().Выбрать();");
    return 10;
  }

  std::string ShortStatement() {
    switch (random_.Below(5)) {
      case 0: return "Отказ = Истина;";
      case 1: return Variable() + " = 0;";
      case 2: return "Результат = Неопределено;";
      case 3: return "Н = Н + 1;";
      default: return "Возврат;";
    }
  }

  std::string NewerStatement() {
    if (random_.Chance(kShortShare)) return ShortStatement();
    switch (random_.Below(12)) {
      case 0: return "// Заполняем " + std::string(kNouns[random_.Below(30)]) + " по данным документа и настройкам учета.";
      case 1: return "СтруктураДанных.Вставить(\"" + std::string(kNouns[random_.Below(30)]) + "\", " + Argument() + ");";
      case 2: return "ТекстСообщения = НСтр(\"ru = 'Не заполнен реквизит \"\"" + std::string(kNouns[random_.Below(30)]) +
                     "\"\" документа (строка %1)'\");";
      case 3: return Variable() + " = " + Variable() + " * (1 - " + Variable() + " / 100); // сумма со скидкой";
      case 4: return "НоваяСтрока = ТаблицаРезультата.Добавить();";
      case 5: return "ЗаполнитьЗначенияСвойств(НоваяСтрока, " + Argument() + ", \"Номенклатура, Количество\");";
      case 6: return "Ссылка = Справочники." + ObjectName(random_.Below(20), 0) + ".НайтиПоНаименованию(\"Основной\");";
      case 7: return "Если Не ЗначениеЗаполнено(" + Argument() + ") Тогда Возврат; КонецЕсли;";
      case 8: return "Запрос.УстановитьПараметр(\"Период\", КонецДня(ТекущаяДатаСеанса()));";
      case 9: return Variable() + " = Окр(" + Variable() + " + " + Variable() + ", 2);";
      case 10: return "Строки = " + Argument() + ".Товары.НайтиСтроки(Новый Структура(\"Склад\", Склад));";
      default: return Variable() + " = " + Variable() + " + " + Argument() + "." + kVariables[random_.Below(12)] + ";";
    }
  }

  std::string OldStatement() {
    if (random_.Chance(kShortShare)) return ShortStatement();
    switch (random_.Below(10)) {
      case 0: return "// Заполняем " + std::string(kNouns[random_.Below(30)]) + " по данным документа.";
      case 1: return "Сообщить(\"Не заполнен реквизит " + std::string(kNouns[random_.Below(30)]) + "!\", \"!\");";
      case 2: return "Спр = СоздатьОбъект(\"Справочник." + ObjectName(random_.Below(20), 0) + "\");";
      case 3: return Variable() + " = " + Variable() + " * (1 - " + Variable() + " / 100); // со скидкой";
      case 4: return "Если ПустоеЗначение(" + Argument() + ") = 1 Тогда Возврат; КонецЕсли;";
      case 5: return "Таб.НоваяСтрока(); Таб.Сумма = " + Variable() + ";";
      case 6: return "ТекстЗапроса = \"Период с ВыбНачПериода по ВыбКонПериода; Товар = Регистр.Остатки.Товар;\";";
      case 7: return Variable() + " = Окр(" + Variable() + " + " + Variable() + ", 2);";
      case 8: return "Запрос.Группировка(\"Товар\"); Запрос.Условие(\"Склад в ВыбСклад\");";
      default: return Variable() + " = " + Variable() + " + " + Argument() + "." + kVariables[random_.Below(12)] + ";";
    }
  }

  const MethodPlan& method_;
  Dialect dialect_;
  Random& random_;
  ReferenceWriter& references_;
  ModuleText& text_;
};

}  // namespace

uint64_t Random::Next() {
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

int32_t Random::Below(int64_t count) {
  if (count <= 0) return 0;
  return static_cast<int32_t>(Next() % static_cast<uint64_t>(count));
}

int32_t Random::Skewed(int32_t count) {
  if (count <= 0) return 0;
  uint64_t a = Next() % static_cast<uint64_t>(count);
  uint64_t b = Next() % static_cast<uint64_t>(count);
  return static_cast<int32_t>(a * b / static_cast<uint64_t>(count));
}

void ModuleText::Line(int depth, std::string_view text) {
  text_.append(static_cast<size_t>(depth), '\t');
  text_ += text;
  text_ += "\r\n";
  ++lines_;
}

std::string MethodName(int32_t index, int32_t offset) {
  constexpr int32_t kCombinations = 30 * 30;
  // 7 is prime to 900: the first 900 indices give 900 different pairs.
  int32_t pair = static_cast<int32_t>((int64_t{index % kCombinations} * 7 + offset) % kCombinations);
  std::string name = std::string(kVerbs[pair % 30]) + kNouns[pair / 30];
  if (index >= kCombinations) name += Number(index / kCombinations);
  return name;
}

std::string GlobalExportName(int32_t index) {
  constexpr int32_t kCombinations = 30 * 20;
  std::string name = std::string(kVerbs[index % 30]) + kGlobalNouns[(index / 30) % 20];
  if (index >= kCombinations) name += Number(index / kCombinations);
  return name;
}

std::vector<std::string> PickParameters(Random& random) {
  int32_t count = 1 + random.Below(3);
  int32_t first = random.Below(12);
  std::vector<std::string> parameters;
  for (int32_t i = 0; i < count; ++i) parameters.emplace_back(kParameters[static_cast<size_t>((first + i) % 12)]);
  return parameters;
}

std::string ObjectName(int32_t index, int32_t list) {
  std::string name = kObjectWords[static_cast<size_t>(list * 20 + index % 20)];
  int32_t round = index / 20;
  name += kObjectSuffixes[static_cast<size_t>(round % 8)];
  if (round >= 8) name += Number(round / 8);
  return name;
}

void WriteMethod(const MethodPlan& method, Dialect dialect, Random& random, ReferenceWriter& references,
                 ModuleText& text) {
  MethodWriter(method, dialect, random, references, text).Write();
}

}  // namespace ramulet::generated
