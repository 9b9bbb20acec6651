#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// What a user does with the panel's windows, and what the tests read back
// from them, through window messages.
namespace e2e {

// Runs every pending message of this thread.
void Pump();

// Clicks at `point` (client coordinates of `window`) with the left button,
// the cursor moved there first, and runs the messages the click causes.
void ClickAt(HWND window, POINT point);
void PressButton(HWND button);
void ClickListEntry(HWND list, int position);
void ClickTreeItem(HWND tree, HTREEITEM item);
void PressKey(HWND window, UINT key);
// Tab, or Shift+Tab, to the window with the focus, through the message
// loop (the thread's key state says whether Shift is down).
void PressTab(bool shift);

std::wstring WindowText(HWND window);
std::vector<std::wstring> ListEntries(HWND list);
int ListSelection(HWND list);
int ComboSelection(HWND combo);
int ComboCount(HWND combo);

std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent);  // TVI_ROOT: the top level
std::wstring TreeItemText(HWND tree, HTREEITEM item);
bool ExpandTreeItem(HWND tree, HTREEITEM item);

// The editor's selection as lines and columns.
struct EditorSelection {
  int start_line = -1;
  int start_column = -1;
  int end_line = -1;
  int end_column = -1;
};
EditorSelection SelectionOf(HWND editor);

// Width of a window in pixels.
int WidthOf(HWND window);
RECT RectInParent(HWND window);

}  // namespace e2e
