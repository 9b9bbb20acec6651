#include "plugin/controls/child_window.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "plugin/controls/controls_module.h"
#include "plugin/controls/wide_text.h"
#include "plugin/controls/win32_status.h"

namespace ramulet::win32 {

namespace {

// The widest window the panel sets: beyond this a width is a mistake, not a
// layout.
constexpr double kMaxWidthPixels = std::numeric_limits<int16_t>::max();

// A control as the user knows it, for error boxes: its design name is
// the form's, not the user's.
std::string ShownName(std::string_view name) {
  if (name == "CommandButton1") return "кнопка «Обновить»";
  if (name == "TreeView1") return "дерево вызовов";
  if (name == "Label1") return "надпись «Вызываются процедуры»";
  if (name == "ListBox1") return "список «Вызываются процедуры»";
  if (name == "Label2") return "надпись «Используется в процедурах»";
  if (name == "ListBox2") return "список «Используется в процедурах»";
  if (name == "Modul") return "список процедур и функций";
  return "элемент панели";
}

}  // namespace

Status ChildWindow::Create(HWND parent, const wchar_t* window_class, DWORD style) {
  std::wstring caption = ToWide(design_.caption);
  hwnd_ = CreateWindowExW(0, window_class, caption.c_str(), style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                          units_.XPixels(design_.left), units_.YPixels(design_.top),
                          units_.XPixels(design_.width), CreationHeight(), parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdOf(design_))), ControlsModule(),
                          nullptr);
  if (!hwnd_) return LastErrorStatus("Не удалось создать элемент панели: " + ShownName(design_.name));
  return Status::Ok();
}

int ChildWindow::CreationHeight() const { return units_.YPixels(design_.height); }

void ChildWindow::SetFont(HFONT font) {
  if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

Status ChildWindow::SetWidthTwips(float twips) {
  if (!(twips >= 0)) {
    return Status::Error(Status::kInvalidArgument, "Ширина элемента панели не может быть отрицательной");
  }
  double pixels = std::round(static_cast<double>(twips) * units_.pixels_per_inch_x / kTwipsPerInch);
  if (pixels > kMaxWidthPixels) {
    return Status::Error(Status::kInvalidArgument, "Ширина " + std::to_string(twips) + " твипов слишком велика");
  }
  RECT rect;
  if (!GetWindowRect(hwnd_, &rect)) return LastErrorStatus("Не удалось узнать размеры: " + ShownName(design_.name));
  if (!SetWindowPos(hwnd_, nullptr, 0, 0, static_cast<int>(pixels), rect.bottom - rect.top,
                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) {
    return LastErrorStatus("Не удалось изменить ширину: " + ShownName(design_.name));
  }
  return Status::Ok();
}

float ChildWindow::WidthTwips() const {
  RECT rect;
  if (!hwnd_ || !GetWindowRect(hwnd_, &rect)) return 0;
  return units_.XTwips(rect.right - rect.left);
}

}  // namespace ramulet::win32
