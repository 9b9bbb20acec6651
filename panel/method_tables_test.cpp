#include "panel/method_tables.h"

#include <gtest/gtest.h>

#include "tests/support/refresh_fixture.h"

namespace ramulet {
namespace {

TEST(NomMetTest, FindsExactNamesOnly) {
  MethodTables before;
  EXPECT_EQ(before.NomMet(u"А"), -1);
  EXPECT_EQ(before.NomMet(Variant()), -1);

  RefreshRun run("Процедура Первый()\nКонецПроцедуры\nПроцедура Второй()\nКонецПроцедуры\n"
                 "Процедура Последний()\nКонецПроцедуры");
  ASSERT_TRUE(run.Run().ok());
  const MethodTables& t = run.tables;
  EXPECT_EQ(t.NomMet(u"Первый"), 0);
  EXPECT_EQ(t.NomMet(u"Последний"), t.LastMeth);
  EXPECT_EQ(t.NomMet(Variant::Text(u"Второй")), 1);
  EXPECT_EQ(t.NomMet(u"второй"), -1);
  EXPECT_EQ(t.NomMet(u"Второй "), -1);
  EXPECT_EQ(t.NomMet(u"Нет"), -1);
  EXPECT_EQ(t.NomMet(Variant::Int32(1)), -1);
  EXPECT_EQ(t.NomMet(Variant()), -1);
}

TEST(NomMetTest, LastEqualNameWinsLikeTheLinearScan) {
  MethodTables t;
  t.MethName = {u"А", u"Б", u"А"};
  t.LastMeth = 2;
  t.IndexNames();
  EXPECT_EQ(t.NomMet(u"А"), 2);
  EXPECT_EQ(t.NomMet(u"Б"), 1);
}

}  // namespace
}  // namespace ramulet
