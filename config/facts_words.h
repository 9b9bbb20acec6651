#pragma once

#include <cstdint>
#include <string_view>

namespace ramulet::facts_words {

// The words the module-facts scan gives a meaning beyond the analysis:
// those that begin a statement after them, declare or assign a name, or
// name a function whose arguments name a method.
enum class Word : uint8_t {
  kNone,
  kNew,            // Новый / New
  kVar,            // Перем / Var
  kFor,            // Для / For
  kEach,           // Каждого / Each
  kVal,            // Знач / Val
  kStatementEnd,   // a statement may begin after it: Тогда, Иначе, Цикл, Попытка, Экспорт, ...
  kDynamic,        // Выполнить / Execute / Вычислить / Eval
  kCommonModule,   // ОбщийМодуль / CommonModule
  kNotification,   // ОписаниеОповещения / NotifyDescription
  kIdleHandler,    // Подключить/ОтключитьОбработчикОжидания, Attach/DetachIdleHandler
  kThisObject,     // ЭтотОбъект / ThisObject / ЭтаФорма / ThisForm
  kCollection,     // Справочники / Catalogs, ... (see CollectionKind)
};

struct WordInfo {
  Word word = Word::kNone;
  int8_t collection = -1;  // for kCollection: the collection's number
};

inline constexpr int kCollectionCount = 18;

// False when no word of the table has the length and first letter of
// `word` (either case): most identifiers are passed by without folding.
bool MayBeWord(std::u16string_view word);
// The meaning of `folded` (an identifier in upper case).
WordInfo FindWord(std::u16string_view folded);
// Whether `word` (as written; `folded` its upper case) is a keyword that
// is never called ("Если", "Возврат", ...).
bool IsNeverCalledKeyword(std::u16string_view word, std::u16string_view folded);
// The singular English kind of collection `collection`, as module names
// spell it: "Catalog", "Document", "InformationRegister", ...
std::string_view CollectionKind(int collection);

}  // namespace ramulet::facts_words
