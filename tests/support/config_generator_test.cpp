#include "tests/support/config_generator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/module_analyzer.h"
#include "platform/text.h"
#include "textio/module_text.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;
using Generation = ConfigShape::Generation;

// A folder removed when the test ends.
class TempFolder {
 public:
  explicit TempFolder(const std::string& name)
      : path_(fs::temp_directory_path() / ("ramulet-generator-" + name + "-" + std::to_string(::getpid()))) {
    fs::remove_all(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string str() const { return path_.string(); }
  fs::path operator/(const std::string& relative) const { return path_ / relative; }

 private:
  fs::path path_;
};

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every file under `root` by its relative path, with its bytes.
std::map<std::string, std::string> ReadTree(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files[fs::relative(entry.path(), root).string()] = Read(entry.path());
  }
  return files;
}

size_t Count(const std::string& text, const std::string& needle) {
  size_t count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
  return count;
}

size_t CountMatches(const std::string& text, const std::regex& pattern) {
  return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

ConfigShape SmallShape(Generation generation, uint32_t seed = 1) {
  ConfigShape shape = DefaultConfigShape(generation, generation == Generation::kNewer ? 60.0 / 2200 : 40.0 / 518);
  shape.lines = 20000;
  shape.seed = seed;
  return shape;
}

TEST(ConfigGenerator, SameShapeAndSeedGiveTheSameFilesAnotherSeedOthers) {
  for (Generation generation : {Generation::kNewer, Generation::kOld}) {
    TempFolder first("same-1"), second("same-2"), other("other");
    ASSERT_TRUE(WriteGeneratedConfiguration(SmallShape(generation), first.str(), nullptr).ok());
    ASSERT_TRUE(WriteGeneratedConfiguration(SmallShape(generation), second.str(), nullptr).ok());
    ASSERT_TRUE(WriteGeneratedConfiguration(SmallShape(generation, 2), other.str(), nullptr).ok());
    std::map<std::string, std::string> files = ReadTree(first / "");
    EXPECT_EQ(files, ReadTree(second / ""));
    EXPECT_NE(files, ReadTree(other / ""));
  }
}

// The counts match what is on disk: modules, their lines and every byte.
TEST(ConfigGenerator, CountsWhatItWrote) {
  for (Generation generation : {Generation::kNewer, Generation::kOld}) {
    TempFolder folder("counts");
    ConfigShape shape = SmallShape(generation);
    GeneratedConfig written;
    ASSERT_TRUE(WriteGeneratedConfiguration(shape, folder.str(), &written).ok());
    int32_t modules = 0;
    int64_t lines = 0;
    uint64_t bytes = 0;
    for (const auto& [path, text] : ReadTree(folder / "")) {
      bytes += text.size();
      if (!path.ends_with(".bsl") && !path.ends_with(".1s")) continue;
      ++modules;
      lines += static_cast<int64_t>(Count(text, "\r\n"));
    }
    EXPECT_EQ(written.modules, shape.modules);
    EXPECT_EQ(modules, shape.modules);
    EXPECT_EQ(written.lines, shape.lines);
    EXPECT_EQ(lines, shape.lines);
    EXPECT_EQ(written.bytes, bytes);
    EXPECT_GT(written.exported_methods, 0);
  }
}

TEST(ConfigGenerator, NewerGenerationIsADesignerDumpWithEveryKindOfReference) {
  TempFolder folder("newer");
  ASSERT_TRUE(WriteGeneratedConfiguration(SmallShape(Generation::kNewer), folder.str(), nullptr).ok());
  std::map<std::string, std::string> files = ReadTree(folder / "");
  for (const char* path : {"Configuration.xml", "Ext/SessionModule.bsl", "CommonModules/ОбщегоНазначения.xml",
                           "CommonModules/ОбщегоНазначения/Ext/Module.bsl"}) {
    EXPECT_TRUE(files.count(path)) << path;
  }
  EXPECT_TRUE(files["Ext/SessionModule.bsl"].starts_with("\xEF\xBB\xBF"));
  EXPECT_NE(files["CommonModules/ОбщегоНазначения.xml"].find("<Global>false</Global>"), std::string::npos);
  // Identifiers are UTF-8 here, which \w does not match: a name is a run
  // of anything but blanks and punctuation.
  const std::string id = R"([^\s().,"=;<>]+)";
  std::string code, flags, forms, jobs, subscriptions, globals;
  std::vector<std::string> common_modules;
  std::map<std::string, size_t> layout;
  std::regex kind(R"(^(Catalogs|Documents|InformationRegisters)/[^/]+/(Ext/\w+\.bsl|Forms/[^/]+/Ext/Form\.xml|Forms/[^/]+/Ext/Form/Module\.bsl)$)");
  for (const auto& [path, text] : files) {
    std::smatch match;
    if (std::regex_match(path, match, kind)) ++layout[match[1].str() + "/" + std::regex_replace(match[2].str(), std::regex("Forms/[^/]+"), "Forms/F")];
    if (path.ends_with(".bsl")) code += text;
    if (path.starts_with("CommonModules/") && path.ends_with(".xml")) {
      common_modules.push_back(path.substr(14, path.size() - 18));
    }
    if (path.starts_with("CommonModules/") && path.ends_with(".xml") && Count(text, "<Global>true")) {
      globals += files[path.substr(0, path.size() - 4) + "/Ext/Module.bsl"];
    }
    if (path.starts_with("CommonModules/") && path.ends_with(".xml")) flags += text;
    if (path.ends_with("Form.xml")) forms += text;
    if (path.starts_with("ScheduledJobs/")) jobs += text;
    if (path.starts_with("EventSubscriptions/")) subscriptions += text;
  }
  for (const char* path : {"Catalogs/Ext/ManagerModule.bsl", "Catalogs/Ext/ObjectModule.bsl", "Documents/Ext/ManagerModule.bsl",
                           "Documents/Ext/ObjectModule.bsl", "Documents/Forms/F/Ext/Form/Module.bsl",
                           "Documents/Forms/F/Ext/Form.xml", "InformationRegisters/Ext/RecordSetModule.bsl"}) {
    EXPECT_GT(layout[path], 0u) << path;
  }
  EXPECT_GT(Count(flags, "<Global>true</Global>"), 0u);
  EXPECT_GT(Count(forms, "<Event name=\"OnOpen\">ПриОткрытии</Event>"), 0u);
  EXPECT_GT(Count(forms, "<Action>КомандаЗаполнить</Action>"), 0u);
  EXPECT_GT(Count(code, "Процедура КомандаЗаполнить(Команда)"), 0u);
  EXPECT_GT(CountMatches(jobs, std::regex("<MethodName>CommonModule\\." + id + "\\." + id + "</MethodName>")), 0u);
  EXPECT_GT(CountMatches(subscriptions, std::regex("<Handler>CommonModule\\." + id + "\\." + id + "</Handler>")), 0u);

