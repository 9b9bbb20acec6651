#include "lsp/workspace_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "config/file_access.h"
#include "config/layout_test_support.h"
#include "lsp/file_uri.h"
#include "lsp/text_document.h"
#include "platform/text.h"

namespace ramulet::lsp {
namespace {

namespace fs = std::filesystem;
using ramulet::testing::TempTree;

// Russian text in Windows-1251, as old-platform dumps hold it.
std::string Cp1251(std::string_view utf8) {
  std::string bytes;
  for (char16_t c : Utf8ToUtf16(utf8)) {
    if (c >= u'А' && c <= u'я') {
      bytes += static_cast<char>(0xC0 + (c - u'А'));
    } else if (c == u'Ё' || c == u'ё') {
      bytes += static_cast<char>(c == u'Ё' ? 0xA8 : 0xB8);
    } else {
      bytes += static_cast<char>(c);
    }
  }
  return bytes;
}

std::string CommonModuleXml(bool global) {
  return "\xEF\xBB\xBF<MetaDataObject><CommonModule><Properties><Name>N</Name>" +
         std::string(global ? "<Global>true</Global>" : "<Global>false</Global>") + "</Properties></CommonModule>";
}

constexpr const char* kManager = "Catalogs/Валюты/Ext/ManagerModule.bsl";
constexpr const char* kCommon = "CommonModules/Общий/Ext/Module.bsl";

// A designer dump: a common module, a global one, a catalog's manager
// module calling the common module once.
void WriteDesignerDump(const TempTree& tree) {
  tree.Write("Configuration.xml", "<MetaDataObject/>");
  tree.Write("CommonModules/Общий.xml", CommonModuleXml(false));
  tree.Write(kCommon, "Процедура П() Экспорт\nКонецПроцедуры\n");
  tree.Write("CommonModules/Глобальный.xml", CommonModuleXml(true));
  tree.Write("CommonModules/Глобальный/Ext/Module.bsl", "Процедура Г() Экспорт\nКонецПроцедуры\n");
  tree.Write("Catalogs/Валюты.xml", "<MetaDataObject/>");
  tree.Write(kManager, "Процедура М()\n  Общий.П();\nКонецПроцедуры\n");
}

// An old-platform dump: the global module and a document's posting module
// calling it by bare name, in Windows-1251.
void WriteOldDump(const TempTree& tree) {
  tree.Write("ГлобальныйМодуль.1s", Cp1251("Процедура Общая() Экспорт\nКонецПроцедуры\n"));
  tree.Write("Документы/Д/МодульПроведения.1s", Cp1251("Процедура Провести()\n  Общая();\nКонецПроцедуры\n"));
}

// The index of one folder with what it told the client, and open
// documents' texts as the server would give them.
struct IndexFixture {
  explicit IndexFixture(const std::vector<std::string>& folders, std::vector<std::string> exclude = {},
                        std::vector<std::string> globals = {}) {
    index.SetDocumentText([this](const std::string& uri) -> const TextDocument* {
      auto open = documents.find(uri);
      return open == documents.end() ? nullptr : &open->second;
    });
    index.Start(WorkspaceIndex::Options{folders, std::move(globals), std::move(exclude), 2}, true);
    index.WaitIndexed();
  }
  const Configuration& Config() {
    std::vector<ConfigView> views = index.Views();
    EXPECT_EQ(views.size(), 1u);
    return *views.at(0).configuration;
  }
  // The names of the methods of module `name`; "absent" when there is none.
  std::string Methods(const std::string& name) {
    const Configuration& config = Config();
    int32_t module = config.FindModule(name);
    if (module < 0) return "absent";
    std::string names;
    for (const MethodInfo& method : config.modules[static_cast<size_t>(module)].analysis.methods) {
      names += (names.empty() ? "" : " ") + Utf16ToUtf8(method.name);
    }
    return names;
  }
  // Calls from other modules reaching a method of module `name`.
  size_t CallsInto(const std::string& name) {
    const Configuration& config = Config();
    int32_t module = config.FindModule(name);
    size_t calls = 0;
    for (const Edge& edge : config.graph.edges) calls += edge.to_module == module && edge.to_method >= 0 && edge.from.module != module;
    return calls;
  }
  void FileEvent(const std::string& path, int type) {
    index.FilesChanged(Json{{"changes", Json::array({Json{{"uri", FileUriFromPath(path)}, {"type", type}}})}});
  }
  std::vector<std::string> Logged() {
    std::vector<std::string> logged;
    Locked lock(mutex);
    for (const Json& message : sent) {
      if (message["method"] == "window/logMessage") logged.push_back(message["params"]["message"]);
    }
    return logged;
  }

