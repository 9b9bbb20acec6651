#include "plugin/class_factory.h"

#include "plugin/com/com_object.h"
#include "plugin/com/module.h"
#include "plugin/control/ramulet_object.h"

namespace ramulet::win32 {

namespace {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

// A class object lives as long as the module; a reference held by a client
// keeps the module loaded.
struct ClassObject {
  IClassFactory IClassFactory_iface;
  const CLSID* clsid;
  CreateFunction create;
};

ClassObject* impl_from_IClassFactory(IClassFactory* iface) {
  return CONTAINING_RECORD(iface, ClassObject, IClassFactory_iface);
}

// A class object's IUnknown: it is not counted itself; every reference it
// gives out locks the module instead.
struct FactoryUnknown {
  static HRESULT STDMETHODCALLTYPE QueryInterface(IClassFactory* iface, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = iface;
      LockModule();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  static ULONG STDMETHODCALLTYPE AddRef(IClassFactory*) {
    LockModule();
    return 2;
  }
  static ULONG STDMETHODCALLTYPE Release(IClassFactory*) {
    UnlockModule();
    return 1;
  }
};

HRESULT STDMETHODCALLTYPE Factory_CreateInstance(IClassFactory* iface, IUnknown* outer, REFIID iid, void** object) {
  return impl_from_IClassFactory(iface)->create(outer, iid, object);
}

HRESULT STDMETHODCALLTYPE Factory_LockServer(IClassFactory*, BOOL lock) {
  if (lock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

const IClassFactoryVtbl kFactoryVtbl = {
    RAMULET_UNKNOWN_SLOTS(FactoryUnknown),
    .CreateInstance = Factory_CreateInstance,
    .LockServer = Factory_LockServer,
};

// Every class the server offers.
ClassObject class_objects[] = {
    {{&kFactoryVtbl}, &CLSID_Ramulet, CreateRamulet},
};

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (ClassObject& entry : class_objects) {
    if (IsEqualCLSID(clsid, *entry.clsid)) {
      return FactoryUnknown::QueryInterface(&entry.IClassFactory_iface, iid, object);
    }
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace ramulet::win32