  // Each kind of reference, by its text.
  std::map<std::string, std::regex> kinds = {
      {"common module", std::regex("\t(ОбщегоНазначения|" + id + "(Сервер|Клиент|ВызовСервера))\\." + id + "\\(")},
      {"binding", std::regex("Модуль" + id + " = ОбщегоНазначения\\.ОбщийМодуль\\(\"" + id + "\"\\);")},
      {"through the binding", std::regex("\tМодуль" + id + "\\." + id + "\\(")},
      {"manager", std::regex("(Справочники|Документы)\\." + id + "\\.(?!НайтиПоНаименованию)" + id + "\\(")},
      {"notification", std::regex("Новый ОписаниеОповещения\\(\"" + id + "\", (ЭтотОбъект|" + id + ", Параметры)\\)")},
      {"idle handler", std::regex("(Подключить|Отключить)ОбработчикОжидания\\(\"" + id + "\"")},
      {"name in a string", std::regex("ИмяПроцедуры = \"" + id + "\\." + id + "\";")},
      {"dynamic", std::regex("(Выполнить|Вычислить)\\((ТекстАлгоритма|Выражение)\\)")},
      {"absent module", std::regex("ОбщийМодуль\\(\"УстаревшаяПодсистема[0-9]+\"\\)")},
      {"unknown member", std::regex("\\.УдаленныйМетод[0-9]+\\(")},
  };
  for (const auto& [name, pattern] : kinds) EXPECT_GT(CountMatches(code, pattern), 0u) << name;
  size_t named_like_modules = 0;
  for (const std::string& name : common_modules) named_like_modules += Count(code, ", " + name + ")\r\n");
  EXPECT_GT(named_like_modules, 0u) << "a parameter named like a common module";
  // Bare calls of the global modules' exports (code holds their
  // definitions too, once each).
  size_t bare_calls = 0;
  std::regex exported("\n(Процедура|Функция) (" + id + ")\\([^)]*\\) Экспорт");
  for (auto it = std::sregex_iterator(globals.begin(), globals.end(), exported); it != std::sregex_iterator(); ++it) {
    bare_calls += Count(code, "\t" + (*it)[2].str() + "(") + Count(code, " = " + (*it)[2].str() + "(");
  }
  EXPECT_GT(bare_calls, 0u);
}

