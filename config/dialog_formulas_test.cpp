#include "config/dialog_formulas.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace ramulet {
namespace {

TEST(DialogFormulasTest, FormulaFieldsGiveTheirBareCalls) {
  // Captions and other fields are no formulas; within a formula, member
  // calls, constructors, keywords and names in strings are no bare calls.
  const std::u16string dialog =
      U16("{\"Форма\",\"Записать\",\"Сумма (руб.)\",\"Итог\"}\n"
          "{\"Кнопка1\",\"Button\",\"Сформировать()\",\"\"}\n"
          "{\"Кнопка2\",\"Button\",\" Печать(Форма.Таблица(), Новый Структура(), Не(1), \"\"Х()\"\"); \"}\n"
          "{\"Поле\",\"Выбрать(1) // Комментарий()\",\"Вложенный(Внешний(Ф.Б()))\"}\n"
          "{\"Текст\",\"Примечание: Число(5) ниже\",\"Ф.Метод()\"}\n");
  std::vector<NamedCaller> callers;
  AddDialogCallers(dialog, "Справочник.С.Форма", "Справочники/С/Форма.frm", callers);
  struct Expected {
    const char* method;
    const char* via;
    int32_t line;
    int32_t column;
  };
  const Expected expected[] = {
      {"Сформировать", "Сформировать()", 1, 21},
      {"Печать", "Печать(Форма.Таблица(), Новый Структура(), Не(1), \"Х()\");", 2, 22},
      {"Выбрать", "Выбрать(1) // Комментарий()", 3, 9},
      {"Вложенный", "Вложенный(Внешний(Ф.Б()))", 3, 39},
      {"Внешний", "Вложенный(Внешний(Ф.Б()))", 3, 49},
  };
  ASSERT_EQ(callers.size(), std::size(expected));
  for (size_t i = 0; i < callers.size(); ++i) {
    const NamedCaller& c = callers[i];
    EXPECT_EQ(c.kind, NamedCaller::Kind::kDialog);
    EXPECT_EQ(c.caller, "Справочник.С.Форма");
    EXPECT_EQ(c.target, "Справочник.С.Форма");
    EXPECT_EQ(c.path, "Справочники/С/Форма.frm");
    EXPECT_EQ(c.method, expected[i].method);
    EXPECT_EQ(c.via, expected[i].via);
    EXPECT_EQ(c.line, expected[i].line) << c.method;
    EXPECT_EQ(c.column, expected[i].column) << c.method;
  }
}

TEST(DialogFormulasTest, UnclosedFieldAndEmptyText) {
  std::vector<NamedCaller> callers;
  AddDialogCallers(u"", "Ф", "f.frm", callers);
  AddDialogCallers(U16("{\"Закрыть()\",\"Открыть("), "Ф", "f.frm", callers);
  ASSERT_EQ(callers.size(), 1u);
  EXPECT_EQ(callers[0].method, "Закрыть");
  EXPECT_EQ(callers[0].column, 2);
}

}  // namespace
}  // namespace ramulet
