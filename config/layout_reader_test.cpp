#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/module_analyzer.h"
#include "config/config_sources.h"
#include "config/configuration.h"
#include "config/layout_test_support.h"
#include "platform/text.h"

namespace ramulet {
namespace {

using testing::TempTree;

// "path | name | kind", with " global" and " cp1251" when they hold, and
// " error" for a module whose bytes could not be had.
std::vector<std::string> Listing(const ConfigSources& sources, const std::string& root) {
  std::vector<std::string> lines;
  for (const ModuleSource& m : sources.modules) {
    std::string line = m.path + " | " + m.name + " | " + m.kind;
    if (m.global) line += " global";
    if (m.encoding == Encoding::Cp1251) line += " cp1251";
    if (!m.read_error.ok()) line += " error";
    EXPECT_EQ(m.file, root + "/" + m.path);
    lines.push_back(line);
  }
  return lines;
}

std::string Callers(const ConfigSources& sources) {
  std::string text;
  for (const NamedCaller& c : sources.named_callers) {
    text += (c.kind == NamedCaller::Kind::kDialog ? "dialog " : "metadata ") + c.caller + " via " + c.via + " -> " +
            c.target + "." + c.method + " at " + c.path + ":" + std::to_string(c.line) + ":" +
            std::to_string(c.column) + "\n";
  }
  return text;
}

ConfigSources Read(const std::string& root, std::vector<std::string> globals = {}) {
  ReadOptions options;
  options.globals = std::move(globals);
  ConfigSources sources;
  const Status status = ReadConfigSources(root, options, sources);
  EXPECT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(sources.root, root);
  return sources;
}

std::string CommonModuleXml(bool global) {
  return "\xEF\xBB\xBF<MetaDataObject><CommonModule><Properties><Name>N</Name>" +
         std::string(global ? "<Global>true</Global>" : "<Global>false</Global>") + "</Properties></CommonModule>";
}

TEST(LayoutReaderTest, DesignerDump) {
  TempTree tree;
  tree.Write("Configuration.xml", "<MetaDataObject/>");
  tree.Write("CommonModules/Общий/Ext/Module.bsl", "Процедура П() Экспорт\nКонецПроцедуры\n");
  tree.Write("CommonModules/Общий.xml", CommonModuleXml(false));
  tree.Write("CommonModules/Глобальный/Ext/Module.bsl", "");
  tree.Write("CommonModules/Глобальный.xml", CommonModuleXml(true));
  tree.Write("Catalogs/Валюты.xml", "<MetaDataObject/>");
  tree.Write("Catalogs/Валюты/Ext/ManagerModule.bsl", "");
  tree.Write("Catalogs/Валюты/Ext/ObjectModule.bsl", "");
  tree.Write("Catalogs/Валюты/Forms/ФормаЭлемента/Ext/Form/Module.bsl", "");
  tree.Write("Catalogs/Валюты/Forms/ФормаЭлемента/Ext/Form.xml",
             "<Form>\n<Events>\n<Event name=\"OnOpen\">ПриОткрытии</Event>\n</Events>\n"
             "<Commands><Command name=\"Подбор\"><Action>Подобрать</Action></Command></Commands></Form>");
  tree.Write("Catalogs/Валюты/Commands/Подбор/Ext/CommandModule.bsl", "");
  tree.Write("CommonForms/Вопрос/Ext/Form/Module.bsl", "");
  tree.Write("CommonForms/Вопрос/Ext/Form.xml", "<Form><Events><Event name=\"OnOpen\">Открыть</Event></Events></Form>");
  tree.Write("CommonCommands/Печать/Ext/CommandModule.bsl", "");
  tree.Write("Ext/SessionModule.bsl", "");
  tree.Write("WebServices/Обмен/Ext/Module.bsl", "");
  tree.Write("Прочее/скрипт.bsl", "");
  tree.Write("ScheduledJobs/Обновление.xml",
             "<MetaDataObject>\n<ScheduledJob><Properties>\n<MethodName>CommonModule.Общий.П</MethodName>");
  tree.Write("EventSubscriptions/Проверка.xml", "<Handler>CommonModule.Глобальный.ПередЗаписью</Handler>");
  const ConfigSources sources = Read(tree.root());
  EXPECT_EQ(sources.layout, ConfigLayout::kDesigner);
  EXPECT_EQ(Listing(sources, tree.root()),
            (std::vector<std::string>{
                "Catalogs/Валюты/Commands/Подбор/Ext/CommandModule.bsl | Catalog.Валюты.Command.Подбор | CommandModule",
                "Catalogs/Валюты/Ext/ManagerModule.bsl | Catalog.Валюты.ManagerModule | ManagerModule",
                "Catalogs/Валюты/Ext/ObjectModule.bsl | Catalog.Валюты.ObjectModule | ObjectModule",
                "Catalogs/Валюты/Forms/ФормаЭлемента/Ext/Form/Module.bsl | Catalog.Валюты.Form.ФормаЭлемента | "
                "FormModule",
                "CommonCommands/Печать/Ext/CommandModule.bsl | CommonCommand.Печать | CommandModule",
                "CommonForms/Вопрос/Ext/Form/Module.bsl | CommonForm.Вопрос | FormModule",
                "CommonModules/Глобальный/Ext/Module.bsl | CommonModule.Глобальный | CommonModule global",
                "CommonModules/Общий/Ext/Module.bsl | CommonModule.Общий | CommonModule",
                "Ext/SessionModule.bsl | Configuration.SessionModule | SessionModule",
                "WebServices/Обмен/Ext/Module.bsl | WebService.Обмен | WebServiceModule",
                "Прочее/скрипт.bsl | Прочее.скрипт | Module",
            }));
  EXPECT_EQ(Callers(sources),
            "metadata Catalog.Валюты.Form.ФормаЭлемента via OnOpen -> Catalog.Валюты.Form.ФормаЭлемента.ПриОткрытии"
            " at Catalogs/Валюты/Forms/ФормаЭлемента/Ext/Form.xml:2:21\n"
            "metadata Catalog.Валюты.Form.ФормаЭлемента via Подбор -> Catalog.Валюты.Form.ФормаЭлемента.Подобрать"
            " at Catalogs/Валюты/Forms/ФормаЭлемента/Ext/Form.xml:4:41\n"
            "metadata CommonForm.Вопрос via OnOpen -> CommonForm.Вопрос.Открыть"
            " at CommonForms/Вопрос/Ext/Form.xml:0:35\n"
            "metadata EventSubscription.Проверка via EventSubscription -> CommonModule.Глобальный.ПередЗаписью"
            " at EventSubscriptions/Проверка.xml:0:33\n"
            "metadata ScheduledJob.Обновление via ScheduledJob -> CommonModule.Общий.П"
            " at ScheduledJobs/Обновление.xml:2:31\n");
  EXPECT_TRUE(sources.problems.empty());
}

TEST(LayoutReaderTest, ProjectFormatUnderSrcOrAsTheRoot) {
  for (const std::string src : {"src/", ""}) {
    TempTree tree;
    tree.Write(src + "Configuration/Configuration.mdo", "<mdclass:Configuration/>");
    tree.Write(src + "Configuration/SessionModule.bsl", "");
    tree.Write(src + "CommonModules/Г/Module.bsl", "");
    tree.Write(src + "CommonModules/Г/Г.mdo", "<mdclass:CommonModule><name>Г</name><global>true</global>");
    tree.Write(src + "CommonModules/О/Module.bsl", "");
    tree.Write(src + "CommonModules/О/О.mdo", "<mdclass:CommonModule><name>О</name><server>true</server>");
    tree.Write(src + "Catalogs/В/ManagerModule.bsl", "");
    tree.Write(src + "Catalogs/В/Forms/Ф/Module.bsl", "");
    tree.Write(src + "Catalogs/В/Forms/Ф/Form.form",
               "<form:Form><handlers><event>OnOpen</event><name>ПриОткрытии</name></handlers></form:Form>");
    tree.Write(src + "ScheduledJobs/J/J.mdo", "<mdclass:ScheduledJob><methodName>CommonModule.О.Р</methodName>");
    tree.Write(src + "ScheduledJobs/J/Other.mdo", "<methodName>CommonModule.О.Лишний</methodName>");
    tree.Write(src + "EventSubscriptions/S/S.mdo", "<mdclass:EventSubscription><handler>CommonModule.Г.Х</handler>");
    const ConfigSources sources = Read(tree.root());
    EXPECT_EQ(sources.layout, ConfigLayout::kProject);
    EXPECT_EQ(Listing(sources, tree.root()),
              (std::vector<std::string>{
                  src + "Catalogs/В/Forms/Ф/Module.bsl | Catalog.В.Form.Ф | FormModule",
                  src + "Catalogs/В/ManagerModule.bsl | Catalog.В.ManagerModule | ManagerModule",
                  src + "CommonModules/Г/Module.bsl | CommonModule.Г | CommonModule global",
                  src + "CommonModules/О/Module.bsl | CommonModule.О | CommonModule",
                  src + "Configuration/SessionModule.bsl | Configuration.SessionModule | SessionModule",
              }));
    EXPECT_EQ(Callers(sources), "metadata Catalog.В.Form.Ф via OnOpen -> Catalog.В.Form.Ф.ПриОткрытии at " + src +
                                    "Catalogs/В/Forms/Ф/Form.form:0:48\n"
                                    "metadata EventSubscription.S via EventSubscription -> CommonModule.Г.Х at " +
                                    src +
                                    "EventSubscriptions/S/S.mdo:0:51\n"
                                    "metadata ScheduledJob.J via ScheduledJob -> CommonModule.О.Р at " +
                                    src + "ScheduledJobs/J/J.mdo:0:49\n");
  }
}

std::string Cp1251(std::string_view utf8);

TEST(LayoutReaderTest, OldPlatformDumpWithDialogs) {
  TempTree tree;
  tree.Write("ГлобальныйМодуль.1s", Cp1251("Процедура Общая() Экспорт\nКонецПроцедуры\n"));
  tree.Write("Документы/Д/МодульПроведения.1s", "");
  tree.Write("Документы/Д/МодульФормы.1s", "");
  tree.Write("Справочники/С/МодульФормы.1s", "\xEF\xBB\xBFПроцедура Ф()\nКонецПроцедуры\n");
  tree.Write("Справочники/С/Форма.frm", Cp1251("{\"Кнопка\",\"Записать\",\"Провести()\"}\n"));
  tree.Write("Справочники/С/ФормаГруппы/МодульФормы.1s", "");
  tree.Write("Справочники/С/Ф.fls/МодульФормы.1s", "");
  tree.Write("Справочники/С/Ф.fls/Форма.frm", "\xEF\xBB\xBF{\"Общая()\"}");
  tree.Write("ЖурналыДокументов/Ж/Ф.fls/МодульФормы.1s", "");
  tree.Write("Прочее/Описание.txt", "");
  const ConfigSources sources = Read(tree.root());
  EXPECT_EQ(sources.layout, ConfigLayout::kOldDump);
  EXPECT_EQ(Listing(sources, tree.root()),
            (std::vector<std::string>{
                "ГлобальныйМодуль.1s | ГлобальныйМодуль | GlobalModule global cp1251",
                "Документы/Д/МодульПроведения.1s | Документ.Д.МодульПроведения | PostingModule cp1251",
                "Документы/Д/МодульФормы.1s | Документ.Д.Форма | FormModule cp1251",
                "ЖурналыДокументов/Ж/Ф.fls/МодульФормы.1s | ЖурналДокументов.Ж.ФормаСписка.Ф | FormModule cp1251",
                "Справочники/С/МодульФормы.1s | Справочник.С.Форма | FormModule",
                "Справочники/С/Ф.fls/МодульФормы.1s | Справочник.С.ФормаСписка.Ф | FormModule cp1251",
                "Справочники/С/ФормаГруппы/МодульФормы.1s | Справочник.С.ФормаГруппы | FormModule cp1251",
            }));
  EXPECT_EQ(Callers(sources),
            "dialog Справочник.С.ФормаСписка.Ф via Общая() -> Справочник.С.ФормаСписка.Ф.Общая"
            " at Справочники/С/Ф.fls/Форма.frm:0:2\n"
            "dialog Справочник.С.Форма via Провести() -> Справочник.С.Форма.Провести"
            " at Справочники/С/Форма.frm:0:22\n");
}

TEST(LayoutReaderTest, AnyOtherFolderAndGlobalsGivenByName) {
  TempTree tree;
  tree.Write("a/b.bsl", "");
  tree.Write("a/B.BSL", "");
  tree.Write("x/CommonModules/Н/Ext/Module.bsl", "");
  tree.Write("x/CommonModules/Н/Second.bsl", "");
  tree.Write("lib/класс.os", "");
  tree.Write("old/модуль.1s", "");
  tree.Write("old/пусто.1s", "");
  tree.Write("readme.md", "");
  tree.Write(".git/objects/x.bsl", "");
  tree.Write("Configuration.xm", "");
  ConfigSources sources = Read(tree.root(), {"Н", "./old\\модуль.1s", "Нет"});
  EXPECT_EQ(sources.layout, ConfigLayout::kFolder);
  EXPECT_EQ(Listing(sources, tree.root()),
            (std::vector<std::string>{
                "a/B.BSL | a.B | Module",
                "a/b.bsl | a.b | Module",
                "lib/класс.os | lib.класс | Module",
                "old/модуль.1s | old.модуль | Module global cp1251",
                "old/пусто.1s | old.пусто | Module cp1251",
                "x/CommonModules/Н/Ext/Module.bsl | CommonModule.Н | CommonModule global",
                "x/CommonModules/Н/Second.bsl | x.CommonModules.Н.Second | Module",
            }));
  EXPECT_EQ(sources.problems,
            (std::vector<std::string>{"--global Нет: no module of that name or path",
                                      "a/b.bsl: named a.b like a/B.BSL, which calls by that name reach"}));

  sources = Read(tree.root(), {"CommonModule.Н"});
  EXPECT_TRUE(sources.modules[5].global);
  EXPECT_EQ(sources.problems.size(), 1u);
}

std::string Cp1251(std::string_view utf8) {
  std::string bytes;
  for (const char16_t unit : Utf8ToUtf16(utf8)) {
    if (unit < 0x80)
      bytes += static_cast<char>(unit);
    else if (unit >= u'А' && unit <= u'я')
      bytes += static_cast<char>(0xC0 + (unit - u'А'));
    else
      ADD_FAILURE() << "no Windows-1251 byte in this test for " << static_cast<int>(unit);
  }
  return bytes;
}

}  // namespace
}  // namespace ramulet
