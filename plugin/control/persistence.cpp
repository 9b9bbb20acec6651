#include "plugin/control/activex_control.h"

// The panel keeps no properties: loading, saving and starting anew all
// succeed and store nothing.

namespace ramulet::win32 {

namespace {

HRESULT ClassIdOf(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Ramulet;
  return S_OK;
}

using PersistStreamInitUnknown = DelegatingUnknown<&ActiveXControl::IPersistStreamInit_iface>;

HRESULT STDMETHODCALLTYPE PersistStreamInit_GetClassID(IPersistStreamInit*, CLSID* clsid) { return ClassIdOf(clsid); }
HRESULT STDMETHODCALLTYPE PersistStreamInit_IsDirty(IPersistStreamInit*) { return S_FALSE; }
HRESULT STDMETHODCALLTYPE PersistStreamInit_Load(IPersistStreamInit*, IStream*) { return S_OK; }
HRESULT STDMETHODCALLTYPE PersistStreamInit_Save(IPersistStreamInit*, IStream*, BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE PersistStreamInit_GetSizeMax(IPersistStreamInit*, ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistStreamInit_InitNew(IPersistStreamInit*) { return S_OK; }

using PersistPropertyBagUnknown = DelegatingUnknown<&ActiveXControl::IPersistPropertyBag_iface>;

HRESULT STDMETHODCALLTYPE PersistPropertyBag_GetClassID(IPersistPropertyBag*, CLSID* clsid) {
  return ClassIdOf(clsid);
}
HRESULT STDMETHODCALLTYPE PersistPropertyBag_InitNew(IPersistPropertyBag*) { return S_OK; }
HRESULT STDMETHODCALLTYPE PersistPropertyBag_Load(IPersistPropertyBag*, IPropertyBag*, IErrorLog*) { return S_OK; }
HRESULT STDMETHODCALLTYPE PersistPropertyBag_Save(IPersistPropertyBag*, IPropertyBag*, BOOL, BOOL) { return S_OK; }

}  // namespace

const IPersistStreamInitVtbl kPersistStreamInitVtbl = {
    RAMULET_UNKNOWN_SLOTS(PersistStreamInitUnknown),
    .GetClassID = PersistStreamInit_GetClassID,
    .IsDirty = PersistStreamInit_IsDirty,
    .Load = PersistStreamInit_Load,
    .Save = PersistStreamInit_Save,
    .GetSizeMax = PersistStreamInit_GetSizeMax,
    .InitNew = PersistStreamInit_InitNew,
};

const IPersistPropertyBagVtbl kPersistPropertyBagVtbl = {
    RAMULET_UNKNOWN_SLOTS(PersistPropertyBagUnknown),
    .GetClassID = PersistPropertyBag_GetClassID,
    .InitNew = PersistPropertyBag_InitNew,
    .Load = PersistPropertyBag_Load,
    .Save = PersistPropertyBag_Save,
};

}  // namespace ramulet::win32
