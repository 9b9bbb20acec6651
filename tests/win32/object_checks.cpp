// The control's COM object: creation, its interfaces, IConfigPlugin through
// the vtable, and the module count behind DllCanUnloadNow.
#include <string>

#include "plugin/com/com_ptr.h"
#include "tests/win32/expect_hresult.h"
#include "tests/win32/fake_host.h"
#include "tests/win32/server_checks.h"

namespace {

using ramulet::win32::ComPtr;
using ramulet::win32::QueryInterfaceOf;

const GUID kUnknownInterface = {0x1b2d5e3a, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};

// A new control, created by its ProgID as the host creates it.
ComPtr<IConfigPlugin> NewPlugin() {
  ComPtr<IConfigPlugin> plugin;
  CLSID clsid = {};
  if (SUCCEEDED(CLSIDFromProgID(L"Korvex.Ramulet", &clsid))) {
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IConfigPlugin, plugin.OutVoid());
  }
  return plugin;
}

bool IsTitle(BSTR title) { return title && lstrcmpW(title, L"Рамулет") == 0 && SysStringLen(title) == 7; }

// Init with `configurator`; true when it returned the title.
HRESULT Init(IConfigPlugin* plugin, IDispatch* configurator, bool& titled) {
  BSTR title = reinterpret_cast<BSTR>(1);
  HRESULT hr = plugin->lpVtbl->Init(plugin, configurator, &title);
  titled = IsTitle(title);
  if (SUCCEEDED(hr)) {
    SysFreeString(title);
  } else {
    EXPECT_TRUE(title == nullptr);
  }
  return hr;
}

IDispatch* AsDispatch(IHostConfigurator* configurator) { return reinterpret_cast<IDispatch*>(configurator); }

void CheckQueryInterface(IUnknown* object) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_HR(E_NOINTERFACE, object->lpVtbl->QueryInterface(object, kUnknownInterface, &out));
  EXPECT_TRUE(out == nullptr);
  ComPtr<IConfigPlugin> plugin;
  ComPtr<_Ramulet> automation;
  EXPECT_TRUE(SUCCEEDED(QueryInterfaceOf(object, IID_IConfigPlugin, plugin)));
  EXPECT_TRUE(SUCCEEDED(QueryInterfaceOf(object, IID__Ramulet, automation)));
  if (!plugin || !automation) return;
  out = reinterpret_cast<void*>(1);
  EXPECT_HR(E_NOINTERFACE, plugin.get()->lpVtbl->QueryInterface(plugin.get(), kUnknownInterface, &out));
  EXPECT_TRUE(out == nullptr);
  ComPtr<IUnknown> from_plugin, from_automation;
  QueryInterfaceOf(plugin.get(), IID_IUnknown, from_plugin);
  QueryInterfaceOf(automation.get(), IID_IUnknown, from_automation);
  EXPECT_TRUE(from_plugin.get() == from_automation.get() && from_plugin.get() == object);

  ComPtr<IProvideClassInfo> class_info;
  ComPtr<ITypeInfo> info;
  EXPECT_TRUE(SUCCEEDED(QueryInterfaceOf(object, IID_IProvideClassInfo, class_info)) &&
              SUCCEEDED(class_info.get()->lpVtbl->GetClassInfo(class_info.get(), info.Out())));
  TYPEATTR* attr = nullptr;
  if (info) info.get()->lpVtbl->GetTypeAttr(info.get(), &attr);
  EXPECT_TRUE(attr && IsEqualGUID(attr->guid, CLSID_Ramulet));
  if (attr) info.get()->lpVtbl->ReleaseTypeAttr(info.get(), attr);
  ComPtr<ISupportErrorInfo> errors;
  EXPECT_TRUE(SUCCEEDED(QueryInterfaceOf(object, IID_ISupportErrorInfo, errors)) &&
              errors.get()->lpVtbl->InterfaceSupportsErrorInfo(errors.get(), IID_IConfigPlugin) == S_OK &&
              errors.get()->lpVtbl->InterfaceSupportsErrorInfo(errors.get(), IID__Ramulet) == S_OK);
}

void CheckCaps(IConfigPlugin* plugin) {
  VARIANT caps;
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->GetPluginCaps(plugin, 0, &caps)) && V_VT(&caps) == VT_I2 && V_I2(&caps) == 1);
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->GetPluginCaps(plugin, 1, &caps)) && V_VT(&caps) == VT_BOOL &&
              V_BOOL(&caps) == VARIANT_TRUE);
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->GetPluginCaps(plugin, 2, &caps)) && V_VT(&caps) == VT_EMPTY);
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->GetPluginCaps(plugin, -1, &caps)) && V_VT(&caps) == VT_EMPTY);
}

void CheckDoAction(IConfigPlugin* plugin, IDispatch* object) {
  VARIANT param, result;
  V_VT(&param) = VT_DISPATCH;
  V_DISPATCH(&param) = object;
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->DoAction(plugin, 7, param, &result)) && V_VT(&result) == VT_EMPTY);
  VariantInit(&param);
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->DoAction(plugin, 0, param, &result)) && V_VT(&result) == VT_EMPTY);
}

