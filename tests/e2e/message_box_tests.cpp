#include <string>
#include <vector>

#include "plugin/control/win32_message_boxes.h"
#include "tests/e2e/box_watcher.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/timed_refresh.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

// The one box shown since the last look; an empty one when there was
// none or more than one.
ShownBox OnlyBox(bool& seen) {
  std::vector<ShownBox> boxes = TakeShownBoxes();
  seen = boxes.size() == 1;
  return seen ? boxes.front() : ShownBox();
}

bool IsQuestion(const std::wstring& text) {
  return text == L"В модуле более 10000 строк, обработка может занять продолжительное время!\r\nПродолжить?" ||
         text == L"В модуле более 10000 строк, обработка может занять продолжительное время!\nПродолжить?";
}

}  // namespace

void TestRealMessageBoxes(Context& context) {
  HWND host = context.host->hwnd();
  TakeShownBoxes();
  {
    ramulet::win32::PanelMessageBoxes boxes([host] { return host; });
    auto answer = boxes.Show(u"Узел дерева", std::nullopt, ramulet::MessageBoxes::Buttons::Ok,
                             ramulet::MessageBoxes::Icon::None);
    bool seen = false;
    ShownBox box = OnlyBox(seen);
    Check("a box without a title of its own shows an empty caption", seen && box.caption.empty(),
          "caption \"" + Utf8(box.caption) + "\"");
    Check("the box shows its text and is owned by the host's window", box.text == L"Узел дерева" && box.owner == host);
    Check("an OK box answers OK", answer == ramulet::MessageBoxes::Answer::Ok);
  }
  {
    context.host->SetModuleText(GeneratedModule(L"Первый", 100));
    PressButton(context.view.button);
    context.host->SetModuleText(GeneratedModule(L"Второй", 10000));
    TakeShownBoxes();
    AnswerNextBoxWith(IDNO);
    PressButton(context.view.button);
    bool seen = false;
    ShownBox box = OnlyBox(seen);
    Check("the refresh's question is a real Yes/No box titled Рамулет", seen && box.caption == L"Рамулет" && box.yes_no,
          "caption \"" + Utf8(box.caption) + "\"");
    Check("the question is owned by the panel's top-level window", box.owner == host);
    Check("the question's text and icon", IsQuestion(box.text) && box.icon == "question", box.icon);
    Check("No pressed on the real box keeps the module read before", ComboCount(context.view.modul) == 10);
  }
}

}  // namespace e2e
