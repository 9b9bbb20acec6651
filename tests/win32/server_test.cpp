// Ramulet.dll as a client sees it, run by run.sh at three moments:
//   server_test register-host-library <config.tlb>   (the host's installation)
//   server_test registered <Ramulet.dll>             (after regsvr32)
//   server_test unregistered <Ramulet.dll>           (after regsvr32 /u)
#include <string>

#include "plugin/com/com_ptr.h"
#include "tests/win32/check.h"
#include "tests/win32/server_checks.h"

namespace {

std::wstring Wide(const char* text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring result(size > 0 ? size - 1 : 0, L'\0');
  if (size > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, result.data(), size);
  return result;
}

void RegisterHostLibrary(const std::wstring& path) {
  ramulet::win32::ComPtr<ITypeLib> library;
  CHECK(SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, library.Out())));
}

void CheckRegistered(const std::wstring& dll_path) {
  CheckRegistryEntries(dll_path);
  CheckTypeLibraries();
  CheckResources(dll_path);
  CheckObjectAndPlugin();
  CheckAutomation();
  CheckUnloading();
}

bool NothingRegistered() {
  CLSID clsid;
  return !ClassesKeyExists(L"CLSID\\" + GuidText(CLSID_Ramulet)) && !ClassesKeyExists(L"Korvex.Ramulet") &&
         !ClassesKeyExists(L"TypeLib\\" + GuidText(LIBID_Korvex) + L"\\1.0") &&
         !ClassesKeyExists(L"Interface\\" + GuidText(IID__Ramulet)) && FAILED(CLSIDFromProgID(L"Korvex.Ramulet", &clsid));
}

void CheckUnregistered(const std::wstring& dll_path) {
  CHECK(NothingRegistered());
  // Unregistering again finds everything gone, which is no error.
  HMODULE dll = LoadLibraryW(dll_path.c_str());
  ServerExport unregister = ExportOf(dll, "DllUnregisterServer");
  CHECK(unregister && unregister() == S_OK);
  CHECK(NothingRegistered());
  FreeLibrary(dll);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string mode = argv[1];
  const std::wstring path = Wide(argv[2]);
  CoInitialize(nullptr);
  if (mode == "register-host-library") {
    RegisterHostLibrary(path);
  } else if (mode == "registered") {
    CheckRegistered(path);
  } else if (mode == "unregistered") {
    CheckUnregistered(path);
  } else {
    CHECK(!"a known mode");
  }
  CoUninitialize();
  return CheckSummary();
}
