#pragma once

#include "plugin/com/com.h"

#include <optional>
#include <string>

// Tests of Ramulet.dll once it is registered (suites Registered*, one
// group per file), run by server_test's mode "registered".

// The DLL's path, as server_test was given it.
const std::wstring& DllPath();

// The string value `name` (null: the default value) of HKEY_CLASSES_ROOT\key.
std::optional<std::wstring> ClassesValue(const std::wstring& key, const wchar_t* name = nullptr);
bool ClassesKeyExists(const std::wstring& key);
std::wstring GuidText(REFGUID guid);

// One of the DLL's exports, all of which take no arguments.
using ServerExport = HRESULT(STDAPICALLTYPE*)();
inline ServerExport ExportOf(HMODULE dll, const char* name) {
  return reinterpret_cast<ServerExport>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}
