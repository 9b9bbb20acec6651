#pragma once

#include "plugin/com/com.h"

#include <string>

namespace ramulet::win32 {

// The module-wide count of live objects and server locks behind
// DllCanUnloadNow and IClassFactory::LockServer.
void LockModule();
void UnlockModule();
bool ModuleInUse();

// Holds the module for as long as the object it is a member of lives.
struct ModuleLock {
  ModuleLock() { LockModule(); }
  ~ModuleLock() { UnlockModule(); }
  ModuleLock(const ModuleLock&) = delete;
  ModuleLock& operator=(const ModuleLock&) = delete;
};

// The module (DLL or executable) that holds this code, and its file path.
HMODULE CodeModule();
std::wstring ModulePath();

}  // namespace ramulet::win32
