#include <string>
#include <vector>

#include "plugin/win32/win32_message_boxes.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

std::wstring GeneratedModule(const std::wstring& prefix, int lines);

namespace {

// What a real message box showed; filled by the timer that answers it.
struct SeenBox {
  bool seen = false;
  std::wstring caption;
  std::vector<std::wstring> texts;
  HWND owner = nullptr;
  bool has_yes_no = false;
  int answer = IDOK;
};

SeenBox* watched = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM) {
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (lstrcmpiW(name, L"Static") == 0) watched->texts.push_back(WindowText(child));
  return TRUE;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Runs inside the box's own message loop: reads the box and answers it.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box || !watched || watched->seen) return;
  KillTimer(nullptr, timer);
  watched->seen = true;
  watched->caption = WindowText(box);
  watched->owner = GetWindow(box, GW_OWNER);
  watched->has_yes_no = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
  EnumChildWindows(box, CollectText, 0);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(watched->answer, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, watched->answer)));
}

bool Shows(const SeenBox& box, const std::wstring& text) {
  for (const std::wstring& shown : box.texts) {
    if (shown == text) return true;
  }
  return false;
}

// Real boxes for the duration: the scripted mode is switched off.
class RealBoxes {
 public:
  RealBoxes(Context& context, SeenBox& box) : context_(context) {
    SetEnvironmentVariableW(L"RAMULET_TEST_BOX_LOG", nullptr);
    watched = &box;
    SetTimer(nullptr, 0, 50, AnswerBox);
  }
  ~RealBoxes() {
    watched = nullptr;
    SetEnvironmentVariableW(L"RAMULET_TEST_BOX_LOG", context_.box_log.c_str());
  }

 private:
  Context& context_;
};

}  // namespace

void TestRealMessageBoxes(Context& context) {
  HWND host = context.host->hwnd();
  {
    SeenBox box;
    RealBoxes real(context, box);
    ramulet::win32::PanelMessageBoxes boxes([host] { return host; });
    auto answer = boxes.Show(u"Узел дерева", std::nullopt, ramulet::MessageBoxes::Buttons::Ok,
                             ramulet::MessageBoxes::Icon::None);
    Check("a box without a title of its own shows an empty caption", box.seen && box.caption.empty(),
          "caption \"" + Utf8(box.caption) + "\"");
    Check("the box shows its text and is owned by the host's window", Shows(box, L"Узел дерева") && box.owner == host);
    Check("an OK box answers OK", answer == ramulet::MessageBoxes::Answer::Ok);
  }
  {
    context.host->SetModuleText(GeneratedModule(L"Первый", 100));
    PressButton(context.view.button);
    context.host->SetModuleText(GeneratedModule(L"Второй", 10000));
    SeenBox box;
    box.answer = IDNO;
    RealBoxes real(context, box);
    PressButton(context.view.button);
    Check("the refresh's question is a real Yes/No box titled Рамулет",
          box.seen && box.caption == L"Рамулет" && box.has_yes_no, "caption \"" + Utf8(box.caption) + "\"");
    Check("the question is owned by the panel's top-level window", box.owner == host);
    Check("the question's text",
          Shows(box, L"В модуле более 10000 строк, обработка может занять продолжительное время!\r\nПродолжить?") ||
              Shows(box, L"В модуле более 10000 строк, обработка может занять продолжительное время!\nПродолжить?"));
    Check("No pressed on the real box keeps the module read before", ComboCount(context.view.modul) == 10);
  }
}

}  // namespace e2e
