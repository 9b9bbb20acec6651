// The resolution compared with the plain one of tests/support on random
// configurations made of snippets of every rule, and on a generated one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "tests/support/config_fixture.h"
#include "tests/support/config_generator.h"
#include "tests/support/reference_config.h"

namespace ramulet {
namespace {

using ::testing::ElementsAreArray;

// Lines of code in which {M} is a module's name (or none's), {F} a method's,
// {V} a variable's (some named like modules).
const char* const kSnippets[] = {
    "{M}.{F}();",
    "{F}();",
    "{V} = ОбщийМодуль(\"{M}\");",
    "{V} = ОбщегоНазначения.ОбщийМодуль(\"{M}\");",
    "{V} = Объект.ОбщийМодуль(\"{M}\");",
    "{V}.{F}();",
    "{V} = 1;",
    "Если {V} = 1 Тогда {V}.{F}(); КонецЕсли;",
    "Если Условие Тогда {V} = ОбщийМодуль(\"{M}\"); Иначе {V} = Неопределено; КонецЕсли;",
    "Для Каждого {V} Из Список Цикл {V}.{F}(); КонецЦикла;",
    "Для {V} = 1 По 3 Цикл {F}({V}); КонецЦикла;",
    "Перем {V};",
    "Справочники.Товары.{F}();",
    "Документы.Заказ.{F}();",
    "Catalogs.Товары.{F}();",
    "ОбщийМодуль(\"Справочники.Товары\").{F}();",
    "{V} = ОбщийМодуль(\"Справочники.Товары\");",
    "ОбщегоНазначения.ОбщийМодуль(\"{M}\").{F}();",
    "О = Новый ОписаниеОповещения(\"{F}\", ЭтотОбъект);",
    "О = Новый ОписаниеОповещения(\"{F}\", {M}, 1);",
    "О = Новый ОписаниеОповещения(\n\t\"{F}\",\n\t{V});",
    "ПодключитьОбработчикОжидания(\"{F}\", 1);",
    "ОтключитьОбработчикОжидания(\"{F}\");",
    "Запустить(\"{M}.{F}\");",
    "Выполнить(Код);",
    "А = Вычислить(\"1\") + {M}.{F}();",
    "ЭтотОбъект.{F}();",
    "А = \"{M}.{F}()\"; // {M}.{F}()",
    "Текст = \"ВЫБРАТЬ\n\t|{M}.{F}()\n\t|\"\"{M}.{F}\"\"\";",
    "#Если Сервер Тогда\n{M}.{F}();\n#КонецЕсли",
    "А = Новый {F}();",
    "Б = СтрДлина(А) + {M}.{F}(А).{F}();",
};

const char* const kCommonNames[] = {"ОбщегоНазначения", "Общий1", "Общий2", "Общий3", "Глоб1", "Глоб2"};
const char* const kMethodNames[] = {"Метод1", "Метод2", "Метод3", "ОбщийМодуль", "Своя"};
const char* const kVariableNames[] = {"Модуль", "Мод2", "Общий1", "Справочники"};

class SnippetConfiguration {
 public:
  explicit SnippetConfiguration(uint32_t seed) : random_(seed) {}

  std::vector<FixtureModule> Make() {
    std::vector<FixtureModule> modules;
    for (const char* name : kCommonNames) {
      const bool global = std::string(name).starts_with("Глоб");
      modules.push_back({std::string("CommonModule.") + name, "CommonModule", global, Module(false)});
    }
    modules.push_back({"Catalog.Товары.ManagerModule", "ManagerModule", false, Module(false)});
    modules.push_back({"Catalog.Товары.Form.Ф", "FormModule", false, Module(false)});
    modules.push_back({"Document.Заказ.ObjectModule", "ObjectModule", false, Module(true)});
    return modules;
  }

 private:
  template <size_t N>
  const char* Pick(const char* const (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random_)];
  }
  bool Chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random_) < percent; }

  std::string Fill(std::string text) {
    for (;;) {
      const size_t at = text.find('{');
      if (at == std::string::npos) return text;
      const char kind = text[at + 1];
      std::string value = kind == 'F' ? Pick(kMethodNames)
                          : kind == 'V' ? Pick(kVariableNames)
                                        : (Chance(15) ? "Нет" : Pick(kCommonNames));
      text.replace(at, 3, value);
    }
  }

  std::string Module(bool duplicate_allowed) {
    std::ostringstream out;
    if (Chance(30)) out << Fill("Перем {V};") << "\n";
    std::vector<std::string> declared;
    const int methods = std::uniform_int_distribution<int>(1, 4)(random_);
    for (int m = 0; m < methods; ++m) {
      std::string name = Pick(kMethodNames);
      if (std::find(declared.begin(), declared.end(), name) != declared.end() && !(duplicate_allowed && Chance(30)))
        continue;
      declared.push_back(name);
      out << (Chance(50) ? "Процедура " : "Функция ") << name << "(";
      if (Chance(40)) out << Pick(kVariableNames);
      if (Chance(20)) out << ", Знач " << Pick(kVariableNames) << " = 1";
      out << ")" << (Chance(60) ? " Экспорт" : "") << "\n";
      const int lines = std::uniform_int_distribution<int>(1, 7)(random_);
      for (int l = 0; l < lines; ++l) out << "\t" << Fill(Pick(kSnippets)) << "\n";
      out << "КонецПроцедуры\n\n";
    }
    if (Chance(40)) out << Fill(Pick(kSnippets)) << "\n";
    return out.str();
  }

  std::mt19937 random_;
};

