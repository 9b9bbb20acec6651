#include "plugin/win32/activex/activex_control.h"

// The panel keeps no properties: loading, saving and starting anew all
// succeed and store nothing.

namespace ramulet::win32 {

namespace {

HRESULT ClassIdOf(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Ramulet;
  return S_OK;
}

RAMULET_ACTIVEX_UNKNOWN(IPersistStreamInit)

HRESULT STDMETHODCALLTYPE IPersistStreamInit_GetClassID(IPersistStreamInit*, CLSID* clsid) { return ClassIdOf(clsid); }
HRESULT STDMETHODCALLTYPE IPersistStreamInit_IsDirty(IPersistStreamInit*) { return S_FALSE; }
HRESULT STDMETHODCALLTYPE IPersistStreamInit_Load(IPersistStreamInit*, IStream*) { return S_OK; }
HRESULT STDMETHODCALLTYPE IPersistStreamInit_Save(IPersistStreamInit*, IStream*, BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE IPersistStreamInit_GetSizeMax(IPersistStreamInit*, ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE IPersistStreamInit_InitNew(IPersistStreamInit*) { return S_OK; }

RAMULET_ACTIVEX_UNKNOWN(IPersistPropertyBag)

HRESULT STDMETHODCALLTYPE IPersistPropertyBag_GetClassID(IPersistPropertyBag*, CLSID* clsid) {
  return ClassIdOf(clsid);
}
HRESULT STDMETHODCALLTYPE IPersistPropertyBag_InitNew(IPersistPropertyBag*) { return S_OK; }
HRESULT STDMETHODCALLTYPE IPersistPropertyBag_Load(IPersistPropertyBag*, IPropertyBag*, IErrorLog*) { return S_OK; }
HRESULT STDMETHODCALLTYPE IPersistPropertyBag_Save(IPersistPropertyBag*, IPropertyBag*, BOOL, BOOL) { return S_OK; }

}  // namespace

const IPersistStreamInitVtbl kPersistStreamInitVtbl = {
    IPersistStreamInit_QueryInterface, IPersistStreamInit_AddRef,     IPersistStreamInit_Release,
    IPersistStreamInit_GetClassID,     IPersistStreamInit_IsDirty,    IPersistStreamInit_Load,
    IPersistStreamInit_Save,           IPersistStreamInit_GetSizeMax, IPersistStreamInit_InitNew,
};

const IPersistPropertyBagVtbl kPersistPropertyBagVtbl = {
    IPersistPropertyBag_QueryInterface, IPersistPropertyBag_AddRef, IPersistPropertyBag_Release,
    IPersistPropertyBag_GetClassID,     IPersistPropertyBag_InitNew, IPersistPropertyBag_Load,
    IPersistPropertyBag_Save,
};

}  // namespace ramulet::win32
