#include "plugin/control/activex_control.h"
#include "plugin/control/panel_window.h"
#include "plugin/com/guarded_call.h"

namespace ramulet::win32 {

namespace {

using OleInPlaceObjectUnknown = DelegatingUnknown<&ActiveXControl::IOleInPlaceObject_iface>;

ActiveXControl* impl_from_IOleInPlaceObject(IOleInPlaceObject* iface) { return OleInPlaceObjectUnknown::Of(iface); }

HRESULT STDMETHODCALLTYPE OleInPlaceObject_GetWindow(IOleInPlaceObject* iface, HWND* window) {
  if (!window) return E_POINTER;
  *window = impl_from_IOleInPlaceObject(iface)->window->hwnd();
  return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject_ContextSensitiveHelp(IOleInPlaceObject*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE OleInPlaceObject_InPlaceDeactivate(IOleInPlaceObject* iface) {
  return DeactivateInPlace(impl_from_IOleInPlaceObject(iface));
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject_UIDeactivate(IOleInPlaceObject* iface) {
  return DeactivateUi(impl_from_IOleInPlaceObject(iface));
}

// The panel takes the position; a clip smaller than the position cuts the
// window with a region.
HRESULT STDMETHODCALLTYPE OleInPlaceObject_SetObjectRects(IOleInPlaceObject* iface, LPCRECT position,
                                                           LPCRECT clip) {
  if (!position) return E_INVALIDARG;
  PanelWindow* window = impl_from_IOleInPlaceObject(iface)->window;
  // The resize handler runs inside Place.
  HRESULT placed = Guarded(IID_IOleInPlaceObject, [&] {
    window->Place(*position);
    return S_OK;
  });
  if (FAILED(placed)) return placed;
  RECT visible = *position;
  if (clip) IntersectRect(&visible, position, clip);
  if (EqualRect(&visible, position)) {
    SetWindowRgn(window->hwnd(), nullptr, TRUE);
  } else {
    OffsetRect(&visible, -position->left, -position->top);
    SetWindowRgn(window->hwnd(), CreateRectRgnIndirect(&visible), TRUE);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleInPlaceObject_ReactivateAndUndo(IOleInPlaceObject*) { return INPLACE_E_NOTUNDOABLE; }

using OleInPlaceActiveObjectUnknown = DelegatingUnknown<&ActiveXControl::IOleInPlaceActiveObject_iface>;

ActiveXControl* impl_from_IOleInPlaceActiveObject(IOleInPlaceActiveObject* iface) {
  return OleInPlaceActiveObjectUnknown::Of(iface);
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject_GetWindow(IOleInPlaceActiveObject* iface, HWND* window) {
  if (!window) return E_POINTER;
  *window = impl_from_IOleInPlaceActiveObject(iface)->window->hwnd();
  return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject_ContextSensitiveHelp(IOleInPlaceActiveObject*, BOOL) {
  return E_NOTIMPL;
}

// The panel has no accelerators of its own; Tab and Shift+Tab move the
// focus among its controls as in a dialog, every other key goes on to the
// focused control (S_FALSE).
HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject_TranslateAccelerator(IOleInPlaceActiveObject* iface, LPMSG message) {
  if (!message) return E_INVALIDARG;
  PanelWindow* window = impl_from_IOleInPlaceActiveObject(iface)->window;
  return window && window->MoveFocusOnTab(*message) ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject_OnFrameWindowActivate(IOleInPlaceActiveObject*, BOOL) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject_OnDocWindowActivate(IOleInPlaceActiveObject*, BOOL) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject_ResizeBorder(IOleInPlaceActiveObject*, LPCRECT,
                                                               IOleInPlaceUIWindow*, BOOL) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE OleInPlaceActiveObject_EnableModeless(IOleInPlaceActiveObject*, BOOL) { return S_OK; }

}  // namespace

const IOleInPlaceObjectVtbl kOleInPlaceObjectVtbl = {
    RAMULET_UNKNOWN_SLOTS(OleInPlaceObjectUnknown),
    .GetWindow = OleInPlaceObject_GetWindow,
    .ContextSensitiveHelp = OleInPlaceObject_ContextSensitiveHelp,
    .InPlaceDeactivate = OleInPlaceObject_InPlaceDeactivate,
    .UIDeactivate = OleInPlaceObject_UIDeactivate,
    .SetObjectRects = OleInPlaceObject_SetObjectRects,
    .ReactivateAndUndo = OleInPlaceObject_ReactivateAndUndo,
};

const IOleInPlaceActiveObjectVtbl kOleInPlaceActiveObjectVtbl = {
    RAMULET_UNKNOWN_SLOTS(OleInPlaceActiveObjectUnknown),
    .GetWindow = OleInPlaceActiveObject_GetWindow,
    .ContextSensitiveHelp = OleInPlaceActiveObject_ContextSensitiveHelp,
    .TranslateAccelerator = OleInPlaceActiveObject_TranslateAccelerator,
    .OnFrameWindowActivate = OleInPlaceActiveObject_OnFrameWindowActivate,
    .OnDocWindowActivate = OleInPlaceActiveObject_OnDocWindowActivate,
    .ResizeBorder = OleInPlaceActiveObject_ResizeBorder,
    .EnableModeless = OleInPlaceActiveObject_EnableModeless,
};

}  // namespace ramulet::win32
