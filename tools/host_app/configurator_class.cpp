#include "tools/host_app/configurator_class.h"

#include <new>

#include "plugin/com/com_object.h"
#include "tools/host_app/host_objects.h"

namespace ramulet::win32 {

namespace {

struct ConfiguratorFactory {
  IClassFactory iface;
  LONG refs;
  LONG created;
  EditorTextRef text;
};

using FactoryUnknown = ComUnknown<ConfiguratorFactory, IClassFactory, IID_IClassFactory>;

ConfiguratorFactory* impl_from_IClassFactory(IClassFactory* iface) { return FactoryUnknown::Of(iface); }

HRESULT STDMETHODCALLTYPE Factory_CreateInstance(IClassFactory* iface, IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  ConfiguratorFactory* factory = impl_from_IClassFactory(iface);
  ComPtr<IHostConfigurator> configurator;
  HRESULT hr = CreateConfiguratorObject(factory->text.get(), configurator.Out());
  if (FAILED(hr)) return hr;
  hr = configurator.unknown()->lpVtbl->QueryInterface(configurator.unknown(), iid, out);
  if (SUCCEEDED(hr)) InterlockedIncrement(&factory->created);
  return hr;
}

HRESULT STDMETHODCALLTYPE Factory_LockServer(IClassFactory*, BOOL) { return S_OK; }

const IClassFactoryVtbl kFactoryVtbl = {
    RAMULET_UNKNOWN_SLOTS(FactoryUnknown),
    .CreateInstance = Factory_CreateInstance,
    .LockServer = Factory_LockServer,
};

}  // namespace

HRESULT ConfiguratorClass::Register(EditorText* text) {
  Revoke();
  auto* factory = new (std::nothrow) ConfiguratorFactory{{&kFactoryVtbl}, 1, 0, EditorTextRef(text)};
  if (!factory) return E_OUTOFMEMORY;
  factory_ = ComPtr<IClassFactory>(&factory->iface);
  HRESULT hr = CoRegisterClassObject(CLSID_ConfigHost, factory_.unknown(), CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                     REGCLS_MULTIPLEUSE, &cookie_);
  if (FAILED(hr)) Revoke();
  return hr;
}

void ConfiguratorClass::Revoke() {
  if (cookie_) CoRevokeClassObject(cookie_);
  cookie_ = 0;
  factory_.Reset();
}

LONG ConfiguratorClass::Created() const { return factory_ ? impl_from_IClassFactory(factory_.get())->created : 0; }

}  // namespace ramulet::win32
