#include "plugin/control/window_class.h"

#include "plugin/controls/controls_module.h"

namespace ramulet::win32 {

HINSTANCE ClassModule() { return ControlsModule(); }

bool RegisterModuleClass(const wchar_t* name, WNDPROC procedure, int background_color) {
  WNDCLASSEXW existing = {};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(ClassModule(), name, &existing)) {
    if (existing.lpfnWndProc == procedure) return true;
    UnregisterClassW(name, ClassModule());
  }
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ClassModule();
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = background_color ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background_color + 1))
                                                : nullptr;
  window_class.lpszClassName = name;
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace ramulet::win32
