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

RAMULET_ACTIVEX_UNKNOWN(IPersistStreamInit, PersistStreamInit)

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

RAMULET_ACTIVEX_UNKNOWN(IPersistPropertyBag, PersistPropertyBag)

HRESULT STDMETHODCALLTYPE PersistPropertyBag_GetClassID(IPersistPropertyBag*, CLSID* clsid) {
  return ClassIdOf(clsid);
}
HRESULT STDMETHODCALLTYPE PersistPropertyBag_InitNew(IPersistPropertyBag*) { return S_OK; }
HRESULT STDMETHODCALLTYPE PersistPropertyBag_Load(IPersistPropertyBag*, IPropertyBag*, IErrorLog*) { return S_OK; }
HRESULT STDMETHODCALLTYPE PersistPropertyBag_Save(IPersistPropertyBag*, IPropertyBag*, BOOL, BOOL) { return S_OK; }

}  // namespace

const IPersistStreamInitVtbl kPersistStreamInitVtbl = {
    PersistStreamInit_QueryInterface, PersistStreamInit_AddRef,     PersistStreamInit_Release,
    PersistStreamInit_GetClassID,     PersistStreamInit_IsDirty,    PersistStreamInit_Load,
    PersistStreamInit_Save,           PersistStreamInit_GetSizeMax, PersistStreamInit_InitNew,
};

const IPersistPropertyBagVtbl kPersistPropertyBagVtbl = {
    PersistPropertyBag_QueryInterface, PersistPropertyBag_AddRef, PersistPropertyBag_Release,
    PersistPropertyBag_GetClassID,     PersistPropertyBag_InitNew, PersistPropertyBag_Load,
    PersistPropertyBag_Save,
};

}  // namespace ramulet::win32