TEST(ResolverDifferentialTest, RandomConfigurationsOfEveryRule) {
  size_t edges = 0;
  std::array<size_t, kEdgeKindCount> kinds{};
  std::array<size_t, kUnresolvedKindCount> unresolved{};
  for (uint32_t seed = 1; seed <= 150; ++seed) {
    const std::vector<FixtureModule> modules = SnippetConfiguration(seed).Make();
    for (ConfigLayout layout : {ConfigLayout::kDesigner, ConfigLayout::kOldDump}) {
      Configuration configuration;
      BuildConfiguration(modules, {}, layout, configuration);
      const ReferenceGraph expected = ResolvePlainly(modules, configuration);
      SCOPED_TRACE("seed " + std::to_string(seed) + ", layout " + LayoutName(layout));
      ASSERT_THAT(DescribeEdges(configuration), ElementsAreArray(expected.edges));
      ASSERT_THAT(DescribeUnresolved(configuration), ElementsAreArray(expected.unresolved));
      edges += expected.edges.size();
      const auto counts = configuration.graph.EdgeCounts();
      for (size_t k = 0; k < kEdgeKindCount; ++k) kinds[k] += counts[k];
      const auto missing = configuration.graph.UnresolvedCounts();
      for (size_t k = 0; k < kUnresolvedKindCount; ++k) unresolved[k] += missing[k];
    }
  }
  EXPECT_GT(edges, 1000u);
  // Every kind the code makes was compared many times.
  for (size_t k = 0; k < kEdgeKindCount; ++k) {
    const auto kind = static_cast<EdgeKind>(k);
    if (kind == EdgeKind::kMetadata || kind == EdgeKind::kDialog) continue;
    EXPECT_GT(kinds[k], 20u) << EdgeKindName(kind);
  }
  for (size_t k = 0; k < kUnresolvedKindCount; ++k) EXPECT_GT(unresolved[k], 20u) << k;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  return bytes;
}

// "Catalogs" → "Catalog", "ChartsOfAccounts" → "ChartOfAccounts".
std::string Singular(std::string kinds) {
  if (kinds.starts_with("ChartsOf")) return "ChartOf" + kinds.substr(8);
  if (kinds.ends_with("sses") || kinds.ends_with("ches")) return kinds.substr(0, kinds.size() - 2);
  return kinds.ends_with('s') ? kinds.substr(0, kinds.size() - 1) : kinds;
}

// The modules of a designer dump named as the layout reader names them;
// kept apart from it, so that the resolution is compared on its own.
std::vector<FixtureModule> ReadDesignerDump(const std::filesystem::path& root) {
  std::vector<std::pair<std::string, FixtureModule>> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file() || entry.path().extension() != ".bsl") continue;
    const std::string path = std::filesystem::relative(entry.path(), root).generic_string();
    std::vector<std::string> parts;
    for (const auto& part : std::filesystem::path(path)) parts.push_back(part.string());
    FixtureModule module;
    module.text = ReadFile(entry.path());
    const std::string stem = std::filesystem::path(parts.back()).stem().string();
    if (parts.size() == 4 && parts[0] == "CommonModules") {
      module.name = "CommonModule." + parts[1];
      module.global = ReadFile(root / "CommonModules" / (parts[1] + ".xml")).find("<Global>true</Global>") !=
                      std::string::npos;
    } else if (parts.size() == 4 && parts[2] == "Ext") {
      module.name = Singular(parts[0]) + "." + parts[1] + "." + stem;
      module.kind = stem;
    } else if (parts.size() == 7 && parts[2] == "Forms") {
      module.name = Singular(parts[0]) + "." + parts[1] + ".Form." + parts[3];
      module.kind = "FormModule";
    } else {
      module.name = path.substr(0, path.size() - 4);
      std::replace(module.name.begin(), module.name.end(), '/', '.');
      module.kind = "Module";
    }
    found.emplace_back(path, std::move(module));
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<FixtureModule> modules;
  for (auto& [path, module] : found) modules.push_back(std::move(module));
  return modules;
}

TEST(ResolverDifferentialTest, AGeneratedConfiguration) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "resolver_diff_config";
  std::filesystem::remove_all(dir);
  ConfigShape shape;
  shape.modules = 60;
  shape.common_modules = 16;
  shape.global_modules = 3;
  shape.lines = 12000;
  const Status written = WriteGeneratedConfiguration(shape, dir.string(), nullptr);
  if (!written.ok()) GTEST_SKIP() << written.message();
  const std::vector<FixtureModule> modules = ReadDesignerDump(dir);
  ASSERT_FALSE(modules.empty());
  Configuration configuration;
  BuildConfiguration(modules, {}, ConfigLayout::kDesigner, configuration);
  const ReferenceGraph expected = ResolvePlainly(modules, configuration);
  EXPECT_THAT(DescribeEdges(configuration), ElementsAreArray(expected.edges));
  EXPECT_THAT(DescribeUnresolved(configuration), ElementsAreArray(expected.unresolved));
  const auto counts = configuration.graph.EdgeCounts();
  EXPECT_GT(counts[static_cast<size_t>(EdgeKind::kCommon)], 0u);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ramulet
