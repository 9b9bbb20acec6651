#include "plugin/control/activex_control.h"
#include "plugin/control/panel_window.h"
#include "plugin/com/com_ptr.h"

namespace ramulet::win32 {

namespace {

// The frame and document windows of the site, for the active object.
struct WindowContext {
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  RECT position = {};
  RECT clip = {};
};

HRESULT GetContext(IOleInPlaceSite* site, WindowContext& context) {
  OLEINPLACEFRAMEINFO info = {};
  info.cb = sizeof(info);
  return site->lpVtbl->GetWindowContext(site, context.frame.Out(), context.document.Out(), &context.position,
                                        &context.clip, &info);
}

// Tells the frame and the document window which object is UI-active.
void SetActiveObject(const WindowContext& context, IOleInPlaceActiveObject* object) {
  if (IOleInPlaceFrame* frame = context.frame.get()) frame->lpVtbl->SetActiveObject(frame, object, nullptr);
  if (IOleInPlaceUIWindow* document = context.document.get()) {
    document->lpVtbl->SetActiveObject(document, object, nullptr);
  }
}

HRESULT EnterSite(ActiveXControl* control, IOleClientSite* client_site) {
  ComPtr<IOleInPlaceSite> site;
  HRESULT hr = QueryInterfaceOf(client_site, IID_IOleInPlaceSite, site);
  if (FAILED(hr)) return hr;
  if (site.get()->lpVtbl->CanInPlaceActivate(site.get()) != S_OK) return E_FAIL;
  hr = site.get()->lpVtbl->OnInPlaceActivate(site.get());
  if (FAILED(hr)) return hr;

  HWND parent = nullptr;
  WindowContext context;
  hr = site.get()->lpVtbl->GetWindow(site.get(), &parent);
  if (SUCCEEDED(hr)) hr = GetContext(site.get(), context);
  if (SUCCEEDED(hr) && !control->window->ShowIn(parent, context.position).ok()) hr = E_FAIL;
  if (FAILED(hr)) {
    site.get()->lpVtbl->OnInPlaceDeactivate(site.get());
    return hr;
  }
  control->in_place_site = std::move(site);
  control->in_place_active = true;
  client_site->lpVtbl->ShowObject(client_site);
  return S_OK;
}

HRESULT EnterUi(ActiveXControl* control) {
  IOleInPlaceSite* site = control->in_place_site.get();
  HRESULT hr = site->lpVtbl->OnUIActivate(site);
  if (FAILED(hr)) return hr;
  WindowContext context;
  if (SUCCEEDED(GetContext(site, context))) SetActiveObject(context, &control->IOleInPlaceActiveObject_iface);
  control->ui_active = true;
  HWND focus = GetFocus();
  if (!focus || !IsChild(control->window->hwnd(), focus)) SetFocus(control->window->hwnd());
  return S_OK;
}

}  // namespace

HRESULT ActivateInPlace(ActiveXControl* control, IOleClientSite* site, bool ui_activate) {
  if (!site) site = control->client_site.get();
  if (!site) return E_UNEXPECTED;
  if (!control->in_place_active) {
    HRESULT hr = EnterSite(control, site);
    if (FAILED(hr)) return hr;
  }
  return ui_activate && !control->ui_active ? EnterUi(control) : S_OK;
}

HRESULT DeactivateUi(ActiveXControl* control) {
  if (!control->ui_active) return S_OK;
  control->ui_active = false;
  IOleInPlaceSite* site = control->in_place_site.get();
  WindowContext context;
  if (SUCCEEDED(GetContext(site, context))) SetActiveObject(context, nullptr);
  site->lpVtbl->OnUIDeactivate(site, FALSE);
  return S_OK;
}

HRESULT DeactivateInPlace(ActiveXControl* control) {
  if (!control->in_place_active) return S_OK;
  DeactivateUi(control);
  control->window->Park();
  control->in_place_active = false;
  ComPtr<IOleInPlaceSite> site = std::move(control->in_place_site);
  site.get()->lpVtbl->OnInPlaceDeactivate(site.get());
  return S_OK;
}

}  // namespace ramulet::win32
