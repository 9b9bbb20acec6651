#include <string>

#include "tests/e2e/box_watcher.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/timed_refresh.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

const char kQuestion[] =
    "Рамулет|yesno|question|В модуле более 10000 строк, обработка может занять продолжительное время!\\n"
    "Продолжить?\n";

void PrintTime(const std::string& what, RefreshTime time) {
  Print("time: refresh of " + what + " through the COM host: " + std::to_string(static_cast<int>(time.work_ms)) +
        " ms (its question box stood open " + std::to_string(static_cast<int>(time.question_ms)) +
        " ms more until answered)\n");
}

}  // namespace

void TestLargeModule(Context& context) {
  const PanelView& view = context.view;
  context.TakeBoxLog();

  context.host->SetModuleText(GeneratedModule(L"Выше", 9999));
  PressButton(view.button);
  Check("a module of 9999 lines is read without a question", context.TakeBoxLog().empty());
  Check("the 9999-line module is listed", ComboCount(view.modul) == 999, std::to_string(ComboCount(view.modul)));

  context.host->SetModuleText(GeneratedModule(L"Большой", 10000));
  AnswerNextBoxWith(IDYES);
  RefreshTime time = TimedRefresh(view);
  std::string log = context.TakeBoxLog();
  Check("a module of 10000 lines asks first, titled and worded as designed", log == kQuestion, log);
  Check("answered Yes, the 10000-line module is listed", ComboCount(view.modul) == 1000,
        std::to_string(ComboCount(view.modul)));
  Check("answered Yes, the tree shows its 1000 methods", TreeChildren(view.tree, TVI_ROOT).size() == 1000);
  PrintTime("a 10000-line module", time);

  context.host->SetModuleText(GeneratedModule(L"Другой", 10000));
  AnswerNextBoxWith(IDNO);
  PressButton(view.button);
  Check("answered No, the question was asked", context.TakeBoxLog() == kQuestion);
  wchar_t first[64] = {};
  SendMessageW(view.modul, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
  Check("answered No, the panel keeps the module read before",
        ComboCount(view.modul) == 1000 && std::wstring(first) == L"Большой0" &&
            TreeChildren(view.tree, TVI_ROOT).size() == 1000);

  context.host->SetModuleText(GeneratedModule(L"Длинный", 60000));
  AnswerNextBoxWith(IDYES);
  RefreshTime long_time = TimedRefresh(view);
  Check("answered Yes, the 60000-line module is listed", ComboCount(view.modul) == 6000,
        std::to_string(ComboCount(view.modul)));
  PrintTime("a 60000-line module", long_time);
  context.TakeBoxLog();
}

void TestErrorBox(Context& context) {
  context.TakeBoxLog();
  context.host->SetModuleText(L"Процедура Дважды()\r\nКонецПроцедуры\r\nПроцедура Дважды()\r\nКонецПроцедуры\r\n");
  PressButton(context.view.button);
  std::string log = context.TakeBoxLog();
  Check("a failed refresh shows one error box titled Рамулет",
        log.rfind("Рамулет|ok|error|Не удалось обновить список процедур и функций:", 0) == 0 &&
            log.find('\n') == log.size() - 1,
        log);
  // Nothing of a half-read module stays: Modul, the lists and the tree
  // are empty until a refresh completes.
  Check("a failed refresh leaves the panel empty",
        ComboCount(context.view.modul) == 0 && TreeChildren(context.view.tree, TVI_ROOT).empty() &&
            ListEntries(context.view.list1).empty() && ListEntries(context.view.list2).empty(),
        "Modul holds " + std::to_string(ComboCount(context.view.modul)));
}

}  // namespace e2e
