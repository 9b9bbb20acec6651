#include "plugin/control/activex_control.h"
#include "plugin/control/panel_window.h"
#include "plugin/com/guarded_call.h"

namespace ramulet::win32 {

namespace {

using OleObjectUnknown = DelegatingUnknown<&ActiveXControl::IOleObject_iface>;

ActiveXControl* impl_from_IOleObject(IOleObject* iface) { return OleObjectUnknown::Of(iface); }

HRESULT STDMETHODCALLTYPE OleObject_SetClientSite(IOleObject* iface, IOleClientSite* site) {
  ActiveXControl* control = impl_from_IOleObject(iface);
  if (site == control->client_site.get()) return S_OK;
  if (!site) DeactivateInPlace(control);
  // The old site is released only once the new one is in place.
  control->client_site = ComPtr<IOleClientSite>::Retain(site);
  return Guarded(IID_IOleObject, [&] {
    ApplyAmbientFont(control);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE OleObject_GetClientSite(IOleObject* iface, IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = ComPtr<IOleClientSite>(impl_from_IOleObject(iface)->client_site).Detach();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject_SetHostNames(IOleObject*, LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT STDMETHODCALLTYPE OleObject_Close(IOleObject* iface, DWORD) {
  ActiveXControl* control = impl_from_IOleObject(iface);
  DeactivateInPlace(control);
  if (IOleAdviseHolder* holder = control->advise_holder.get()) holder->lpVtbl->SendOnClose(holder);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject_SetMoniker(IOleObject*, DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE OleObject_GetMoniker(IOleObject*, DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleObject_InitFromData(IOleObject*, IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE OleObject_GetClipboardData(IOleObject*, DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

// Inside-out: every verb that shows the control activates it in place; only
// UI activation also takes the focus.
HRESULT DoVerb(ActiveXControl* control, LONG verb, IOleClientSite* site) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return ActivateInPlace(control, site, false);
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(control, site, true);
    case OLEIVERB_HIDE:
      return DeactivateInPlace(control);
    default: {
      if (verb < 0) return E_NOTIMPL;
      HRESULT hr = ActivateInPlace(control, site, false);
      return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
    }
  }
}

// Activation shows the panel, which sizes it and runs its resize handler.
HRESULT STDMETHODCALLTYPE OleObject_DoVerb(IOleObject* iface, LONG verb, LPMSG, IOleClientSite* site, LONG,
                                            HWND, LPCRECT) {
  return Guarded(IID_IOleObject, [&] { return DoVerb(impl_from_IOleObject(iface), verb, site); });
}

HRESULT STDMETHODCALLTYPE OleObject_EnumVerbs(IOleObject*, IEnumOLEVERB** verbs) {
  if (!verbs) return E_POINTER;
  return OleRegEnumVerbs(CLSID_Ramulet, verbs);
}

HRESULT STDMETHODCALLTYPE OleObject_Update(IOleObject*) { return S_OK; }

HRESULT STDMETHODCALLTYPE OleObject_IsUpToDate(IOleObject*) { return S_OK; }

HRESULT STDMETHODCALLTYPE OleObject_GetUserClassID(IOleObject*, CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Ramulet;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject_GetUserType(IOleObject*, DWORD form, LPOLESTR* type) {
  return OleRegGetUserType(CLSID_Ramulet, form, type);
}

HRESULT STDMETHODCALLTYPE OleObject_SetExtent(IOleObject* iface, DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size || size->cx < 0 || size->cy < 0) return E_INVALIDARG;
  impl_from_IOleObject(iface)->extent = *size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject_GetExtent(IOleObject* iface, DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = impl_from_IOleObject(iface)->extent;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject_Advise(IOleObject* iface, IAdviseSink* sink, DWORD* connection) {
  ActiveXControl* control = impl_from_IOleObject(iface);
  if (!control->advise_holder) {
    HRESULT hr = CreateOleAdviseHolder(control->advise_holder.Out());
    if (FAILED(hr)) return hr;
  }
  IOleAdviseHolder* holder = control->advise_holder.get();
  return holder->lpVtbl->Advise(holder, sink, connection);
}

HRESULT STDMETHODCALLTYPE OleObject_Unadvise(IOleObject* iface, DWORD connection) {
  ActiveXControl* control = impl_from_IOleObject(iface);
  IOleAdviseHolder* holder = control->advise_holder.get();
  if (!holder) return OLE_E_NOCONNECTION;
  return holder->lpVtbl->Unadvise(holder, connection);
}

HRESULT STDMETHODCALLTYPE OleObject_EnumAdvise(IOleObject* iface, IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  ActiveXControl* control = impl_from_IOleObject(iface);
  IOleAdviseHolder* holder = control->advise_holder.get();
  if (!holder) return S_OK;
  return holder->lpVtbl->EnumAdvise(holder, advises);
}

HRESULT STDMETHODCALLTYPE OleObject_GetMiscStatus(IOleObject*, DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kRamuletMiscStatus;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleObject_SetColorScheme(IOleObject*, LOGPALETTE*) { return E_NOTIMPL; }

}  // namespace

const IOleObjectVtbl kOleObjectVtbl = {
    RAMULET_UNKNOWN_SLOTS(OleObjectUnknown),
    .SetClientSite = OleObject_SetClientSite,
    .GetClientSite = OleObject_GetClientSite,
    .SetHostNames = OleObject_SetHostNames,
    .Close = OleObject_Close,
    .SetMoniker = OleObject_SetMoniker,
    .GetMoniker = OleObject_GetMoniker,
    .InitFromData = OleObject_InitFromData,
    .GetClipboardData = OleObject_GetClipboardData,
    .DoVerb = OleObject_DoVerb,
    .EnumVerbs = OleObject_EnumVerbs,
    .Update = OleObject_Update,
    .IsUpToDate = OleObject_IsUpToDate,
    .GetUserClassID = OleObject_GetUserClassID,
    .GetUserType = OleObject_GetUserType,
    .SetExtent = OleObject_SetExtent,
    .GetExtent = OleObject_GetExtent,
    .Advise = OleObject_Advise,
    .Unadvise = OleObject_Unadvise,
    .EnumAdvise = OleObject_EnumAdvise,
    .GetMiscStatus = OleObject_GetMiscStatus,
    .SetColorScheme = OleObject_SetColorScheme,
};

}  // namespace ramulet::win32
