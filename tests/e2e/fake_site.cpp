#include "tests/e2e/fake_site.h"

#include <new>

namespace e2e {

namespace {

FakeSite* impl_from_IOleClientSite(IOleClientSite* iface) {
  return CONTAINING_RECORD(iface, FakeSite, IOleClientSite_iface);
}

FakeSite* impl_from_IDispatch(IDispatch* iface) { return CONTAINING_RECORD(iface, FakeSite, IDispatch_iface); }

HRESULT SiteQueryInterface(FakeSite* site, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) *out = &site->IOleClientSite_iface;
  else if (IsEqualIID(iid, IID_IDispatch)) *out = &site->IDispatch_iface;
  if (!*out) return E_NOINTERFACE;
  InterlockedIncrement(&site->refs);
  return S_OK;
}

ULONG SiteRelease(FakeSite* site) {
  ULONG refs = InterlockedDecrement(&site->refs);
  if (refs == 0) {
    if (site->font) site->font->lpVtbl->Release(site->font);
    delete site;
  }
  return refs;
}

HRESULT STDMETHODCALLTYPE ClientSite_QueryInterface(IOleClientSite* iface, REFIID iid, void** out) {
  return SiteQueryInterface(impl_from_IOleClientSite(iface), iid, out);
}
ULONG STDMETHODCALLTYPE ClientSite_AddRef(IOleClientSite* iface) {
  return InterlockedIncrement(&impl_from_IOleClientSite(iface)->refs);
}
ULONG STDMETHODCALLTYPE ClientSite_Release(IOleClientSite* iface) { return SiteRelease(impl_from_IOleClientSite(iface)); }
HRESULT STDMETHODCALLTYPE ClientSite_SaveObject(IOleClientSite*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE ClientSite_GetMoniker(IOleClientSite*, DWORD, DWORD, IMoniker** moniker) {
  *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ClientSite_GetContainer(IOleClientSite*, IOleContainer** container) {
  *container = nullptr;
  return E_NOINTERFACE;
}
HRESULT STDMETHODCALLTYPE ClientSite_ShowObject(IOleClientSite*) { return S_OK; }
HRESULT STDMETHODCALLTYPE ClientSite_OnShowWindow(IOleClientSite*, BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE ClientSite_RequestNewObjectLayout(IOleClientSite*) { return E_NOTIMPL; }

const IOleClientSiteVtbl kClientSiteVtbl = {
    ClientSite_QueryInterface, ClientSite_AddRef,      ClientSite_Release,     ClientSite_SaveObject,
    ClientSite_GetMoniker,     ClientSite_GetContainer, ClientSite_ShowObject, ClientSite_OnShowWindow,
    ClientSite_RequestNewObjectLayout,
};

HRESULT STDMETHODCALLTYPE Ambient_QueryInterface(IDispatch* iface, REFIID iid, void** out) {
  return SiteQueryInterface(impl_from_IDispatch(iface), iid, out);
}
ULONG STDMETHODCALLTYPE Ambient_AddRef(IDispatch* iface) { return InterlockedIncrement(&impl_from_IDispatch(iface)->refs); }
ULONG STDMETHODCALLTYPE Ambient_Release(IDispatch* iface) { return SiteRelease(impl_from_IDispatch(iface)); }
HRESULT STDMETHODCALLTYPE Ambient_GetTypeInfoCount(IDispatch*, UINT* count) {
  *count = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE Ambient_GetTypeInfo(IDispatch*, UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE Ambient_GetIDsOfNames(IDispatch*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE Ambient_Invoke(IDispatch* iface, DISPID member, REFIID, LCID, WORD, DISPPARAMS*,
                                         VARIANT* result, EXCEPINFO*, UINT*) {
  FakeSite* site = impl_from_IDispatch(iface);
  if (member != DISPID_AMBIENT_FONT || !site->font || !result) return DISP_E_MEMBERNOTFOUND;
  V_VT(result) = VT_DISPATCH;
  return site->font->lpVtbl->QueryInterface(site->font, IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(result)));
}

const IDispatchVtbl kAmbientVtbl = {
    Ambient_QueryInterface, Ambient_AddRef,        Ambient_Release, Ambient_GetTypeInfoCount,
    Ambient_GetTypeInfo,    Ambient_GetIDsOfNames, Ambient_Invoke,
};

}  // namespace

FakeSite* CreateFakeSite(IFont* font) {
  auto* site = new (std::nothrow) FakeSite();
  if (!site) return nullptr;
  site->IOleClientSite_iface.lpVtbl = &kClientSiteVtbl;
  site->IDispatch_iface.lpVtbl = &kAmbientVtbl;
  site->refs = 1;
  SetAmbientFont(site, font);
  return site;
}

void SetAmbientFont(FakeSite* site, IFont* font) {
  if (font) font->lpVtbl->AddRef(font);
  if (site->font) site->font->lpVtbl->Release(site->font);
  site->font = font;
}

}  // namespace e2e
