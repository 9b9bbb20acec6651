#include "site/site_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "platform/text.h"
#include "tests/support/config_fixture.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

Configuration HostileConfiguration() {
  Configuration configuration;
  BuildConfiguration(
      {{"CommonModule.Общий", "CommonModule", false,
        "Функция Открытая(А) Экспорт // </script><script>alert(1)</script>\n"
        "  Возврат Закрытая(\"<img src=x onerror=alert(1)>&amp;\");\nКонецФункции\n"
        "Функция Закрытая(А)\n  Возврат А;\nКонецФункции\n"},
       {"Catalog.Валюты.ManagerModule", "ManagerModule", false,
        "Процедура Курс() Экспорт\n  Общий.Открытая(1); Общий.Открытая(2);\n  Сам();\nКонецПроцедуры\n"
        "Процедура Сам()\nКонецПроцедуры\n"}},
      {}, ConfigLayout::kDesigner, configuration);
  // The texts as the pages show them: the fixture drops them.
  const char* texts[] = {
      "Функция Открытая(А) Экспорт // </script><script>alert(1)</script>\n"
      "  Возврат Закрытая(\"<img src=x onerror=alert(1)>&amp;\");\nКонецФункции\n"
      "Функция Закрытая(А)\n  Возврат А;\nКонецФункции\n",
      "Процедура Курс() Экспорт\n  Общий.Открытая(1); Общий.Открытая(2);\n  Сам();\nКонецПроцедуры\n"
      "Процедура Сам()\nКонецПроцедуры\n"};
  for (size_t m = 0; m < 2; ++m) configuration.modules[m].text = TextLines(U16(texts[m]));
  configuration.root = "конфигурация <em onclick=x>";
  return configuration;
}

class SiteWriterTest : public testing::Test {
 protected:
  void SetUp() override {
    out_ = fs::temp_directory_path() / "ramulet-site-test";
    fs::remove_all(out_);
    fs::create_directories(out_);
    std::ofstream(out_ / "mine.txt") << "kept";
  }
  void TearDown() override { fs::remove_all(out_); }
  fs::path out_;
};

TEST_F(SiteWriterTest, EveryLinkNamesAFileAndAnAnchorThatExist) {
  SiteStats stats;
  ASSERT_TRUE(WriteSite(HostileConfiguration(), out_.string(), &stats).ok());
  EXPECT_EQ(stats.files, 6u);  // stylesheet, script, search index, index, two modules
  EXPECT_EQ(ReadAll(out_ / "mine.txt"), "kept");

  std::map<std::string, std::set<std::string>> ids;  // page -> ids
  const std::regex id_pattern(R"re(\bid="([^"]*)")re"), href_pattern(R"re(\bhref="([^"]*)")re");
  std::map<std::string, std::string> pages;
  for (const auto& entry : fs::directory_iterator(out_)) {
    if (entry.path().extension() != ".html") continue;
    const std::string name = entry.path().filename().string();
    pages[name] = ReadAll(entry.path());
    for (std::sregex_iterator at(pages[name].begin(), pages[name].end(), id_pattern), end; at != end; ++at) {
      ids[name].insert((*at)[1]);
    }
  }
  ASSERT_EQ(pages.size(), 3u);
  size_t links = 0;
  for (const auto& [name, html] : pages) {
    for (std::sregex_iterator at(html.begin(), html.end(), href_pattern), end; at != end; ++at, ++links) {
      const std::string href = (*at)[1];
      const size_t hash = href.find('#');
      const std::string file = hash == 0 ? name : href.substr(0, hash);
      ASSERT_TRUE(fs::exists(out_ / file)) << name << ": " << href;
      if (hash != std::string::npos) {
        EXPECT_EQ(ids[file].count(href.substr(hash + 1)), 1u) << name << ": " << href;
      }
    }
  }
  EXPECT_GT(links, 20u);
  // Calls are links: two into the common module, one within the module.
  EXPECT_NE(pages["m1.html"].find("Общий.<a href=\"m0.html#M0\">Открытая</a>(1); Общий.<a href=\"m0.html#M0\">Открытая</a>(2)"),
            std::string::npos)
      << pages["m1.html"];
  EXPECT_NE(pages["m1.html"].find("<a href=\"#M1\">Сам</a>();"), std::string::npos);
}

TEST_F(SiteWriterTest, TextFromModulesRunsNothing) {
  ASSERT_TRUE(WriteSite(HostileConfiguration(), out_.string()).ok());
  for (const char* page : {"index.html", "m0.html", "m1.html"}) {
    const std::string html = ReadAll(out_ / page);
    EXPECT_EQ(html.find("<script>"), std::string::npos) << page;
    EXPECT_EQ(html.find("<img"), std::string::npos) << page;
    EXPECT_EQ(html.find("<em onclick"), std::string::npos) << page;
    // Our own scripts only, from files.
    EXPECT_NE(html.find("script-src 'self'"), std::string::npos) << page;
  }
  EXPECT_NE(ReadAll(out_ / "m0.html").find("&lt;/script&gt;&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
}

TEST_F(SiteWriterTest, AFolderThatCannotBeMadeIsAnError) {
  const Status written = WriteSite(HostileConfiguration(), (out_ / "mine.txt" / "site").string());
  EXPECT_FALSE(written.ok());
  EXPECT_NE(written.message().find("mine.txt"), std::string::npos) << written.message();
}

}  // namespace
}  // namespace ramulet