TEST(ConfigGenerator, OldGenerationIsAnOldDumpInWindows1251) {
  TempFolder folder("old");
  ASSERT_TRUE(WriteGeneratedConfiguration(SmallShape(Generation::kOld), folder.str(), nullptr).ok());
  std::map<std::string, std::string> files = ReadTree(folder / "");
  const std::string& global = files["ГлобальныйМодуль.1s"];
  ASSERT_FALSE(global.empty());
  EXPECT_EQ(global.substr(0, 5), "\xCF\xE5\xF0\xE5\xEC");  // "Перем" in Windows-1251, no mark before it
  std::map<std::string, size_t> layout;
  std::regex form_or_module(R"(^(Документы|Справочники|Отчеты|Обработки|ЖурналыДокументов)/[^/]+/(.*)$)");
  std::string dialogs;
  for (const auto& [path, text] : files) {
    std::smatch match;
    if (!std::regex_match(path, match, form_or_module)) continue;
    std::string inner = std::regex_replace(match[2].str(), std::regex("^[^/]+\\.fls"), "Ф.fls");
    ++layout[match[1].str() + "/" + inner];
    if (path.ends_with("МодульФормы.1s")) {
      EXPECT_TRUE(files.count(path.substr(0, path.size() - std::string("МодульФормы.1s").size()) + "Форма.frm")) << path;
    }
    if (path.ends_with(".frm")) dialogs += text;
  }
  for (const char* path : {"Документы/МодульПроведения.1s", "Документы/МодульФормы.1s", "Справочники/МодульФормы.1s",
                           "Справочники/ФормаГруппы/МодульФормы.1s", "Справочники/Ф.fls/МодульФормы.1s",
                           "Отчеты/МодульФормы.1s", "Обработки/МодульФормы.1s"}) {
    EXPECT_GT(layout[path], 0u) << path;
  }
  // "Сформировать()" in Windows-1251 among the dialogs' quoted fields.
  EXPECT_GT(Count(dialogs, "\"\xD1\xF4\xEE\xF0\xEC\xE8\xF0\xEE\xE2\xE0\xF2\xFC()\""), 0u);
  // The global module's first method is an export other modules call by
  // its bare name.
  std::smatch first;
  ASSERT_TRUE(std::regex_search(global, first, std::regex(R"(\n(\xCF\xF0\xEE\xF6\xE5\xE4\xF3\xF0\xE0|\xD4\xF3\xED\xEA\xF6\xE8\xFF) ([^(]+)\()")));
  size_t bare_calls = 0;
  for (const auto& [path, text] : files) {
    if (path.ends_with(".1s") && path != "ГлобальныйМодуль.1s") bare_calls += Count(text, "\t" + first[2].str() + "(");
  }
  EXPECT_GT(bare_calls, 0u);
}

// Calls of the module's own methods, and calls through receivers by kind.
struct CallMix {
  size_t in_module = 0, common = 0, bound = 0, manager = 0;
};

