#include "tests/e2e/box_watcher.h"

#include <deque>

#include "tests/e2e/e2e_check.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

UINT_PTR timer = 0;
std::deque<int> answers;
std::vector<ShownBox> shown;
HWND answered = nullptr;  // the box last answered (its answer is posted)

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window) || window == answered) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The icon a box shows, known by the shared system icon it was given.
std::string IconOf(HWND icon_control) {
  if (!icon_control) return "none";
  auto icon = reinterpret_cast<HICON>(SendMessageW(icon_control, STM_GETICON, 0, 0));
  if (!icon) return "none";
  if (icon == LoadIconW(nullptr, IDI_QUESTION)) return "question";
  if (icon == LoadIconW(nullptr, IDI_ERROR)) return "error";
  if (icon == LoadIconW(nullptr, IDI_INFORMATION)) return "information";
  return "other";
}

struct Statics {
  std::wstring text;
  HWND icon = nullptr;
};

BOOL CALLBACK ReadStatic(HWND child, LPARAM data) {
  auto* statics = reinterpret_cast<Statics*>(data);
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (lstrcmpiW(name, L"Static") != 0) return TRUE;
  if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    statics->icon = child;
  } else if (statics->text.empty()) {
    statics->text = WindowText(child);
  }
  return TRUE;
}

// Runs inside the box's own message loop: reads the box and answers it.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  ShownBox seen;
  seen.caption = WindowText(box);
  seen.owner = GetWindow(box, GW_OWNER);
  seen.yes_no = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
  Statics statics;
  EnumChildWindows(box, ReadStatic, reinterpret_cast<LPARAM>(&statics));
  seen.text = statics.text;
  seen.icon = IconOf(statics.icon);
  shown.push_back(seen);
  int button = seen.yes_no ? IDNO : IDOK;
  if (!answers.empty()) {
    button = answers.front();
    answers.pop_front();
  }
  answered = box;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

std::string OneLine(const std::wstring& text) {
  std::string line;
  for (char c : Utf8(text)) {
    if (c == '\r') continue;
    if (c == '\n') line += "\\n";
    else line += c;
  }
  return line;
}

}  // namespace

void WatchMessageBoxes() {
  if (!timer) timer = SetTimer(nullptr, 0, 40, AnswerBox);
}

void StopWatchingMessageBoxes() {
  if (timer) KillTimer(nullptr, timer);
  timer = 0;
}

void AnswerNextBoxWith(int button) { answers.push_back(button); }

std::vector<ShownBox> TakeShownBoxes() {
  std::vector<ShownBox> taken;
  taken.swap(shown);
  return taken;
}

std::string BoxLine(const ShownBox& box) {
  return OneLine(box.caption) + "|" + (box.yes_no ? "yesno" : "ok") + "|" + box.icon + "|" + OneLine(box.text) + "\n";
}

}  // namespace e2e
