#include "config/facts_words.h"

#include <array>
#include <string>
#include <vector>

#include "analysis/language_keywords.h"
#include "analysis/name_index.h"
#include "platform/text.h"

namespace ramulet::facts_words {

namespace {

struct Entry {
  const char16_t* word;
  Word meaning;
  int8_t collection;
};

// Collections in both spellings, numbered as kKinds is.
constexpr const char16_t* kCollections[kCollectionCount][2] = {
    {u"Справочники", u"Catalogs"},
    {u"Документы", u"Documents"},
    {u"РегистрыСведений", u"InformationRegisters"},
    {u"РегистрыНакопления", u"AccumulationRegisters"},
    {u"РегистрыБухгалтерии", u"AccountingRegisters"},
    {u"РегистрыРасчета", u"CalculationRegisters"},
    {u"Обработки", u"DataProcessors"},
    {u"Отчеты", u"Reports"},
    {u"Перечисления", u"Enums"},
    {u"ПланыВидовХарактеристик", u"ChartsOfCharacteristicTypes"},
    {u"ПланыСчетов", u"ChartsOfAccounts"},
    {u"ПланыВидовРасчета", u"ChartsOfCalculationTypes"},
    {u"БизнесПроцессы", u"BusinessProcesses"},
    {u"Задачи", u"Tasks"},
    {u"ПланыОбмена", u"ExchangePlans"},
    {u"ЖурналыДокументов", u"DocumentJournals"},
    {u"Константы", u"Constants"},
    {u"ХранилищаНастроек", u"SettingsStorages"},
};

constexpr std::string_view kKinds[kCollectionCount] = {
    "Catalog",          "Document",       "InformationRegister",     "AccumulationRegister",
    "AccountingRegister", "CalculationRegister", "DataProcessor",     "Report",
    "Enum",             "ChartOfCharacteristicTypes", "ChartOfAccounts", "ChartOfCalculationTypes",
    "BusinessProcess",  "Task",           "ExchangePlan",            "DocumentJournal",
    "Constant",         "SettingsStorage",
};

constexpr Entry kEntries[] = {
    {u"Новый", Word::kNew, -1},
    {u"New", Word::kNew, -1},
    {u"Перем", Word::kVar, -1},
    {u"Var", Word::kVar, -1},
    {u"Для", Word::kFor, -1},
    {u"For", Word::kFor, -1},
    {u"Каждого", Word::kEach, -1},
    {u"Each", Word::kEach, -1},
    {u"Знач", Word::kVal, -1},
    {u"Val", Word::kVal, -1},
    {u"Тогда", Word::kStatementEnd, -1},
    {u"Иначе", Word::kStatementEnd, -1},
    {u"Цикл", Word::kStatementEnd, -1},
    {u"Попытка", Word::kStatementEnd, -1},
    {u"Исключение", Word::kStatementEnd, -1},
    {u"КонецЕсли", Word::kStatementEnd, -1},
    {u"КонецЦикла", Word::kStatementEnd, -1},
    {u"КонецПопытки", Word::kStatementEnd, -1},
    {u"КонецПроцедуры", Word::kStatementEnd, -1},
    {u"КонецФункции", Word::kStatementEnd, -1},
    {u"Экспорт", Word::kStatementEnd, -1},
    {u"Далее", Word::kStatementEnd, -1},
    {u"Then", Word::kStatementEnd, -1},
    {u"Else", Word::kStatementEnd, -1},
    {u"Do", Word::kStatementEnd, -1},
    {u"Try", Word::kStatementEnd, -1},
    {u"Except", Word::kStatementEnd, -1},
    {u"EndIf", Word::kStatementEnd, -1},
    {u"EndDo", Word::kStatementEnd, -1},
    {u"EndTry", Word::kStatementEnd, -1},
    {u"EndProcedure", Word::kStatementEnd, -1},
    {u"EndFunction", Word::kStatementEnd, -1},
    {u"Export", Word::kStatementEnd, -1},
    {u"Forward", Word::kStatementEnd, -1},
    {u"Выполнить", Word::kDynamic, -1},
    {u"Execute", Word::kDynamic, -1},
    {u"Вычислить", Word::kDynamic, -1},
    {u"Eval", Word::kDynamic, -1},
    {u"ОбщийМодуль", Word::kCommonModule, -1},
    {u"CommonModule", Word::kCommonModule, -1},
    {u"ОписаниеОповещения", Word::kNotification, -1},
    {u"NotifyDescription", Word::kNotification, -1},
    {u"ПодключитьОбработчикОжидания", Word::kIdleHandler, -1},
    {u"ОтключитьОбработчикОжидания", Word::kIdleHandler, -1},
    {u"AttachIdleHandler", Word::kIdleHandler, -1},
    {u"DetachIdleHandler", Word::kIdleHandler, -1},
    {u"ЭтотОбъект", Word::kThisObject, -1},
    {u"ThisObject", Word::kThisObject, -1},
    {u"ЭтаФорма", Word::kThisObject, -1},
    {u"ThisForm", Word::kThisObject, -1},
};

constexpr size_t kMaxLength = 32;
constexpr size_t kNoSlot = 64;

// Upper-case ASCII letters take slots 0-25, the Cyrillic А-Я 26-57, Ё 58.
size_t LetterSlot(char16_t unit) {
  const char16_t upper = ToUpper(unit);
  if (upper >= u'A' && upper <= u'Z') return upper - u'A';
  if (upper >= u'А' && upper <= u'Я') return 26 + (upper - u'А');
  if (upper == u'Ё') return 58;
  return kNoSlot;
}

class Table {
 public:
  Table() {
    std::vector<std::u16string> folded;
    auto add = [&](std::u16string_view word, WordInfo info) {
      folded.push_back(UpperCase(word));
      infos_.push_back(info);
      if (word.size() < kMaxLength) letters_[word.size()] |= uint64_t{1} << LetterSlot(word[0]);
    };
    for (const Entry& entry : kEntries) add(entry.word, WordInfo{entry.meaning, entry.collection});
    for (int c = 0; c < kCollectionCount; ++c) {
      for (const char16_t* word : kCollections[c]) add(word, WordInfo{Word::kCollection, static_cast<int8_t>(c)});
    }
    index_.Assign(folded);
  }
  bool MayBe(std::u16string_view word) const {
    if (word.empty() || word.size() >= kMaxLength) return false;
    const size_t slot = LetterSlot(word[0]);
    return slot != kNoSlot && ((letters_[word.size()] >> slot) & 1);
  }
  WordInfo Find(std::u16string_view folded) const {
    const int32_t n = index_.Find(folded);
    return n < 0 ? WordInfo() : infos_[static_cast<size_t>(n)];
  }

 private:
  std::array<uint64_t, kMaxLength> letters_{};
  std::vector<WordInfo> infos_;
  NameIndex index_;
};

const Table& TheTable() {
  static const Table table;
  return table;
}

const language::Keywords& TheKeywords() {
  static const language::Keywords keywords;
  return keywords;
}

}  // namespace

bool MayBeWord(std::u16string_view word) { return TheTable().MayBe(word); }

WordInfo FindWord(std::u16string_view folded) { return TheTable().Find(folded); }

bool IsNeverCalledKeyword(std::u16string_view word, std::u16string_view folded) {
  if (!TheKeywords().MayBe(word)) return false;
  const language::Keyword* keyword = TheKeywords().Find(folded);
  return keyword != nullptr && keyword->never_called;
}

std::string_view CollectionKind(int collection) { return kKinds[collection]; }

}  // namespace ramulet::facts_words
