#include "tests/e2e/box_watcher.h"

#include <chrono>
#include <deque>

#include "tests/e2e/e2e_check.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

namespace {

UINT_PTR timer = 0;
std::deque<int> answers;
std::vector<ShownBox> shown;
HWND answered = nullptr;  // the box last answered (its answer is posted)
HHOOK activation_hook = nullptr;
using Clock = std::chrono::steady_clock;
Clock::time_point box_activated{};  // of the box not yet answered
double waited_ms = 0;

bool IsDialogBox(HWND window) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  return lstrcmpW(name, L"#32770") == 0;
}

// Notes when a box becomes active, so that the time it waits for its
// answer can be told apart from the time the panel works.
LRESULT CALLBACK NoteActivation(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && box_activated == Clock::time_point{} && IsDialogBox(reinterpret_cast<HWND>(wparam))) {
    box_activated = Clock::now();
  }
  return CallNextHookEx(activation_hook, code, wparam, lparam);
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (!IsDialogBox(window) || !IsWindowVisible(window) || window == answered) return TRUE;
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
  if (box_activated != Clock::time_point{}) {
    waited_ms += std::chrono::duration<double, std::milli>(Clock::now() - box_activated).count();
    box_activated = Clock::time_point{};
  }
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
  if (!activation_hook) activation_hook = SetWindowsHookExW(WH_CBT, NoteActivation, nullptr, GetCurrentThreadId());
}

void StopWatchingMessageBoxes() {
  if (timer) KillTimer(nullptr, timer);
  timer = 0;
  if (activation_hook) UnhookWindowsHookEx(activation_hook);
  activation_hook = nullptr;
}

double TakeTimeBoxesWaited() {
  double taken = waited_ms;
  waited_ms = 0;
  return taken;
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
