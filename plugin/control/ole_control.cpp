#include "plugin/control/activex_control.h"
#include "plugin/control/panel_window.h"
#include "plugin/com/guarded_call.h"
#include "plugin/com/com_ptr.h"

namespace ramulet::win32 {

namespace {

// The container's ambient font through its site's IDispatch; empty when
// the site offers none.
ComPtr<IFont> AmbientFontOf(IOleClientSite* site) {
  ComPtr<IDispatch> ambient;
  if (!site || FAILED(QueryInterfaceOf(site, IID_IDispatch, ambient))) return {};
  DISPPARAMS no_arguments = {};
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = ambient.get()->lpVtbl->Invoke(ambient.get(), DISPID_AMBIENT_FONT, IID_NULL, LOCALE_USER_DEFAULT,
                                             DISPATCH_PROPERTYGET, &no_arguments, &value, nullptr, nullptr);
  ComPtr<IFont> font;
  if (SUCCEEDED(hr) && (V_VT(&value) == VT_DISPATCH || V_VT(&value) == VT_UNKNOWN) && V_UNKNOWN(&value)) {
    QueryInterfaceOf(V_UNKNOWN(&value), IID_IFont, font);
  }
  VariantClear(&value);
  return font;
}

using OleControlUnknown = DelegatingUnknown<&ActiveXControl::IOleControl_iface>;

ActiveXControl* impl_from_IOleControl(IOleControl* iface) { return OleControlUnknown::Of(iface); }

HRESULT STDMETHODCALLTYPE OleControl_GetControlInfo(IOleControl*, CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControl_OnMnemonic(IOleControl*, MSG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE OleControl_OnAmbientPropertyChange(IOleControl* iface, DISPID property) {
  if (property != DISPID_AMBIENT_FONT && property != DISPID_UNKNOWN) return S_OK;
  return Guarded(IID_IOleControl, [&] {
    ApplyAmbientFont(impl_from_IOleControl(iface));
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE OleControl_FreezeEvents(IOleControl*, BOOL) { return S_OK; }

}  // namespace

void ApplyAmbientFont(ActiveXControl* control) {
  ComPtr<IFont> font = AmbientFontOf(control->client_site.get());
  HFONT handle = nullptr;
  if (font && FAILED(font.get()->lpVtbl->get_hFont(font.get(), &handle))) handle = nullptr;
  if (!handle) {
    font.Reset();
    handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  control->window->SetFont(handle);
  // The old font object goes only now that no control uses its font.
  control->ambient_font = std::move(font);
}

const IOleControlVtbl kOleControlVtbl = {
    RAMULET_UNKNOWN_SLOTS(OleControlUnknown),
    .GetControlInfo = OleControl_GetControlInfo,
    .OnMnemonic = OleControl_OnMnemonic,
    .OnAmbientPropertyChange = OleControl_OnAmbientPropertyChange,
    .FreezeEvents = OleControl_FreezeEvents,
};

}  // namespace ramulet::win32
