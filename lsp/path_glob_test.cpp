#include "lsp/path_glob.h"

#include <gtest/gtest.h>

namespace ramulet::lsp {
namespace {

TEST(PathGlobTest, Matches) {
  struct Case {
    const char* glob;
    const char* path;
    bool matches;
  };
  const Case cases[] = {
      {"*.bsl", "a.bsl", true},
      {"*.bsl", "d/a.bsl", false},  // one folder level only
      {"**/*.bsl", "a.bsl", true},  // "**/" may stand for no folder
      {"**/*.bsl", "d/e/a.bsl", true},
      {"Catalogs/**", "Catalogs/В/Ext/ManagerModule.bsl", true},
      {"Catalogs/**", "CommonModules/Catalogs.bsl", false},
      {"**/Ext/Module.bsl", "CommonModules/О/Ext/Module.bsl", true},
      {"**/Ext/Module.bsl", "CommonModules/О/Ext/Form/Module.bsl", false},
      {"a/**/b.bsl", "a/b.bsl", true},
      {"a/**/b.bsl", "a/x/y/b.bsl", true},
      {"?.os", "я.os", true},  // one character, however many bytes
      {"?.os", "ab.os", false},
      {"?/x", "/x", false},
      {"Общ*", "Общий", true},
      {"общий", "Общий", false},  // letter case counts
      {"", "", true},
      {"*", "", true},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
  };
  for (const Case& c : cases) EXPECT_EQ(GlobMatches(c.glob, c.path), c.matches) << c.glob << " ~ " << c.path;
}

}  // namespace
}  // namespace ramulet::lsp
