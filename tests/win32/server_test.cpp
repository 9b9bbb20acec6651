// Ramulet.dll as a client sees it, run by run.sh at three moments:
//   server_test register-host-library <config.tlb>   (the host's installation)
//   server_test registered <Ramulet.dll>             (after regsvr32)
//   server_test unregistered <Ramulet.dll>           (after regsvr32 /u)
// Each mode runs its own test suites (HostLibrary, Registered*,
// Unregistered); GoogleTest's own options come before the mode, and
// --gtest_list_tests lists the tests of all modes.
#include <string>

#include "plugin/com/com_ptr.h"
#include "tests/win32/expect_hresult.h"
#include "tests/win32/server_checks.h"

namespace {

std::wstring path_argument;

std::wstring Wide(const char* text) {
  int size = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring result(size > 0 ? size - 1 : 0, L'\0');
  if (size > 1) MultiByteToWideChar(CP_ACP, 0, text, -1, result.data(), size);
  return result;
}

TEST(HostLibrary, Registers) {
  ramulet::win32::ComPtr<ITypeLib> library;
  EXPECT_TRUE(SUCCEEDED(LoadTypeLibEx(path_argument.c_str(), REGKIND_REGISTER, library.Out())));
}

bool NothingRegistered() {
  CLSID clsid;
  return !ClassesKeyExists(L"CLSID\\" + GuidText(CLSID_Ramulet)) && !ClassesKeyExists(L"Korvex.Ramulet") &&
         !ClassesKeyExists(L"TypeLib\\" + GuidText(LIBID_Korvex) + L"\\1.0") &&
         !ClassesKeyExists(L"Interface\\" + GuidText(IID__Ramulet)) && FAILED(CLSIDFromProgID(L"Korvex.Ramulet", &clsid));
}

TEST(Unregistered, NothingIsLeft) { EXPECT_TRUE(NothingRegistered()); }

// Unregistering again finds everything gone, which is no error.
TEST(Unregistered, AgainSucceeds) {
  HMODULE dll = LoadLibraryW(path_argument.c_str());
  ASSERT_TRUE(dll != nullptr);
  ServerExport unregister = ExportOf(dll, "DllUnregisterServer");
  EXPECT_TRUE(unregister && unregister() == S_OK);
  EXPECT_TRUE(NothingRegistered());
  FreeLibrary(dll);
}

// The suites a mode runs, as a GoogleTest filter; empty for no known mode.
std::string FilterOf(const std::string& mode) {
  if (mode == "register-host-library") return "HostLibrary.*";
  if (mode == "registered") return "Registered*";
  if (mode == "unregistered") return "Unregistered.*";
  return std::string();
}

}  // namespace

const std::wstring& DllPath() { return path_argument; }

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // every mode's tests
  const std::string filter = argc == 3 ? FilterOf(argv[1]) : std::string();
  if (filter.empty()) {
    std::fprintf(stderr, "usage: server_test [gtest options] register-host-library|registered|unregistered PATH\n");
    return 2;
  }
  path_argument = Wide(argv[2]);
  GTEST_FLAG_SET(filter, filter);
  CoInitialize(nullptr);
  int result = RUN_ALL_TESTS();
  CoUninitialize();
  return result;
}
