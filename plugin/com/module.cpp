#include "plugin/com/module.h"

#include "plugin/com/type_info_cache.h"

namespace ramulet::win32 {

namespace {

LONG module_locks = 0;

}  // namespace

void LockModule() { InterlockedIncrement(&module_locks); }

// The type information is kept while anything of the module is alive and let
// go with the last object or lock, while the caller's COM is still running:
// DllMain cannot release it safely once COM is uninitialized.
void UnlockModule() {
  if (InterlockedDecrement(&module_locks) == 0) ReleaseTypeInfoCache();
}

bool ModuleInUse() { return InterlockedCompareExchange(&module_locks, 0, 0) != 0; }

HMODULE CodeModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&CodeModule), &module);
  return module;
}

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(CodeModule(), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::wstring();
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
}

}  // namespace ramulet::win32
