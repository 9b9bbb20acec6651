#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Answers the real message boxes the panel shows on this thread, from
// inside their own modal loops (a thread timer), and keeps what each box
// showed for the tests to read back. The shipped DLL knows nothing of it.
namespace e2e {

struct ShownBox {
  std::wstring caption;
  std::wstring text;  // the box's message, line breaks as shown
  HWND owner = nullptr;
  bool yes_no = false;  // Yes and No buttons (else OK)
  std::string icon;     // "question", "error", "information" or "none"
};

// Starts watching; boxes are then answered with the queued answers first,
// then with No (Yes/No boxes) or OK.
void WatchMessageBoxes();
void StopWatchingMessageBoxes();
// The button (IDYES, IDNO, IDOK) that answers the next box.
void AnswerNextBoxWith(int button);
// The boxes shown since the last call.
std::vector<ShownBox> TakeShownBoxes();
// How long boxes stood open, from their activation until the watcher
// answered them (a user's time, not the panel's), since the last call; in
// milliseconds.
double TakeTimeBoxesWaited();
// One box as a line "caption|yesno or ok|icon|text" (line breaks as \n).
std::string BoxLine(const ShownBox& box);

}  // namespace e2e
