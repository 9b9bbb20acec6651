#include "analysis/language_keywords.h"

#include <string>

#include "platform/text.h"

namespace ramulet::language {

namespace {

struct Entry {
  const char16_t* word;
  Role role;
  bool never_called;
};

// Every word that is never a call, in both spellings, and the words with a
// role in headers, ends and calls.
constexpr Entry kEntries[] = {
    {u"Если", Role::kNone, true}, {u"Тогда", Role::kNone, true}, {u"ИначеЕсли", Role::kNone, true},
    {u"Иначе", Role::kNone, true}, {u"КонецЕсли", Role::kNone, true}, {u"Для", Role::kNone, true},
    {u"Каждого", Role::kNone, true}, {u"Из", Role::kNone, true}, {u"По", Role::kNone, true},
    {u"Пока", Role::kNone, true}, {u"Цикл", Role::kNone, true}, {u"КонецЦикла", Role::kNone, true},
    {u"Процедура", Role::kProcedure, true}, {u"Функция", Role::kFunction, true},
    {u"КонецПроцедуры", Role::kEnd, true}, {u"КонецФункции", Role::kEnd, true}, {u"Перем", Role::kNone, true},
    {u"Перейти", Role::kNone, true}, {u"Возврат", Role::kNone, true}, {u"Продолжить", Role::kNone, true},
    {u"Прервать", Role::kNone, true}, {u"И", Role::kNone, true}, {u"Или", Role::kNone, true},
    {u"Не", Role::kNone, true}, {u"Попытка", Role::kNone, true}, {u"Исключение", Role::kNone, true},
    {u"ВызватьИсключение", Role::kNone, true}, {u"КонецПопытки", Role::kNone, true}, {u"Новый", Role::kNew, true},
    {u"Выполнить", Role::kNone, true}, {u"Истина", Role::kNone, true}, {u"Ложь", Role::kNone, true},
    {u"Неопределено", Role::kNone, true}, {u"Экспорт", Role::kExport, true}, {u"Знач", Role::kNone, true},
    {u"Далее", Role::kForward, true}, {u"Асинх", Role::kAsync, true}, {u"Ждать", Role::kNone, true},
    {u"ДобавитьОбработчик", Role::kNone, true}, {u"УдалитьОбработчик", Role::kNone, true},
    {u"If", Role::kNone, true}, {u"Then", Role::kNone, true}, {u"ElsIf", Role::kNone, true},
    {u"Else", Role::kNone, true}, {u"EndIf", Role::kNone, true}, {u"For", Role::kNone, true},
    {u"Each", Role::kNone, true}, {u"In", Role::kNone, true}, {u"To", Role::kNone, true},
    {u"While", Role::kNone, true}, {u"Do", Role::kNone, true}, {u"EndDo", Role::kNone, true},
    {u"Procedure", Role::kProcedure, true}, {u"Function", Role::kFunction, true},
    {u"EndProcedure", Role::kEnd, true}, {u"EndFunction", Role::kEnd, true}, {u"Var", Role::kNone, true},
    {u"Goto", Role::kNone, true}, {u"Return", Role::kNone, true}, {u"Continue", Role::kNone, true},
    {u"Break", Role::kNone, true}, {u"And", Role::kNone, true}, {u"Or", Role::kNone, true},
    {u"Not", Role::kNone, true}, {u"Try", Role::kNone, true}, {u"Except", Role::kNone, true},
    {u"Raise", Role::kNone, true}, {u"EndTry", Role::kNone, true}, {u"New", Role::kNew, true},
    {u"Execute", Role::kNone, true}, {u"True", Role::kNone, true}, {u"False", Role::kNone, true},
    {u"Undefined", Role::kNone, true}, {u"Null", Role::kNone, true}, {u"Export", Role::kExport, true},
    {u"Val", Role::kNone, true}, {u"Forward", Role::kForward, true}, {u"Async", Role::kAsync, true},
    {u"Await", Role::kNone, true}, {u"AddHandler", Role::kNone, true}, {u"RemoveHandler", Role::kNone, true},
    {u"ЭтотОбъект", Role::kThisObject, false}, {u"ThisObject", Role::kThisObject, false},
    {u"ЭтаФорма", Role::kThisObject, false}, {u"ThisForm", Role::kThisObject, false},
};

}  // namespace

// Upper-case ASCII letters take slots 0-25, the Cyrillic А-Я 26-57, Ё 58.
size_t Keywords::LetterSlot(char16_t unit) {
  const char16_t upper = ToUpper(unit);
  if (upper >= u'A' && upper <= u'Z') return upper - u'A';
  if (upper >= u'А' && upper <= u'Я') return 26 + (upper - u'А');
  if (upper == u'Ё') return 58;
  return kNoSlot;
}

Keywords::Keywords() {
  std::vector<std::u16string> folded;
  for (const Entry& entry : kEntries) {
    folded.push_back(UpperCase(entry.word));
    keywords_.push_back(Keyword{entry.role, entry.never_called});
    const std::u16string& word = folded.back();
    if (word.size() >= kMaxLength) continue;
    first_letters_[word.size()] |= uint64_t{1} << LetterSlot(word[0]);
    const bool header_or_end = entry.role == Role::kProcedure || entry.role == Role::kFunction ||
                               entry.role == Role::kAsync || entry.role == Role::kEnd;
    if (header_or_end) header_letters_[word.size()] |= uint64_t{1} << LetterSlot(word[0]);
  }
  index_.Assign(folded);
}

}  // namespace ramulet::language
