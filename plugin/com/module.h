#pragma once

#include "plugin/com/com.h"

#include <string>

namespace ramulet::win32 {

// The module-wide count of live objects and server locks behind
// DllCanUnloadNow and IClassFactory::LockServer.
void LockModule();
void UnlockModule();
bool ModuleInUse();

// The module (DLL or executable) that holds this code, and its file path.
HMODULE CodeModule();
std::wstring ModulePath();

}  // namespace ramulet::win32
