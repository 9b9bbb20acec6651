#include "tools/host_app/configurator_class.h"

#include <new>

#include "tools/host_app/host_objects.h"

namespace ramulet::win32 {

namespace {

struct ConfiguratorFactory {
  IClassFactory IClassFactory_iface;
  LONG refs;
  LONG created;
  EditorText* text;
};

ConfiguratorFactory* impl_from_IClassFactory(IClassFactory* iface) {
  return CONTAINING_RECORD(iface, ConfiguratorFactory, IClassFactory_iface);
}

HRESULT STDMETHODCALLTYPE Factory_QueryInterface(IClassFactory* iface, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = iface;
    iface->lpVtbl->AddRef(iface);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE Factory_AddRef(IClassFactory* iface) {
  return InterlockedIncrement(&impl_from_IClassFactory(iface)->refs);
}

ULONG STDMETHODCALLTYPE Factory_Release(IClassFactory* iface) {
  ConfiguratorFactory* factory = impl_from_IClassFactory(iface);
  ULONG refs = InterlockedDecrement(&factory->refs);
  if (refs == 0) {
    factory->text->Release();
    delete factory;
  }
  return refs;
}

HRESULT STDMETHODCALLTYPE Factory_CreateInstance(IClassFactory* iface, IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  ConfiguratorFactory* factory = impl_from_IClassFactory(iface);
  IHostConfigurator* configurator = nullptr;
  HRESULT hr = CreateConfiguratorObject(factory->text, &configurator);
  if (FAILED(hr)) return hr;
  hr = configurator->lpVtbl->QueryInterface(configurator, iid, out);
  configurator->lpVtbl->Release(configurator);
  if (SUCCEEDED(hr)) InterlockedIncrement(&factory->created);
  return hr;
}

HRESULT STDMETHODCALLTYPE Factory_LockServer(IClassFactory*, BOOL) { return S_OK; }

const IClassFactoryVtbl kFactoryVtbl = {
    .QueryInterface = Factory_QueryInterface,
    .AddRef = Factory_AddRef,
    .Release = Factory_Release,
    .CreateInstance = Factory_CreateInstance,
    .LockServer = Factory_LockServer,
};

}  // namespace

HRESULT ConfiguratorClass::Register(EditorText* text) {
  Revoke();
  auto* factory = new (std::nothrow) ConfiguratorFactory();
  if (!factory) return E_OUTOFMEMORY;
  factory->IClassFactory_iface.lpVtbl = &kFactoryVtbl;
  factory->refs = 1;
  factory->text = text;
  text->AddRef();
  factory_ = &factory->IClassFactory_iface;
  HRESULT hr = CoRegisterClassObject(CLSID_ConfigHost, reinterpret_cast<IUnknown*>(factory_),
                                     CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  if (FAILED(hr)) Revoke();
  return hr;
}

void ConfiguratorClass::Revoke() {
  if (cookie_) CoRevokeClassObject(cookie_);
  cookie_ = 0;
  if (factory_) factory_->lpVtbl->Release(factory_);
  factory_ = nullptr;
}

LONG ConfiguratorClass::Created() const {
  return factory_ ? impl_from_IClassFactory(factory_)->created : 0;
}

}  // namespace ramulet::win32
