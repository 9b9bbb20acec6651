#include "tests/e2e/ui_actions.h"

#include <cstring>

#include "tools/host_app/host_app_window.h"

namespace e2e {

void Pump() {
  MSG message;
  for (int rounds = 0; rounds < 3; ++rounds) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (ramulet::win32::HostAppWindow::PreTranslateMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

void ClickAt(HWND window, POINT point) {
  POINT screen = point;
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  LPARAM where = MAKELPARAM(point.x, point.y);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
  PostMessageW(window, WM_LBUTTONUP, 0, where);
  Pump();
}

void PressButton(HWND button) {
  SendMessageW(button, BM_CLICK, 0, 0);
  Pump();
}

void ClickListEntry(HWND list, int position) {
  SendMessageW(list, LB_SETTOPINDEX, position, 0);
  RECT item;
  SendMessageW(list, LB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&item));
  ClickAt(list, POINT{item.left + 5, (item.top + item.bottom) / 2});
}

void ClickTreeItem(HWND tree, HTREEITEM item) {
  SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
  Pump();
  RECT rect = {};
  memcpy(&rect, &item, sizeof(item));  // TVM_GETITEMRECT takes the item in the rectangle
  SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
  ClickAt(tree, POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void PressKey(HWND window, UINT key) {
  SetFocus(window);
  PostMessageW(window, WM_KEYDOWN, key, 1);
  PostMessageW(window, WM_KEYUP, key, 0xC0000001);
  Pump();
}

void PressTab(bool shift) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE shift_before = keys[VK_SHIFT];
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  HWND focus = GetFocus();
  PostMessageW(focus, WM_KEYDOWN, VK_TAB, 0x000F0001);
  PostMessageW(focus, WM_KEYUP, VK_TAB, 0xC00F0001);
  Pump();
  keys[VK_SHIFT] = shift_before;
  SetKeyboardState(keys);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::vector<std::wstring> ListEntries(HWND list) {
  std::vector<std::wstring> entries;
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring entry(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    entry.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry.data()))));
    entries.push_back(entry);
  }
  return entries;
}

int ListSelection(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }
int ComboSelection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
int ComboCount(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)); }

std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent) {
  std::vector<HTREEITEM> items;
  auto next = [tree](UINT code, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
  };
  HTREEITEM item = parent == TVI_ROOT ? next(TVGN_ROOT, nullptr) : next(TVGN_CHILD, parent);
  for (; item; item = next(TVGN_NEXT, item)) items.push_back(item);
  return items;
}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
  wchar_t buffer[512] = {};
  TVITEMW data = {};
  data.mask = TVIF_TEXT | TVIF_HANDLE;
  data.hItem = item;
  data.pszText = buffer;
  data.cchTextMax = 512;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
  return buffer;
}

bool ExpandTreeItem(HWND tree, HTREEITEM item) {
  BOOL done = static_cast<BOOL>(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)));
  Pump();
  return done != FALSE;
}

EditorSelection SelectionOf(HWND editor) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EditorSelection selection;
  selection.start_line = static_cast<int>(SendMessageW(editor, EM_LINEFROMCHAR, start, 0));
  selection.start_column = static_cast<int>(start - SendMessageW(editor, EM_LINEINDEX, selection.start_line, 0));
  selection.end_line = static_cast<int>(SendMessageW(editor, EM_LINEFROMCHAR, end, 0));
  selection.end_column = static_cast<int>(end - SendMessageW(editor, EM_LINEINDEX, selection.end_line, 0));
  return selection;
}

int WidthOf(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  return rect.right - rect.left;
}

RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace e2e
