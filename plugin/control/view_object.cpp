#include "plugin/control/activex_control.h"

namespace ramulet::win32 {

namespace {

using ViewObject2Unknown = DelegatingUnknown<&ActiveXControl::IViewObject2_iface>;

ActiveXControl* impl_from_IViewObject2(IViewObject2* iface) { return ViewObject2Unknown::Of(iface); }

// The window paints itself; a container that asks for a drawing elsewhere
// (a metafile, a print preview) gets the panel's plain background.
HRESULT STDMETHODCALLTYPE ViewObject2_Draw(IViewObject2*, DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC,
                                            HDC dc, LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                            ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  RECT area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObject2_GetColorSet(IViewObject2*, DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                                   LOGPALETTE** colors) {
  if (colors) *colors = nullptr;
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE ViewObject2_Freeze(IViewObject2*, DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE ViewObject2_Unfreeze(IViewObject2*, DWORD) { return OLE_E_NOCONNECTION; }

HRESULT STDMETHODCALLTYPE ViewObject2_SetAdvise(IViewObject2* iface, DWORD aspects, DWORD flags,
                                                 IAdviseSink* sink) {
  ActiveXControl* control = impl_from_IViewObject2(iface);
  // The old sink is released only once the new one is in place.
  control->view_sink = ComPtr<IAdviseSink>::Retain(sink);
  control->view_aspects = aspects;
  control->view_advise_flags = flags;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObject2_GetAdvise(IViewObject2* iface, DWORD* aspects, DWORD* flags,
                                                 IAdviseSink** sink) {
  ActiveXControl* control = impl_from_IViewObject2(iface);
  if (aspects) *aspects = control->view_aspects;
  if (flags) *flags = control->view_advise_flags;
  if (sink) {
    *sink = ComPtr<IAdviseSink>(control->view_sink).Detach();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ViewObject2_GetExtent(IViewObject2* iface, DWORD aspect, LONG, DVTARGETDEVICE*,
                                                 LPSIZEL size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = impl_from_IViewObject2(iface)->extent;
  return S_OK;
}

}  // namespace

const IViewObject2Vtbl kViewObject2Vtbl = {
    RAMULET_UNKNOWN_SLOTS(ViewObject2Unknown),
    .Draw = ViewObject2_Draw,
    .GetColorSet = ViewObject2_GetColorSet,
    .Freeze = ViewObject2_Freeze,
    .Unfreeze = ViewObject2_Unfreeze,
    .SetAdvise = ViewObject2_SetAdvise,
    .GetAdvise = ViewObject2_GetAdvise,
    .GetExtent = ViewObject2_GetExtent,
};

}  // namespace ramulet::win32