  Mutex mutex;
  std::vector<Json> sent;
  std::map<std::string, TextDocument> documents;
  WorkspaceIndex index{nullptr, [this](Json message) {
                         Locked lock(mutex);
                         sent.push_back(std::move(message));
                       }};
};

TEST(WorkspaceIndexTest, BothGenerationsAreIndexedWithProgress) {
  struct Case {
    void (*write)(const TempTree&);
    size_t modules;
    std::string callee;
  };
  for (const Case& c : {Case{WriteDesignerDump, 3, "CommonModule.Общий"}, Case{WriteOldDump, 2, "ГлобальныйМодуль"}}) {
    TempTree tree;
    c.write(tree);
    IndexFixture fixture({tree.root()});
    EXPECT_EQ(fixture.Config().modules.size(), c.modules);
    EXPECT_EQ(fixture.CallsInto(c.callee), 1u) << c.callee;
    // A request creating the progress, then begin, reports and end.
    ASSERT_GE(fixture.sent.size(), 3u);
    EXPECT_EQ(fixture.sent[0]["method"], "window/workDoneProgress/create");
    EXPECT_TRUE(fixture.sent[0].contains("id"));
    std::vector<std::string> kinds;
    int percentage = 0;
    for (const Json& message : fixture.sent) {
      if (message["method"] != "$/progress") continue;
      const Json& value = message["params"]["value"];
      kinds.push_back(value["kind"]);
      if (value.contains("percentage")) {
        EXPECT_GE(value["percentage"].get<int>(), percentage);
        percentage = value["percentage"];
      }
      if (value["kind"] == "report") {
        EXPECT_NE(value["message"].get<std::string>().find(" of " + std::to_string(c.modules) + " modules"),
                  std::string::npos);
      }
    }
    EXPECT_EQ(kinds.front(), "begin");
    EXPECT_EQ(kinds.back(), "end");
    EXPECT_EQ(percentage, 100);
  }
}

TEST(WorkspaceIndexTest, FilesChangedOnDiskAreReadAgain) {
  TempTree tree;
  WriteDesignerDump(tree);
  IndexFixture fixture({tree.root()});
  // Changed: the module calls the common module twice now.
  tree.Write(kManager, "Процедура М()\n  Общий.П();\n  Общий.П();\nКонецПроцедуры\n");
  fixture.FileEvent(tree.Path(kManager), 2);
  EXPECT_EQ(fixture.CallsInto("CommonModule.Общий"), 2u);
  // Added: an object module.
  tree.Write("Catalogs/Валюты/Ext/ObjectModule.bsl", "Процедура О()\n  Общий.П();\nКонецПроцедуры\n");
  fixture.FileEvent(tree.Path("Catalogs/Валюты/Ext/ObjectModule.bsl"), 1);
  EXPECT_EQ(fixture.Methods("Catalog.Валюты.ObjectModule"), "О");
  EXPECT_EQ(fixture.CallsInto("CommonModule.Общий"), 3u);
  // Deleted: the manager module and its calls are gone.
  fs::remove(PathFromUtf8(tree.Path(kManager)));
  fixture.FileEvent(tree.Path(kManager), 3);
  EXPECT_EQ(fixture.Methods("Catalog.Валюты.ManagerModule"), "absent");
  EXPECT_EQ(fixture.CallsInto("CommonModule.Общий"), 1u);
  // Metadata: the common module becomes global.
  tree.Write("CommonModules/Общий.xml", CommonModuleXml(true));
  fixture.FileEvent(tree.Path("CommonModules/Общий.xml"), 2);
  const Configuration& config = fixture.Config();
  EXPECT_TRUE(config.modules[static_cast<size_t>(config.FindModule("CommonModule.Общий"))].global);
  EXPECT_EQ(fixture.Methods("CommonModule.Общий"), "П");
}

TEST(WorkspaceIndexTest, AnOpenDocumentWinsOverItsFileUntilClosed) {
  TempTree tree;
  WriteDesignerDump(tree);
  const std::string uri = FileUriFromPath(tree.Path(kCommon));
  // Opened before the index is there: it applies once it is.
  IndexFixture fixture({tree.root()});
  fixture.documents.emplace(uri, TextDocument(u"Процедура Новая() Экспорт\nКонецПроцедуры\n"));
  fixture.index.DocumentChanged(uri);
  EXPECT_EQ(fixture.Methods("CommonModule.Общий"), "Новая");
  EXPECT_EQ(fixture.CallsInto("CommonModule.Общий"), 0u);  // П is not there in the editor
  auto located = fixture.index.Locate(uri);
  ASSERT_TRUE(located.has_value());
  EXPECT_EQ(located->view.configuration->modules[static_cast<size_t>(located->module)].name, "CommonModule.Общий");
  // Edits apply at the next answer.
  fixture.documents.at(uri).Replace(u"Процедура Новая() Экспорт\nКонецПроцедуры\nФункция Ещё()\nКонецФункции\n");
  fixture.index.DocumentChanged(uri);
  EXPECT_EQ(fixture.Methods("CommonModule.Общий"), "Новая Ещё");
  // The file changing on disk does not override the editor's text.
  tree.Write(kCommon, "Процедура СДиска() Экспорт\nКонецПроцедуры\n");
  fixture.FileEvent(tree.Path(kCommon), 2);
  EXPECT_EQ(fixture.Methods("CommonModule.Общий"), "Новая Ещё");
  // A rescan (a file added) keeps it too.
  tree.Write("Catalogs/Валюты/Ext/ObjectModule.bsl", "");
  fixture.FileEvent(tree.Path("Catalogs/Валюты/Ext/ObjectModule.bsl"), 1);
  EXPECT_EQ(fixture.Methods("CommonModule.Общий"), "Новая Ещё");
  // Closed: back to the disk's text.
  fixture.documents.erase(uri);
  fixture.index.DocumentClosed(uri);
  EXPECT_EQ(fixture.Methods("CommonModule.Общий"), "СДиска");
  EXPECT_FALSE(fixture.index.Locate("file:///elsewhere/x.bsl").has_value());
}

TEST(WorkspaceIndexTest, ExcludeGlobsAndGlobalModules) {
  TempTree tree;
  tree.Write("lib/a.bsl", "Процедура А() Экспорт\nКонецПроцедуры\n");
  tree.Write("lib/tests/a_test.bsl", "");
  tree.Write("vendor/x/v.os", "");
  tree.Write("main.bsl", "Процедура Главная()\n  А();\nКонецПроцедуры\n");
  IndexFixture fixture({tree.root()}, {"**/tests/**", "vendor/**"}, {"lib/a.bsl"});
  const Configuration& config = fixture.Config();
  std::vector<std::string> paths;
  for (const ConfigModule& module : config.modules) paths.push_back(module.path);
  EXPECT_EQ(paths, (std::vector<std::string>{"lib/a.bsl", "main.bsl"}));
  EXPECT_TRUE(config.modules[0].global);
  EXPECT_EQ(fixture.CallsInto("lib.a"), 1u);  // the bare call reaches the global module
  // An excluded file that changes stays out.
  tree.Write("vendor/x/v.os", "Процедура В()\nКонецПроцедуры\n");
  fixture.FileEvent(tree.Path("vendor/x/v.os"), 2);
  EXPECT_EQ(fixture.Config().modules.size(), 2u);
}

TEST(WorkspaceIndexTest, BadInputIsReportedOnceAndTheRestIndexed) {
  TempTree tree;
  WriteDesignerDump(tree);
  tree.Link("Catalogs/Валюты/loop", "..");  // a symbolic link loop
  tree.Write("CommonModules/Закрытый.xml", CommonModuleXml(false));
  tree.Write("CommonModules/Закрытый/Ext/Module.bsl", "Процедура З()\nКонецПроцедуры\n");
  fs::permissions(PathFromUtf8(tree.Path("CommonModules/Закрытый/Ext/Module.bsl")), fs::perms::none);
  TempTree md;  // a truncated old-platform configuration file
  md.Write("1Cv7.MD", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(100, '\0'));
  const std::string removed = tree.root() + "-removed";  // a folder that is not there
  IndexFixture fixture({tree.root(), md.root(), removed});
  std::vector<ConfigView> views = fixture.index.Views();
  ASSERT_EQ(views.size(), 3u);
  EXPECT_GE(views[0].configuration->modules.size(), 4u);  // the rest is indexed
  EXPECT_EQ(views[0].configuration->FindModule("CommonModule.Общий") >= 0, true);
  // Reading it all again reports nothing new.
  const std::vector<std::string> first = fixture.Logged();
  fixture.FileEvent(tree.Path("Configuration.xml"), 2);
  fixture.index.Views();
  std::vector<std::string> logged = fixture.Logged();
  EXPECT_EQ(logged, first);
  std::sort(logged.begin(), logged.end());
  EXPECT_EQ(std::adjacent_find(logged.begin(), logged.end()), logged.end()) << "a problem reported twice";
  auto mentions = [&](const std::string& part) {
    return std::count_if(logged.begin(), logged.end(), [&](const std::string& line) {
      return line.find(part) != std::string::npos;
    });
  };
  EXPECT_EQ(mentions(md.root()), 1);
  EXPECT_EQ(mentions(removed), 1);
  EXPECT_GE(mentions("loop"), 1);
  bool permissions_hold = !std::ifstream(PathFromUtf8(tree.Path("CommonModules/Закрытый/Ext/Module.bsl"))).is_open();
  if (permissions_hold) {
    EXPECT_EQ(mentions("Закрытый"), 1);
  }
}

}  // namespace
}  // namespace ramulet::lsp
