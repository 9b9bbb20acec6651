// Ramulet.dll over a client's whole life, up to process exit. run.sh runs
// each mode under WINEDEBUG=+seh and fails a run in which any fault comes
// from our code, also one that happens after main returns (DLL detach).
//
//   lifecycle_test uninitialize   create, use, release, free unused
//                                 libraries, CoUninitialize, return
//   lifecycle_test keep-com       the same without CoUninitialize
//   lifecycle_test keep-object    the control still held when main returns
//   lifecycle_test two-threads    a second apartment (thread) uses its
//                                 own control while the first holds one
// Each mode runs one test; GoogleTest's own options come before the mode,
// and --gtest_list_tests lists the tests of all modes.
#include <process.h>

#include <string>

#include "plugin/com/com_ptr.h"
#include "tests/win32/expect_hresult.h"
#include "tests/win32/fake_host.h"

namespace {

using ramulet::win32::ComPtr;
using ramulet::win32::QueryInterfaceOf;

ComPtr<IConfigPlugin> NewPlugin() {
  ComPtr<IConfigPlugin> plugin;
  EXPECT_TRUE(
      SUCCEEDED(CoCreateInstance(CLSID_Ramulet, nullptr, CLSCTX_INPROC_SERVER, IID_IConfigPlugin, plugin.OutVoid())));
  return plugin;
}

// Init with a configurator of `host`, then a call through IDispatch (which
// loads the DLL's type information) and one through the plug-in interface.
void Use(IConfigPlugin* plugin, FakeHost& host) {
  IHostConfigurator* configurator = NewFakeConfigurator(host);
  BSTR title = nullptr;
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->Init(plugin, reinterpret_cast<IDispatch*>(configurator), &title)));
  SysFreeString(title);
  configurator->lpVtbl->Release(configurator);
  ComPtr<IDispatch> automation;
  EXPECT_TRUE(SUCCEEDED(QueryInterfaceOf(plugin, IID_IDispatch, automation)));
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(L"NomMet");
  if (automation) {
    EXPECT_TRUE(SUCCEEDED(automation.get()->lpVtbl->GetIDsOfNames(automation.get(), IID_NULL, &name, 1, 0, &id)));
  }
  VARIANT caps;
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->GetPluginCaps(plugin, 0, &caps)));
}

// A control released without Done lets go of the host's configurator with
// its last reference: nothing of the host is left for the DLL's detach.
void CreateUseRelease() {
  FakeHost host;
  {
    ComPtr<IConfigPlugin> plugin = NewPlugin();
    if (!plugin) return;
    Use(plugin.get(), host);
  }
  EXPECT_EQ(0, host.live_configurators);
  EXPECT_EQ(0, host.live_objects);
}

// With no control left, no window class is left whose procedure would go
// with the DLL.
void CheckNoClassLeft() {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof(info);
  HMODULE dll = GetModuleHandleW(L"Ramulet.dll");
  EXPECT_TRUE(dll && !GetClassInfoExW(dll, L"RamuletPanel", &info) && !GetClassInfoExW(dll, L"RamuletParking", &info));
}

unsigned __stdcall SecondApartment(void*) {
  CoInitialize(nullptr);
  CreateUseRelease();
  CoUninitialize();
  return 0;
}

void TwoThreads() {
  FakeHost host;
  ComPtr<IConfigPlugin> plugin = NewPlugin();
  if (plugin) Use(plugin.get(), host);
  auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, SecondApartment, nullptr, 0, nullptr));
  EXPECT_TRUE(thread != nullptr);
  if (thread) {
    EXPECT_TRUE(WaitForSingleObject(thread, 60000) == WAIT_OBJECT_0);
    CloseHandle(thread);
  }
  plugin.Reset();
  EXPECT_EQ(0, host.live_configurators);
}

// Created, used and released: with nothing held, the DLL unloads.
TEST(Lifecycle, ReleasedBeforeExit) {
  CreateUseRelease();
  CheckNoClassLeft();
  CoFreeUnusedLibrariesEx(0, 0);
  EXPECT_TRUE(GetModuleHandleW(L"Ramulet.dll") == nullptr);  // unloaded: nothing held it
}

TEST(Lifecycle, HeldPastExit) {
  static FakeHost host;  // outlives main: the control still refers to it
  ComPtr<IConfigPlugin> plugin = NewPlugin();
  if (plugin) Use(plugin.get(), host);
  plugin.Detach();  // a client that never releases
}

TEST(Lifecycle, TwoApartments) {
  TwoThreads();
  CoFreeUnusedLibrariesEx(0, 0);
}

// The test a mode runs, as a GoogleTest filter; empty for no known mode.
std::string FilterOf(const std::string& mode) {
  if (mode == "uninitialize" || mode == "keep-com") return "Lifecycle.ReleasedBeforeExit";
  if (mode == "keep-object") return "Lifecycle.HeldPastExit";
  if (mode == "two-threads") return "Lifecycle.TwoApartments";
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();  // every mode's tests
  const std::string mode = argc == 2 ? argv[1] : "";
  const std::string filter = FilterOf(mode);
  if (filter.empty()) {
    std::fprintf(stderr, "usage: lifecycle_test [gtest options] uninitialize|keep-com|keep-object|two-threads\n");
    return 2;
  }
  GTEST_FLAG_SET(filter, filter);
  CoInitialize(nullptr);
  int result = RUN_ALL_TESTS();
  if (mode != "keep-com" && mode != "keep-object") CoUninitialize();
  return result;
}
