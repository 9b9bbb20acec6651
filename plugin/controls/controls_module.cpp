#include "plugin/controls/controls_module.h"

#include <commctrl.h>

namespace ramulet::win32 {

HINSTANCE ControlsModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ControlsModule), &module);
  return module;
}

bool InitPanelCommonControls() {
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
  return InitCommonControlsEx(&init) != FALSE;
}

}  // namespace ramulet::win32
