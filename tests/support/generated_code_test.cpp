#include "tests/support/generated_code.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/support/config_generator.h"
#include "tests/support/generated_files.h"

namespace ramulet::generated {
namespace {

// A module's method names must differ (a repeated one stops the analysis),
// and global exports must never meet an ordinary method's name.
TEST(GeneratedCode, NamesAreDistinctWithinAModuleAndGlobalExportsApart) {
  for (int32_t offset : {0, 1, 450, 899}) {
    std::set<std::string> names;
    for (int32_t i = 0; i < 2000; ++i) EXPECT_TRUE(names.insert(MethodName(i, offset)).second) << i << " " << offset;
  }
  std::set<std::string> ordinary;
  for (int32_t i = 0; i < 900; ++i) ordinary.insert(MethodName(i, 0));
  std::set<std::string> exports;
  for (int32_t i = 0; i < 1500; ++i) {
    EXPECT_TRUE(exports.insert(GlobalExportName(i)).second) << i;
    EXPECT_FALSE(ordinary.count(GlobalExportName(i))) << i;
  }
}

TEST(GeneratedCode, MethodsTakeExactlyTheirLines) {
  struct NoReferences : ReferenceWriter {
    int32_t ReferenceRate() const override { return 0; }
    int32_t Write(const MethodPlan&, ModuleText&, int, int32_t) override { return 0; }
  } none;
  Random random(7);
  for (int32_t lines : {4, 5, 6, 9, 14, 40, 300}) {
    for (bool function : {false, true}) {
      MethodPlan method;
      method.name = "Метод";
      method.function = function;
      method.lines = lines;
      method.directive = "&НаКлиенте";
      method.parameters = {"Документ"};
      ModuleText text;
      WriteMethod(method, Dialect::kNewer, random, none, text);
      EXPECT_EQ(text.lines(), lines) << lines << (function ? " function" : " procedure");
    }
  }
}

TEST(GeneratedFiles, Cp1251KeepsAsciiAndCyrillicAndMarksTheRest) {
  EXPECT_EQ(ToCp1251("Abc 1;"), "Abc 1;");
  EXPECT_EQ(ToCp1251("АЯаяЁё"), "\xC0\xDF\xE0\xFF\xA8\xB8");
  EXPECT_EQ(ToCp1251("№«»"), "\xB9\xAB\xBB");
  EXPECT_EQ(ToCp1251("€日😀x"), "???x");
}

TEST(GeneratedShapes, ScaleInProportionWithAtLeastOneGlobalModule) {
  ConfigShape full = DefaultConfigShape(ConfigShape::Generation::kNewer);
  EXPECT_EQ(full.modules, 2200);
  EXPECT_EQ(full.lines, 1'100'000);
  ConfigShape tenth = DefaultConfigShape(ConfigShape::Generation::kNewer, 0.1);
  EXPECT_EQ(tenth.modules, 220);
  EXPECT_EQ(tenth.common_modules, 56);
  EXPECT_EQ(tenth.global_modules, 2);
  EXPECT_EQ(tenth.lines, 110'000);
  ConfigShape tiny = DefaultConfigShape(ConfigShape::Generation::kNewer, 0.0001);
  EXPECT_EQ(tiny.modules, 4);
  EXPECT_EQ(tiny.common_modules, 2);
  EXPECT_EQ(tiny.global_modules, 1);
  EXPECT_EQ(tiny.lines, 240);
  ConfigShape old = DefaultConfigShape(ConfigShape::Generation::kOld);
  EXPECT_EQ(old.modules, 518);
  EXPECT_EQ(old.lines, 300'000);
}

}  // namespace
}  // namespace ramulet::generated
