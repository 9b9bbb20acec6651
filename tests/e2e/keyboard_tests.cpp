#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/box_watcher.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

struct NamedWindow {
  const char* name;
  HWND window;
};

// Which of the panel's windows `window` is, for a failed check.
std::string NameOf(const PanelView& view, HWND window) {
  const NamedWindow all[] = {{"CommandButton1", view.button}, {"ListBox1", view.list1}, {"ListBox2", view.list2},
                             {"TreeView1", view.tree},        {"Modul", view.modul},   {"Label1", view.label1},
                             {"Label2", view.label2},         {"the panel", view.panel}};
  for (const NamedWindow& named : all) {
    if (named.window == window) return named.name;
  }
  return window ? "another window" : "no window";
}

// Latin letters left once the HRESULT codes ("0x80070057") are taken out.
bool HasLatinWords(const std::wstring& text) {
  std::wstring rest = std::regex_replace(text, std::wregex(L"0x[0-9A-Fa-f]+"), L"");
  for (wchar_t c : rest) {
    if ((c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z')) return true;
  }
  return false;
}

}  // namespace

// Tab and Shift+Tab go through the host's message loop to the container,
// which hands them to the control: the focus walks the panel's controls in
// tab order (the button, the two lists, the tree; the labels take no focus,
// nor does the hidden Modul) and comes round from the last to the first.
void TestTabOrder(Context& context) {
  const PanelView& view = context.view;
  const std::vector<NamedWindow> cycle = {
      {"CommandButton1", view.button}, {"ListBox1", view.list1}, {"ListBox2", view.list2}, {"TreeView1", view.tree}};
  const size_t stops = cycle.size();
  SetFocus(view.button);
  Pump();
  if (!Check("the button takes the focus", GetFocus() == view.button, NameOf(view, GetFocus()))) return;
  for (bool shift : {false, true}) {
    const char* key = shift ? "Shift+Tab" : "Tab";
    for (size_t press = 1; press <= stops; ++press) {
      size_t at = shift ? (stops - press % stops) % stops : press % stops;
      PressTab(shift);
      Check(std::string(key) + " pressed " + std::to_string(press) + " times from the button focuses " +
                cycle[at].name,
            GetFocus() == cycle[at].window, NameOf(view, GetFocus()));
    }
  }
}

// A request the host fails (the selection of a call line the editor no
// longer has): the box says so in Russian, the host's HRESULT with it.
void TestHostFailureBox(Context& context) {
  const PanelView& view = context.view;
  std::wstring module = L"// Пример\r\n//\r\n//\r\n//\r\nПроцедура Первая()\r\n\tВторая();\r\nКонецПроцедуры\r\n"
                        L"Процедура Вторая()\r\nКонецПроцедуры\r\n";
  context.host->SetModuleText(module);
  PressButton(view.button);
  SendMessageW(view.modul, CB_SETCURSEL, 0, 0);
  SendMessageW(view.panel, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(view.modul), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(view.modul));
  Pump();
  if (!Check("the first method lists its call", ListEntries(view.list1) == std::vector<std::wstring>{L"Вторая"})) {
    return;
  }
  TakeShownBoxes();
  context.host->SetModuleText(L"// пусто");
  ClickListEntry(view.list1, 0);
  std::vector<ShownBox> boxes = TakeShownBoxes();
  if (!Check("the host's failure shows one box", boxes.size() == 1, std::to_string(boxes.size()) + " boxes")) return;
  const ShownBox& box = boxes.front();
  Check("... an error box titled Рамулет", box.caption == L"Рамулет" && box.icon == "error" && !box.yes_no,
        BoxLine(box));
  Check("... saying what failed, with the host's HRESULT",
        box.text == L"Не удалось перейти к строке вызова:\r\nВыделение текста в документе: программа-хост вернула "
                    L"ошибку 0x80070057" ||
            box.text == L"Не удалось перейти к строке вызова:\nВыделение текста в документе: программа-хост вернула "
                        L"ошибку 0x80070057",
        BoxLine(box));
  Check("... with no Latin word but the HRESULT", !HasLatinWords(box.text), BoxLine(box));
  context.host->SetModuleText(module);
}

}  // namespace e2e
