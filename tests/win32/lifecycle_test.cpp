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
#include <process.h>

#include <string>

#include "plugin/com/com_ptr.h"
#include "tests/win32/check.h"
#include "tests/win32/fake_host.h"

namespace {

using ramulet::win32::ComPtr;
using ramulet::win32::QueryInterfaceOf;

ComPtr<IConfigPlugin> NewPlugin() {
  ComPtr<IConfigPlugin> plugin;
  CHECK(SUCCEEDED(CoCreateInstance(CLSID_Ramulet, nullptr, CLSCTX_INPROC_SERVER, IID_IConfigPlugin, plugin.OutVoid())));
  return plugin;
}

// Init with a configurator of `host`, then a call through IDispatch (which
// loads the DLL's type information) and one through the plug-in interface.
void Use(IConfigPlugin* plugin, FakeHost& host) {
  IHostConfigurator* configurator = NewFakeConfigurator(host);
  BSTR title = nullptr;
  CHECK(SUCCEEDED(plugin->lpVtbl->Init(plugin, reinterpret_cast<IDispatch*>(configurator), &title)));
  SysFreeString(title);
  configurator->lpVtbl->Release(configurator);
  ComPtr<IDispatch> automation;
  CHECK(SUCCEEDED(QueryInterfaceOf(plugin, IID_IDispatch, automation)));
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(L"NomMet");
  if (automation) {
    CHECK(SUCCEEDED(automation.get()->lpVtbl->GetIDsOfNames(automation.get(), IID_NULL, &name, 1, 0, &id)));
  }
  VARIANT caps;
  CHECK(SUCCEEDED(plugin->lpVtbl->GetPluginCaps(plugin, 0, &caps)));
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
  CHECK_EQ(0, host.live_configurators);
  CHECK_EQ(0, host.live_objects);
}

// With no control left, no window class is left whose procedure would go
// with the DLL.
void CheckNoClassLeft() {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof(info);
  HMODULE dll = GetModuleHandleW(L"Ramulet.dll");
  CHECK(dll && !GetClassInfoExW(dll, L"RamuletPanel", &info) && !GetClassInfoExW(dll, L"RamuletParking", &info));
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
  CHECK(thread != nullptr);
  if (thread) {
    CHECK(WaitForSingleObject(thread, 60000) == WAIT_OBJECT_0);
    CloseHandle(thread);
  }
  plugin.Reset();
  CHECK_EQ(0, host.live_configurators);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string mode = argv[1];
  CoInitialize(nullptr);
  if (mode == "uninitialize" || mode == "keep-com") {
    CreateUseRelease();
    CheckNoClassLeft();
    CoFreeUnusedLibrariesEx(0, 0);
    CHECK(GetModuleHandleW(L"Ramulet.dll") == nullptr);  // unloaded: nothing held it
  } else if (mode == "keep-object") {
    static FakeHost host;  // outlives main: the control still refers to it
    ComPtr<IConfigPlugin> plugin = NewPlugin();
    if (plugin) Use(plugin.get(), host);
    plugin.Detach();  // a client that never releases
  } else if (mode == "two-threads") {
    TwoThreads();
    CoFreeUnusedLibrariesEx(0, 0);
  } else {
    CHECK(!"a known mode");
  }
  if (mode != "keep-com" && mode != "keep-object") CoUninitialize();
  return CheckSummary();
}
