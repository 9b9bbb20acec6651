#include <gtest/gtest.h>

#include "analysis/module_analyzer.h"
#include "config/configuration.h"
#include "config/layout_test_support.h"
#include "platform/text.h"

#include <filesystem>

namespace ramulet {
namespace {

std::string Names(const ConfigModule& module) {
  std::string names;
  for (const MethodInfo& method : module.analysis.methods) names += (names.empty() ? "" : " ") + Utf16ToUtf8(method.name);
  return names;
}

// One module read again, from its file or from an editor's text, replaces
// everything the previous reading left: methods, facts, error, the
// external-text mark.
TEST(ConfigurationModuleTest, ReadingAgainReplacesTheWholeModule) {
  const ModuleAnalyzer analyzer;
  testing::TempTree tree;
  tree.Write("m.bsl", "Процедура А() Экспорт\n  Б.В();\nКонецПроцедуры\n");
  ModuleSource source;
  source.name = "m";
  source.path = "m.bsl";
  source.kind = "Module";
  source.file = tree.Path("m.bsl");
  ConfigModule module;
  ModuleSource first = source;
  LoadConfigModule(analyzer, first, LoadOptions(), module);
  ASSERT_TRUE(module.error.ok()) << module.error.message();
  EXPECT_EQ(Names(module), "А");
  EXPECT_EQ(module.name, "m");
  EXPECT_FALSE(module.facts.references.empty());

  struct Case {
    std::u16string text;
    std::string names;
    bool external;
    bool ok;
  };
  const Case cases[] = {
      {u"Функция Г()\nКонецФункции\n", "Г", false, true},
      {u"#ЗагрузитьИзФайла ext.bsl\n", "", true, true},
      {u"Процедура Д()\nКонецПроцедуры\nПроцедура Д()\nКонецПроцедуры\n", "Д", false, false},
      {u"", "", false, true},
  };
  for (const Case& c : cases) {
    AnalyseConfigModule(analyzer, TextLines(c.text), false, module);
    EXPECT_EQ(Names(module), c.names) << Utf16ToUtf8(c.text);
    EXPECT_EQ(module.external_text, c.external);
    EXPECT_EQ(module.error.ok(), c.ok) << module.error.message();
    EXPECT_TRUE(module.facts.references.empty());
    EXPECT_EQ(module.name, "m");  // the module keeps what it is
  }
  // The file gone: the module says so and holds no methods.
  std::filesystem::remove(tree.Path("m.bsl"));
  ModuleSource again = source;
  LoadConfigModule(analyzer, again, LoadOptions(), module);
  EXPECT_FALSE(module.error.ok());
  EXPECT_EQ(Names(module), "");
}

}  // namespace
}  // namespace ramulet
