#include "plugin/controls/win32_button.h"

#include <algorithm>

namespace ramulet::win32 {

void Win32Button::HandleCommand(WORD code) {
  if (code == BN_CLICKED && on_click_) (void)on_click_();
}

void Win32Label::FitCaption() {
  HWND label = hwnd();
  if (!label) return;
  wchar_t caption[256] = {};
  int length = GetWindowTextW(label, caption, 256);
  HDC dc = GetDC(label);
  if (!dc) return;
  auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
  SIZE text = {};
  GetTextExtentPoint32W(dc, caption, length, &text);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  RECT rect;
  if (!GetWindowRect(label, &rect)) return;
  int width = std::max(units().XPixels(design().width), static_cast<int>(text.cx) + 1);
  SetWindowPos(label, nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace ramulet::win32