void AddCalls(const ModuleAnalysis& analysis, const std::vector<std::u16string>& common_modules, CallMix& mix) {
  mix.in_module += analysis.calls().size() + analysis.body_calls.size();
  for (const MemberCall& call : analysis.member_calls) {
    std::u16string_view receiver = analysis.ReceiverOf(call);
    if (std::find(common_modules.begin(), common_modules.end(), receiver) != common_modules.end()) ++mix.common;
    if (receiver.starts_with(u"Модуль") || receiver.ends_with(u"ОбщийМодуль()")) ++mix.bound;
    if ((receiver.starts_with(u"Справочники.") || receiver.starts_with(u"Документы.")) &&
        analysis.NameOf(call) != u"НайтиПоНаименованию") {
      ++mix.manager;
    }
  }
}

// Every module reads by the language's rules without an error or a
// warning, with the exports counted; the newer generation's calls keep the
// large library's mix: as many into other modules as within, a tenth of
// those through bound variables, a few into managers.
TEST(ConfigGenerator, ModulesReadCleanlyAndKeepTheCallMix) {
  const ModuleAnalyzer analyzer;
  for (Generation generation : {Generation::kNewer, Generation::kOld}) {
    TempFolder folder("analysed");
    GeneratedConfig written;
    ASSERT_TRUE(WriteGeneratedConfiguration(SmallShape(generation), folder.str(), &written).ok());
    std::map<std::string, std::string> files = ReadTree(folder / "");
    std::vector<std::u16string> common_modules;
    for (const auto& [path, text] : files) {
      if (path.starts_with("CommonModules/") && path.ends_with(".xml")) {
        common_modules.push_back(Utf8ToUtf16(path.substr(14, path.size() - 18)));
      }
    }
    int32_t exported = 0;
    CallMix mix;
    for (auto& [path, bytes] : files) {
      if (!path.ends_with(".bsl") && !path.ends_with(".1s")) continue;
      ModuleText text;
      ASSERT_TRUE(LoadModuleText(std::move(bytes), path.ends_with(".1s") ? Encoding::Cp1251 : Encoding::Auto, text).ok());
      ModuleAnalysis analysis;
      ASSERT_TRUE(analyzer.Analyze(text.lines, analysis, RuleSet::kLanguage).ok()) << path;
      EXPECT_TRUE(analysis.ok() && analysis.warnings.empty()) << path;
      EXPECT_GT(analysis.MethodCount(), 0) << path;
      for (const MethodInfo& method : analysis.methods) exported += method.exported ? 1 : 0;
      AddCalls(analysis, common_modules, mix);
    }
    EXPECT_EQ(exported, written.exported_methods);
    if (generation == Generation::kOld) continue;
    double cross = static_cast<double>(mix.common + mix.bound + mix.manager);
    EXPECT_GT(cross / static_cast<double>(mix.in_module), 0.75);
    EXPECT_LT(cross / static_cast<double>(mix.in_module), 1.33);
    EXPECT_GT(static_cast<double>(mix.bound) / cross, 0.05);
    EXPECT_LT(static_cast<double>(mix.bound) / cross, 0.2);
    EXPECT_GT(static_cast<double>(mix.manager) / cross, 0.01);
    EXPECT_LT(static_cast<double>(mix.manager) / cross, 0.08);
  }
}

TEST(ConfigGenerator, RefusesShapesItCannotWrite) {
  struct Case {
    const char* what;
    int32_t modules, common, global;
    int64_t lines;
  };
  for (const Case& c : std::initializer_list<Case>{{"too few modules", 3, 2, 1, 1000},
                                                   {"too few lines", 60, 10, 2, 1000},
                                                   {"common modules fill everything", 60, 60, 2, 20000},
                                                   {"every common module global", 60, 10, 10, 20000}}) {
    ConfigShape shape;
    shape.modules = c.modules;
    shape.common_modules = c.common;
    shape.global_modules = c.global;
    shape.lines = c.lines;
    TempFolder folder("refused");
    EXPECT_EQ(WriteGeneratedConfiguration(shape, folder.str(), nullptr).code(), Status::kInvalidArgument) << c.what;
    EXPECT_FALSE(fs::exists(folder / "")) << c.what;
  }
}

}  // namespace
}  // namespace ramulet
