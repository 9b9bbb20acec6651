#pragma once

#include <windows.h>

namespace ramulet::win32 {

HINSTANCE ClassModule();

// Registers a window class of this module. A class left registered by an
// earlier load of the module (whose window procedure is gone) is replaced;
// a class that is ours and in use is kept.
bool RegisterModuleClass(const wchar_t* name, WNDPROC procedure, int background_color);

}  // namespace ramulet::win32
