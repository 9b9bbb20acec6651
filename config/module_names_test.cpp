#include "config/module_names.h"

#include <gtest/gtest.h>

namespace ramulet {
namespace {

struct NamingCase {
  const char* path;
  const char* name;
  const char* kind;
};

TEST(ModuleNamesTest, DesignerDumpPaths) {
  const NamingCase cases[] = {
      {"CommonModules/ОбщегоНазначения/Ext/Module.bsl", "CommonModule.ОбщегоНазначения", "CommonModule"},
      {"Catalogs/Валюты/Ext/ManagerModule.bsl", "Catalog.Валюты.ManagerModule", "ManagerModule"},
      {"Documents/Счет/Ext/ObjectModule.bsl", "Document.Счет.ObjectModule", "ObjectModule"},
      {"InformationRegisters/Курсы/Ext/RecordSetModule.bsl", "InformationRegister.Курсы.RecordSetModule",
       "RecordSetModule"},
      {"Constants/Валюта/Ext/ValueManagerModule.bsl", "Constant.Валюта.ValueManagerModule", "ValueManagerModule"},
      {"Catalogs/Валюты/Forms/ФормаЭлемента/Ext/Form/Module.bsl", "Catalog.Валюты.Form.ФормаЭлемента", "FormModule"},
      {"Catalogs/Валюты/Commands/Подбор/Ext/CommandModule.bsl", "Catalog.Валюты.Command.Подбор", "CommandModule"},
      {"CommonForms/Вопрос/Ext/Form/Module.bsl", "CommonForm.Вопрос", "FormModule"},
      {"CommonCommands/Печать/Ext/CommandModule.bsl", "CommonCommand.Печать", "CommandModule"},
      {"WebServices/Обмен/Ext/Module.bsl", "WebService.Обмен", "WebServiceModule"},
      {"HTTPServices/Api/Ext/Module.bsl", "HTTPService.Api", "HTTPServiceModule"},
      {"Ext/SessionModule.bsl", "Configuration.SessionModule", "SessionModule"},
      {"Ext/ManagedApplicationModule.bsl", "Configuration.ManagedApplicationModule", "ManagedApplicationModule"},
      // Shapes no rule knows: named by the path.
      {"Unknowns/X/Ext/ObjectModule.bsl", "Unknowns.X.Ext.ObjectModule", "Module"},
      {"CommonModules/Н/Ext/Other.bsl", "CommonModules.Н.Ext.Other", "Module"},
      {"Catalogs/Валюты/Forms/Ф/Ext/Module.bsl", "Catalogs.Валюты.Forms.Ф.Ext.Module", "Module"},
      {"Catalogs/Валюты/Ext/Form/Module.bsl", "Catalogs.Валюты.Ext.Form.Module", "Module"},
      {"CommonForms/Вопрос/Ext/Module.bsl", "CommonForms.Вопрос.Ext.Module", "Module"},
      {"Catalogs/Валюты/Forms/Ф/Ext/CommandModule.bsl", "Catalogs.Валюты.Forms.Ф.Ext.CommandModule", "Module"},
      {"Module.bsl", "Module", "Module"},
  };
  for (const NamingCase& c : cases) {
    const ModuleNaming naming = NameDesignerModule(c.path, false, c.path);
    EXPECT_EQ(naming.name, c.name) << c.path;
    EXPECT_EQ(naming.kind, c.kind) << c.path;
  }
}

TEST(ModuleNamesTest, ProjectPathsHaveNoExtFolders) {
  const NamingCase cases[] = {
      {"CommonModules/ОбщегоНазначения/Module.bsl", "CommonModule.ОбщегоНазначения", "CommonModule"},
      {"Catalogs/Валюты/ManagerModule.bsl", "Catalog.Валюты.ManagerModule", "ManagerModule"},
      {"Catalogs/Валюты/Forms/ФормаЭлемента/Module.bsl", "Catalog.Валюты.Form.ФормаЭлемента", "FormModule"},
      {"Catalogs/Валюты/Commands/Подбор/CommandModule.bsl", "Catalog.Валюты.Command.Подбор", "CommandModule"},
      {"CommonForms/Вопрос/Module.bsl", "CommonForm.Вопрос", "FormModule"},
      {"Configuration/SessionModule.bsl", "Configuration.SessionModule", "SessionModule"},
      {"Catalogs/Валюты/Ext/ManagerModule.bsl", "src.Catalogs.Валюты.Ext.ManagerModule", "Module"},
  };
  for (const NamingCase& c : cases) {
    const ModuleNaming naming = NameDesignerModule(c.path, true, std::string("src/") + c.path);
    EXPECT_EQ(naming.name, c.name) << c.path;
    EXPECT_EQ(naming.kind, c.kind) << c.path;
  }
}

TEST(ModuleNamesTest, OldPlatformDumpPaths) {
  const NamingCase cases[] = {
      {"ГлобальныйМодуль.1s", "ГлобальныйМодуль", "GlobalModule"},
      {"Документы/Д/МодульПроведения.1s", "Документ.Д.МодульПроведения", "PostingModule"},
      {"Документы/Д/МодульФормы.1s", "Документ.Д.Форма", "FormModule"},
      {"Справочники/С/МодульФормы.1s", "Справочник.С.Форма", "FormModule"},
      {"Отчеты/О/МодульФормы.1s", "Отчет.О.Форма", "FormModule"},
      {"Обработки/О/МодульФормы.1s", "Обработка.О.Форма", "FormModule"},
      {"Справочники/С/ФормаГруппы/МодульФормы.1s", "Справочник.С.ФормаГруппы", "FormModule"},
      {"Справочники/С/Ф.fls/МодульФормы.1s", "Справочник.С.ФормаСписка.Ф", "FormModule"},
      {"ЖурналыДокументов/Ж/Ф.fls/МодульФормы.1s", "ЖурналДокументов.Ж.ФормаСписка.Ф", "FormModule"},
      {"ВидыРасчетов/В/МодульРасчета.1s", "ВидРасчета.В.МодульРасчета", "CalcModule"},
      // Other folders keep their names.
      {"Прочее/Модуль.1s", "Прочее.Модуль", "Module"},
      {"Справочники/С/Прочее/МодульФормы.1s", "Справочники.С.Прочее.МодульФормы", "Module"},
      {"Подпапка/ГлобальныйМодуль.1s", "Подпапка.ГлобальныйМодуль", "Module"},
  };
  for (const NamingCase& c : cases) {
    const ModuleNaming naming = NameOldModule(c.path);
    EXPECT_EQ(naming.name, c.name) << c.path;
    EXPECT_EQ(naming.kind, c.kind) << c.path;
  }
}

TEST(ModuleNamesTest, PathsAndFolders) {
  EXPECT_EQ(NameByPath("a/b.c/d.os").name, "a.b.c.d");
  EXPECT_EQ(NameByPath("a.b/noext").name, "a.b.noext");
  EXPECT_EQ(OldFormModulePath("Справочники/С/Ф.fls/Форма.frm"), "Справочники/С/Ф.fls/МодульФормы.1s");
  EXPECT_EQ(CommonModuleFolderOf("x/CommonModules/Н/Ext/Module.bsl"), "Н");
  EXPECT_EQ(CommonModuleFolderOf("CommonModules/Н.bsl"), std::nullopt);
  EXPECT_EQ(SingularOfFolder("ChartsOfCharacteristicTypes"), "ChartOfCharacteristicTypes");
  EXPECT_EQ(SingularOfFolder("Справочники"), "Справочник");
  EXPECT_EQ(SingularOfFolder("catalogs"), std::nullopt);
}

}  // namespace
}  // namespace ramulet