// The configurator the panel keeps shows in how many fake configurators
// stay alive once the test has let go of its own references.
void CheckInitAndDone(IConfigPlugin* plugin, FakeHost& host) {
  bool titled = false;
  IHostConfigurator* first = NewFakeConfigurator(host);
  EXPECT_TRUE(SUCCEEDED(Init(plugin, AsDispatch(first), titled)) && titled);
  first->lpVtbl->Release(first);
  EXPECT_TRUE(host.live_configurators == 1);

  IHostConfigurator* second = NewFakeConfigurator(host);
  EXPECT_TRUE(SUCCEEDED(Init(plugin, AsDispatch(second), titled)) && titled);
  second->lpVtbl->Release(second);
  EXPECT_TRUE(host.live_configurators == 1);  // the second replaced the first

  IDispatch* not_a_configurator = NewFakePagedDocument(host);
  EXPECT_HR(E_NOINTERFACE, Init(plugin, not_a_configurator, titled));
  EXPECT_TRUE(!titled && host.live_configurators == 1);  // the second one is kept
  ComPtr<IErrorInfo> error;
  BSTR description = nullptr;
  EXPECT_TRUE(GetErrorInfo(0, error.Out()) == S_OK && error &&
              SUCCEEDED(error.get()->lpVtbl->GetDescription(error.get(), &description)) &&
              SysStringLen(description) > 0);
  SysFreeString(description);
  not_a_configurator->lpVtbl->Release(not_a_configurator);

  EXPECT_TRUE(SUCCEEDED(Init(plugin, nullptr, titled)) && titled);
  EXPECT_TRUE(host.live_configurators == 0);

  IHostConfigurator* third = NewFakeConfigurator(host);
  EXPECT_TRUE(SUCCEEDED(Init(plugin, AsDispatch(third), titled)) && titled);
  third->lpVtbl->Release(third);
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->Done(plugin)));
  EXPECT_TRUE(host.live_configurators == 0);
  EXPECT_TRUE(SUCCEEDED(plugin->lpVtbl->Done(plugin)));  // Done without Init

  IHostConfigurator* fourth = NewFakeConfigurator(host);
  EXPECT_TRUE(SUCCEEDED(Init(plugin, AsDispatch(fourth), titled)) && titled);
  fourth->lpVtbl->Release(fourth);
  EXPECT_TRUE(host.live_configurators == 1);
  plugin->lpVtbl->Done(plugin);
}

}  // namespace

namespace {

TEST(Registered, QueryInterface) {
  ComPtr<IUnknown> object;
  ASSERT_TRUE(
      SUCCEEDED(CoCreateInstance(CLSID_Ramulet, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.OutVoid())));
  CheckQueryInterface(object.get());
}

// A new control created by its ProgID, with a fake host whose objects must
// all be released once the control is.
class RegisteredPlugin : public testing::Test {
 protected:
  void SetUp() override {
    plugin_ = NewPlugin();
    ASSERT_TRUE(plugin_);
  }
  void TearDown() override {
    plugin_.Reset();
    EXPECT_EQ(0, host_.live_objects);
  }
  IConfigPlugin* plugin() { return plugin_.get(); }
  FakeHost& host() { return host_; }

 private:
  FakeHost host_;
  ComPtr<IConfigPlugin> plugin_;
};

TEST_F(RegisteredPlugin, Caps) { CheckCaps(plugin()); }

TEST_F(RegisteredPlugin, DoAction) {
  IDispatch* parameter = NewFakePagedDocument(host());
  CheckDoAction(plugin(), parameter);
  parameter->lpVtbl->Release(parameter);
}

TEST_F(RegisteredPlugin, InitAndDone) { CheckInitAndDone(plugin(), host()); }

// Every test releases what it made: the server's count starts at zero.
TEST(Registered, Unloading) {
  HMODULE dll = GetModuleHandleW(L"Ramulet.dll");
  ServerExport can_unload = ExportOf(dll, "DllCanUnloadNow");
  ASSERT_TRUE(can_unload != nullptr);
  EXPECT_TRUE(can_unload() == S_OK);  // everything made so far is released
  {
    ComPtr<IConfigPlugin> plugin = NewPlugin();
    EXPECT_TRUE(can_unload() == S_FALSE);
  }
  EXPECT_TRUE(can_unload() == S_OK);

  ComPtr<IClassFactory> factory;
  EXPECT_TRUE(
      SUCCEEDED(CoGetClassObject(CLSID_Ramulet, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, factory.OutVoid())));
  if (!factory) return;
  EXPECT_TRUE(can_unload() == S_FALSE);  // a class object held
  factory.get()->lpVtbl->LockServer(factory.get(), TRUE);
  factory.Reset();
  EXPECT_TRUE(can_unload() == S_FALSE);  // locked
  ComPtr<IClassFactory> again;
  CoGetClassObject(CLSID_Ramulet, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, again.OutVoid());
  if (again) again.get()->lpVtbl->LockServer(again.get(), FALSE);
  again.Reset();
  EXPECT_TRUE(can_unload() == S_OK);
}

}  // namespace
