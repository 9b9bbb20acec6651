// Each rule of the resolution between modules, and the cases that must not
// resolve, on configurations built in memory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/config_fixture.h"

namespace ramulet {
namespace {

using ::testing::ElementsAreArray;

// The modules every case is resolved against.
std::vector<FixtureModule> Library() {
  return {
      {"CommonModule.ОбщегоНазначения", "CommonModule", false,
       "Функция Экспортная() Экспорт\nКонецФункции\nФункция Скрытая()\nКонецФункции\n"
       "Функция ОбщийМодуль(Имя) Экспорт\nКонецФункции\n"},
      {"CommonModule.ГлобальныйА", "CommonModule", true,
       "Процедура Общая() Экспорт\nКонецПроцедуры\nПроцедура ТолькоА() Экспорт\nКонецПроцедуры\n"},
      {"CommonModule.ГлобальныйБ", "CommonModule", true, "Процедура Общая() Экспорт\nКонецПроцедуры\n"},
      {"CommonModule.Фоновые", "CommonModule", false,
       "Процедура Задание() Экспорт\nКонецПроцедуры\nПроцедура Закрытое()\nКонецПроцедуры\n"},
      {"Catalog.Валюты.ManagerModule", "ManagerModule", false,
       "Функция Курс() Экспорт\nКонецФункции\nФункция Внутренняя()\nКонецФункции\n"},
  };
}

struct Case {
  const char* title;
  const char* text;  // of CommonModule.М, or of the form when `form`
  std::vector<std::string> edges;  // but in-module ones
  std::vector<std::string> unresolved = {};
  bool form = false;
};

std::vector<std::string> CrossModuleEdges(const Configuration& configuration) {
  std::vector<std::string> lines = DescribeEdges(configuration);
  std::erase_if(lines, [](const std::string& line) { return line.find(" in-module") != std::string::npos; });
  return lines;
}

void Check(const Case& c) {
  std::vector<FixtureModule> modules = Library();
  if (c.form) {
    modules.push_back({"Catalog.Валюты.Form.Ф", "FormModule", false, c.text});
  } else {
    modules.push_back({"CommonModule.М", "CommonModule", false, c.text});
  }
  const Configuration configuration = MakeConfiguration(modules);
  SCOPED_TRACE(c.title);
  EXPECT_THAT(CrossModuleEdges(configuration), ElementsAreArray(c.edges));
  EXPECT_THAT(DescribeUnresolved(configuration), ElementsAreArray(c.unresolved));
}

const Case kCommonModuleCases[] = {
    {"an export", "Процедура П()\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры",
     {"CommonModule.М.П 1:18 -> CommonModule.ОбщегоНазначения.Экспортная common via=ОбщегоНазначения"}},
    {"letter case ignored", "Процедура П()\n\tобщегоназначения.ЭКСПОРТНАЯ();\nКонецПроцедуры",
     {"CommonModule.М.П 1:18 -> CommonModule.ОбщегоНазначения.Экспортная common via=общегоназначения"}},
    {"not exported", "Процедура П()\n\tОбщегоНазначения.Скрытая();\nКонецПроцедуры",
     {"CommonModule.М.П 1:18 -> CommonModule.ОбщегоНазначения.Скрытая inaccessible via=ОбщегоНазначения"}},
    {"no such method", "Процедура П()\n\tОбщегоНазначения.Нет();\nКонецПроцедуры",
     {"CommonModule.М.П 1:18 -> CommonModule.ОбщегоНазначения.? unknown-member via=ОбщегоНазначения target=Нет"}},
    {"from the body", "ОбщегоНазначения.Экспортная();",
     {"CommonModule.М.<body> 0:17 -> CommonModule.ОбщегоНазначения.Экспортная common via=ОбщегоНазначения"}},
    {"a parameter named like the module",
     "Процедура П(Знач ОбщегоНазначения = Неопределено)\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры", {}},
    {"parameters of a header over several lines",
     "&НаСервере\nАсинх Процедура П(\n\tА,\n\tЗнач ОбщегоНазначения)\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры", {}},
    {"a parameter of an English header", "Procedure P(Val ОбщегоНазначения) Export\n\tОбщегоНазначения.Экспортная();\nEndProcedure",
     {}},
    {"a parameter of another method",
     "Процедура А(ОбщегоНазначения)\nКонецПроцедуры\n#Область Б\nПроцедура Б()\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры",
     {"CommonModule.М.Б 4:18 -> CommonModule.ОбщегоНазначения.Экспортная common via=ОбщегоНазначения"}},
    {"in a string that goes on", "Процедура П()\n\tА = \"ВЫБРАТЬ\n\t|ОбщегоНазначения.Экспортная()\n\t|\";\nКонецПроцедуры", {}},
    {"assigned in the method, below the call",
     "Процедура П()\n\tОбщегоНазначения.Экспортная();\n\tОбщегоНазначения = 1;\nКонецПроцедуры", {}},
    {"a Перем of the method", "Процедура П()\n\tПерем А, ОбщегоНазначения;\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры",
     {}},
    {"a Перем of the module", "Перем ОбщегоНазначения Экспорт;\nПроцедура П()\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры",
     {}},
    {"a loop variable", "Процедура П()\n\tДля Каждого ОбщегоНазначения Из С Цикл\n\t\tОбщегоНазначения.Экспортная();\n\tКонецЦикла;\nКонецПроцедуры",
     {}},
    {"a counter", "Procedure P()\n\tFor ОбщегоНазначения = 1 To 2 Do ОбщегоНазначения.Экспортная(); EndDo;\nEndProcedure", {}},
    {"assigned in another method only",
     "Процедура А()\n\tОбщегоНазначения = 1;\nКонецПроцедуры\nПроцедура Б()\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры",
     {"CommonModule.М.Б 4:18 -> CommonModule.ОбщегоНазначения.Экспортная common via=ОбщегоНазначения"}},
    {"a comparison is no assignment",
     "Процедура П()\n\tЕсли ОбщегоНазначения = 1 Тогда ОбщегоНазначения.Экспортная(); КонецЕсли;\nКонецПроцедуры",
     {"CommonModule.М.П 1:50 -> CommonModule.ОбщегоНазначения.Экспортная common via=ОбщегоНазначения"}},
    {"a member of a member", "Процедура П()\n\tА.ОбщегоНазначения.Экспортная();\n\tФ().ОбщегоНазначения.Экспортная();\nКонецПроцедуры",
     {}},
    {"ЭтотОбъект reaches the module's own methods only", "Процедура П()\n\tЭтотОбъект.Экспортная();\nКонецПроцедуры", {}},
    {"a module not in the configuration", "Процедура П()\n\tНетТакого.Метод();\nКонецПроцедуры", {}},
    {"in strings and comments", "Процедура П()\n\tА = \"ОбщегоНазначения.Экспортная()\"; // ОбщегоНазначения.Скрытая()\nКонецПроцедуры",
     {}},
};

const Case kGlobalCases[] = {
    {"a global export", "Процедура П()\n\tТолькоА();\nКонецПроцедуры",
     {"CommonModule.М.П 1:1 -> CommonModule.ГлобальныйА.ТолькоА global"}},
    {"two global modules export it", "Процедура П()\n\tОбщая();\nКонецПроцедуры",
     {"CommonModule.М.П 1:1 -> CommonModule.ГлобальныйА.Общая ambiguous",
      "CommonModule.М.П 1:1 -> CommonModule.ГлобальныйБ.Общая ambiguous"}},
    {"the module's own method wins", "Процедура П()\n\tТолькоА();\nКонецПроцедуры\nПроцедура ТолькоА()\nКонецПроцедуры", {}},
    {"built-in functions and keywords", "Процедура П()\n\tЕсли (СтрДлина(А) > 0) Тогда Б = Новый Общая(); КонецЕсли;\nКонецПроцедуры",
     {}},
};

const Case kManagerCases[] = {
    {"an export of the manager", "Процедура П()\n\tСправочники.Валюты.Курс();\n\tCatalogs.Валюты.Курс();\nКонецПроцедуры",
     {"CommonModule.М.П 1:20 -> Catalog.Валюты.ManagerModule.Курс manager via=Справочники.Валюты",
      "CommonModule.М.П 2:17 -> Catalog.Валюты.ManagerModule.Курс manager via=Catalogs.Валюты"}},
    {"platform methods and unknown objects",
     "Процедура П()\n\tСправочники.Валюты.Внутренняя();\n\tСправочники.Валюты.ПустаяСсылка();\n\tДокументы.Валюты.Курс();\n"
     "\tСправочники.Нет.Курс();\nКонецПроцедуры",
     {}},
    {"a local collection word", "Процедура П(Справочники)\n\tСправочники.Валюты.Курс();\nКонецПроцедуры", {}},
};

const Case kBindingCases[] = {
    {"bound by ОбщийМодуль",
     "Процедура П()\n\tМодуль = ОбщийМодуль(\"ОбщегоНазначения\");\n\tМодуль.Экспортная();\n\tМодуль.Скрытая();\n"
     "\tМодуль.Нет();\nКонецПроцедуры",
     {"CommonModule.М.П 2:8 -> CommonModule.ОбщегоНазначения.Экспортная common-var via=Модуль",
      "CommonModule.М.П 3:8 -> CommonModule.ОбщегоНазначения.Скрытая inaccessible via=Модуль",
      "CommonModule.М.П 4:8 -> CommonModule.ОбщегоНазначения.? unknown-member via=Модуль target=Нет"}},
    {"through a common module's accessor",
     "Процедура П()\n\tМодуль = ОбщегоНазначения.ОбщийМодуль(\"Фоновые\");\n\tМодуль.Задание();\nКонецПроцедуры",
     {"CommonModule.М.П 1:27 -> CommonModule.ОбщегоНазначения.ОбщийМодуль common via=ОбщегоНазначения",
      "CommonModule.М.П 2:8 -> CommonModule.Фоновые.Задание common-var via=Модуль"}},
    {"through an accessor that is no common module",
     "Процедура П(Объект)\n\tМодуль = Объект.ОбщийМодуль(\"Фоновые\");\n\tМодуль.Задание();\n"
     "\tМодуль2 = Прочее.ОбщийМодуль(\"Фоновые\");\n\tМодуль2.Задание();\nКонецПроцедуры",
     {}},
    {"an absent module", "Процедура П()\n\tМодуль = ОбщийМодуль(\"Нет\");\n\tМодуль.Метод();\nКонецПроцедуры",
     {"CommonModule.М.П 2:8 -> <none> absent-module via=Модуль target=Нет"}},
    {"the guarded binding",
     "Процедура П()\n\tЕсли Условие Тогда\n\t\tМодуль = ОбщийМодуль(\"Фоновые\");\n\tИначе\n\t\tМодуль = Неопределено;\n"
     "\tКонецЕсли;\n\tМодуль.Задание();\n"
     "\tЕсли У Тогда М2 = ОбщийМодуль(\"Фоновые\") Иначе М2 = Неопределено КонецЕсли; М2.Задание();\nКонецПроцедуры",
     {"CommonModule.М.П 6:8 -> CommonModule.Фоновые.Задание common-var via=Модуль",
      "CommonModule.М.П 7:80 -> CommonModule.Фоновые.Задание common-var via=М2"}},
    {"the last binding above the call",
     "Процедура П()\n\tМодуль = ОбщийМодуль(\"Нет\");\n\tМодуль = ОбщийМодуль(\"Фоновые\");\n\tМодуль.Задание();\n"
     "\tМодуль = ОбщийМодуль(\"Нет\");\nКонецПроцедуры",
     {"CommonModule.М.П 3:8 -> CommonModule.Фоновые.Задание common-var via=Модуль"}},
    {"a module variable bound in the body",
     "Перем МодульФоновых;\nПроцедура П()\n\tМодульФоновых.Задание();\nКонецПроцедуры\n"
     "Процедура Своя(МодульФоновых)\n\tМодульФоновых.Задание();\nКонецПроцедуры\n"
     "МодульФоновых = ОбщийМодуль(\"Фоновые\");",
     {"CommonModule.М.П 2:15 -> CommonModule.Фоновые.Задание common-var via=МодульФоновых"}},
    {"no binding in another method",
     "Процедура А()\n\tМодуль = ОбщийМодуль(\"Фоновые\");\nКонецПроцедуры\nПроцедура Б()\n\tМодуль.Задание();\nКонецПроцедуры",
     {}},
    {"an expression that goes on binds nothing",
     "Процедура П()\n\tМодуль = ОбщийМодуль(\"Фоновые\").Задание();\n\tМодуль.Задание();\nКонецПроцедуры",
     {"CommonModule.М.П 1:33 -> CommonModule.Фоновые.Задание common-var via=ОбщийМодуль(\"Фоновые\")"}},
    {"the accessor's result called at once",
     "Процедура П()\n\tОбщегоНазначения.ОбщийМодуль(\"Фоновые\").Задание();\nКонецПроцедуры",
     {"CommonModule.М.П 1:18 -> CommonModule.ОбщегоНазначения.ОбщийМодуль common via=ОбщегоНазначения",
      "CommonModule.М.П 1:41 -> CommonModule.Фоновые.Задание common-var via=ОбщегоНазначения.ОбщийМодуль(\"Фоновые\")"}},
    {"a manager module bound",
     "Процедура П()\n\tМ = ОбщийМодуль(\"Справочники.Валюты\");\n\tМ.Курс();\n"
     "\tН = CommonModule(\"Справочники.Нет\");\n\tН.Курс();\nКонецПроцедуры",
     {"CommonModule.М.П 2:3 -> Catalog.Валюты.ManagerModule.Курс manager via=М",
      "CommonModule.М.П 4:3 -> <none> absent-module via=Н target=Справочники.Нет"}},
};

const Case kByNameCases[] = {
    {"notifications",
     "Процедура П()\n\tО = Новый ОписаниеОповещения(\"Обработчик\", ЭтотОбъект);\n"
     "\tО = Новый ОписаниеОповещения(\"НетТакого\", ЭтаФорма);\n"
     "\tО = New NotifyDescription(\"Задание\", Фоновые, 1);\n"
     "\tО = Новый ОписаниеОповещения(\"Закрытое\", Фоновые);\n"
     "\tО = Новый ОписаниеОповещения(\n\t\t\"Обработчик\",\n\t\tЭтотОбъект);\nКонецПроцедуры\n"
     "Процедура Обработчик(Результат, Параметры)\nКонецПроцедуры",
     {"Catalog.Валюты.Form.Ф.П 1:31 -> Catalog.Валюты.Form.Ф.Обработчик by-name via=ОписаниеОповещения",
      "Catalog.Валюты.Form.Ф.П 3:28 -> CommonModule.Фоновые.Задание by-name via=NotifyDescription",
      "Catalog.Валюты.Form.Ф.П 6:3 -> Catalog.Валюты.Form.Ф.Обработчик by-name via=ОписаниеОповещения"},
     {"Catalog.Валюты.Form.Ф.П 2:31 missing-handler НетТакого",
      "Catalog.Валюты.Form.Ф.П 4:31 missing-handler Фоновые.Закрытое"},
     true},
    {"idle handlers of a form",
     "Процедура П()\n\tПодключитьОбработчикОжидания(\"Обработчик\", 1);\n\tОтключитьОбработчикОжидания(\"ТолькоА\");\n"
     "КонецПроцедуры\nПроцедура Обработчик()\nКонецПроцедуры",
     {"Catalog.Валюты.Form.Ф.П 1:31 -> Catalog.Валюты.Form.Ф.Обработчик by-name via=ПодключитьОбработчикОжидания"},
     {"Catalog.Валюты.Form.Ф.П 2:30 missing-handler ТолькоА"},
     true},
    {"idle handlers elsewhere",
     "Процедура П()\n\tAttachIdleHandler(\"ТолькоА\", 1);\n\tПодключитьОбработчикОжидания(\"П\", 1);\nКонецПроцедуры",
     {"CommonModule.М.П 1:20 -> CommonModule.ГлобальныйА.ТолькоА by-name via=AttachIdleHandler"},
     {"CommonModule.М.П 2:31 missing-handler П"}},
    {"a method named in a string",
     "Процедура П()\n\tЗапустить(\"Фоновые.Задание\");\n\tЗапустить(\"Фоновые.Закрытое\", \"Нет.Задание\");\nКонецПроцедуры",
     {"CommonModule.М.П 1:12 -> CommonModule.Фоновые.Задание by-name via=string"}},
    {"dynamic code",
     "Процедура П()\n\tВыполнить(\"А()\");\n\tЗ = Вычислить(\"1\") + Eval(\"2\");\n\tЗапрос.Выполнить();\nКонецПроцедуры",
     {},
     {"CommonModule.М.П 1:1 dynamic Выполнить", "CommonModule.М.П 2:5 dynamic Вычислить",
      "CommonModule.М.П 2:22 dynamic Eval"}},
};

TEST(ResolverTest, CommonModuleCalls) {
  for (const Case& c : kCommonModuleCases) Check(c);
}
TEST(ResolverTest, GlobalCalls) {
  for (const Case& c : kGlobalCases) Check(c);
}
TEST(ResolverTest, ManagerCalls) {
  for (const Case& c : kManagerCases) Check(c);
}
TEST(ResolverTest, BoundVariables) {
  for (const Case& c : kBindingCases) Check(c);
}
TEST(ResolverTest, MethodsNamedInStringsAndDynamicCode) {
  for (const Case& c : kByNameCases) Check(c);
}

NamedCaller Caller(NamedCaller::Kind kind, std::string caller, std::string via, std::string target, std::string method,
                   int32_t line) {
  NamedCaller named;
  named.kind = kind;
  named.caller = std::move(caller);
  named.via = std::move(via);
  named.target = std::move(target);
  named.method = std::move(method);
  named.line = line;
  named.column = 4;
  return named;
}

TEST(ResolverTest, MetadataCallersComeAfterTheirModuleAndNoModuleLastByName) {
  std::vector<FixtureModule> modules = Library();
  modules.push_back({"Catalog.Валюты.Form.Ф", "FormModule", false,
                     "Процедура ПриОткрытии(Отказ)\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры"});
  const auto kMetadata = NamedCaller::Kind::kMetadata;
  const std::vector<NamedCaller> callers = {
      Caller(kMetadata, "ScheduledJob.Б", "ScheduledJob", "CommonModule.Фоновые", "Задание", 3),
      Caller(kMetadata, "EventSubscription.А", "EventSubscription", "CommonModule.Фоновые", "Закрытое", 5),
      Caller(kMetadata, "Catalog.Валюты.Form.Ф", "OnOpen", "Catalog.Валюты.Form.Ф", "ПриОткрытии", 7),
      Caller(kMetadata, "Catalog.Валюты.Form.Ф", "Команда1", "Catalog.Валюты.Form.Ф", "Нет", 9),
      Caller(kMetadata, "ScheduledJob.В", "ScheduledJob", "CommonModule.Отсутствует", "Задание", 2),
  };
  Configuration configuration;
  BuildConfiguration(modules, callers, ConfigLayout::kDesigner, configuration);
  EXPECT_THAT(CrossModuleEdges(configuration),
              ElementsAreArray({
                  "Catalog.Валюты.Form.Ф.ПриОткрытии 1:18 -> CommonModule.ОбщегоНазначения.Экспортная common "
                  "via=ОбщегоНазначения",
                  "Catalog.Валюты.Form.Ф.<body> 7:4 -> Catalog.Валюты.Form.Ф.ПриОткрытии metadata via=OnOpen",
                  "ScheduledJob.Б 3:4 -> CommonModule.Фоновые.Задание metadata via=ScheduledJob",
              }));
  EXPECT_THAT(DescribeUnresolved(configuration),
              ElementsAreArray({
                  "Catalog.Валюты.Form.Ф.<body> 9:4 missing-handler Нет",
                  "EventSubscription.А 5:4 missing-handler CommonModule.Фоновые.Закрытое",
                  "ScheduledJob.В 2:4 missing-handler CommonModule.Отсутствует.Задание",
              }));
  const int32_t job = configuration.FindModule("CommonModule.Фоновые");
  ASSERT_EQ(configuration.graph.EdgesTo(job, 0).size(), 1u);
}

TEST(ResolverTest, OldPlatformGlobalCallsAndDialogs) {
  const std::vector<FixtureModule> modules = {
      {"ГлобальныйМодуль", "GlobalModule", true,
       "Процедура Глоб() Экспорт\nКонецПроцедуры\nПроцедура Своя() Экспорт\nКонецПроцедуры\n"
       "Процедура Тайная()\nКонецПроцедуры"},
      {"Документ.Д.МодульПроведения", "PostingModule", false,
       "Процедура Провести()\n\tГлоб();\n\tСвоя();\n\tТайная();\n\tОбщегоНазначения.Экспортная();\nКонецПроцедуры\n"
       "Процедура Своя()\nКонецПроцедуры"},
      {"Справочник.С.Форма", "FormModule", false, "Процедура Кнопка()\nКонецПроцедуры"},
  };
  const auto kDialog = NamedCaller::Kind::kDialog;
  const std::vector<NamedCaller> callers = {
      Caller(kDialog, "Справочник.С.Форма", "Кнопка()", "Справочник.С.Форма", "Кнопка", 1),
      Caller(kDialog, "Справочник.С.Форма", "Глоб()", "Справочник.С.Форма", "Глоб", 2),
      Caller(kDialog, "Справочник.С.Форма", "СтрДлина(А)", "Справочник.С.Форма", "СтрДлина", 3),
  };
  Configuration configuration;
  BuildConfiguration(modules, callers, ConfigLayout::kOldDump, configuration);
  EXPECT_THAT(DescribeEdges(configuration),
              ElementsAreArray({
                  "Документ.Д.МодульПроведения.Провести 1:1 -> ГлобальныйМодуль.Глоб global",
                  "Документ.Д.МодульПроведения.Провести 2:1 -> Документ.Д.МодульПроведения.Своя in-module",
                  "Справочник.С.Форма.<body> 1:4 -> Справочник.С.Форма.Кнопка dialog via=Кнопка()",
                  "Справочник.С.Форма.<body> 2:4 -> ГлобальныйМодуль.Глоб dialog via=Глоб()",
              }));
}

TEST(ResolverTest, AGlobalFlagInTheFolderLayoutAndAModuleWithADuplicateMethod) {
  const std::vector<FixtureModule> modules = {
      {"Общий.Глобальный", "Module", true, "Процедура Г() Экспорт\nКонецПроцедуры"},
      {"CommonModule.Дубли", "CommonModule", false,
       "Процедура А() Экспорт\n\tОбщая();\nКонецПроцедуры\nПроцедура Б() Экспорт\n\tГ();\nКонецПроцедуры\n"
       "Процедура А()\nКонецПроцедуры"},
      {"М", "Module", false, "Г();\nДубли.Б();\nДубли.А();"},
  };
  Configuration configuration;
  BuildConfiguration(modules, {}, ConfigLayout::kFolder, configuration);
  EXPECT_FALSE(configuration.modules[1].error.ok());
  EXPECT_THAT(DescribeEdges(configuration), ElementsAreArray({
                                                "М.<body> 0:0 -> Общий.Глобальный.Г global",
                                                "М.<body> 1:6 -> CommonModule.Дубли.Б common via=Дубли",
                                                "М.<body> 2:6 -> CommonModule.Дубли.А common via=Дубли",
                                            }));
}

}  // namespace
}  // namespace ramulet
