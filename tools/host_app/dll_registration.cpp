#include "tools/host_app/dll_registration.h"

#include <string>

namespace ramulet::win32 {

namespace {

std::wstring BesideProgram(const wchar_t* file) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  size_t slash = folder.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1)) + file;
}

}  // namespace

HRESULT EnsureRamuletRegistered() {
  CLSID clsid;
  if (SUCCEEDED(CLSIDFromProgID(kRamuletProgId, &clsid))) return S_OK;
  HMODULE dll = LoadLibraryW(BesideProgram(L"Ramulet.dll").c_str());
  if (!dll) return HRESULT_FROM_WIN32(GetLastError());
  using RegisterServer = HRESULT(STDAPICALLTYPE*)();
  auto reg = reinterpret_cast<RegisterServer>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
  HRESULT hr = reg ? reg() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  FreeLibrary(dll);
  return hr;
}

}  // namespace ramulet::win32
