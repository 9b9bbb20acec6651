#include "plugin/win32/activex/activex_control.h"
#include "plugin/win32/activex/panel_window.h"

namespace ramulet::win32 {

namespace {

RAMULET_ACTIVEX_UNKNOWN(IOleInPlaceObject)

HRESULT STDMETHODCALLTYPE IOleInPlaceObject_GetWindow(IOleInPlaceObject* iface, HWND* window) {
  if (!window) return E_POINTER;
  *window = impl_from_IOleInPlaceObject(iface)->window->hwnd();
  return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE IOleInPlaceObject_ContextSensitiveHelp(IOleInPlaceObject*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE IOleInPlaceObject_InPlaceDeactivate(IOleInPlaceObject* iface) {
  return DeactivateInPlace(impl_from_IOleInPlaceObject(iface));
}

HRESULT STDMETHODCALLTYPE IOleInPlaceObject_UIDeactivate(IOleInPlaceObject* iface) {
  return DeactivateUi(impl_from_IOleInPlaceObject(iface));
}

// The panel takes the position; a clip smaller than the position cuts the
// window with a region.
HRESULT STDMETHODCALLTYPE IOleInPlaceObject_SetObjectRects(IOleInPlaceObject* iface, LPCRECT position,
                                                           LPCRECT clip) {
  if (!position) return E_INVALIDARG;
  PanelWindow* window = impl_from_IOleInPlaceObject(iface)->window;
  window->Place(*position);
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

HRESULT STDMETHODCALLTYPE IOleInPlaceObject_ReactivateAndUndo(IOleInPlaceObject*) { return INPLACE_E_NOTUNDOABLE; }

RAMULET_ACTIVEX_UNKNOWN(IOleInPlaceActiveObject)

HRESULT STDMETHODCALLTYPE IOleInPlaceActiveObject_GetWindow(IOleInPlaceActiveObject* iface, HWND* window) {
  if (!window) return E_POINTER;
  *window = impl_from_IOleInPlaceActiveObject(iface)->window->hwnd();
  return *window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE IOleInPlaceActiveObject_ContextSensitiveHelp(IOleInPlaceActiveObject*, BOOL) {
  return E_NOTIMPL;
}

// The panel has no accelerators; its keys go to its controls.
HRESULT STDMETHODCALLTYPE IOleInPlaceActiveObject_TranslateAccelerator(IOleInPlaceActiveObject*, LPMSG) {
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE IOleInPlaceActiveObject_OnFrameWindowActivate(IOleInPlaceActiveObject*, BOOL) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE IOleInPlaceActiveObject_OnDocWindowActivate(IOleInPlaceActiveObject*, BOOL) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE IOleInPlaceActiveObject_ResizeBorder(IOleInPlaceActiveObject*, LPCRECT,
                                                               IOleInPlaceUIWindow*, BOOL) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE IOleInPlaceActiveObject_EnableModeless(IOleInPlaceActiveObject*, BOOL) { return S_OK; }

}  // namespace

const IOleInPlaceObjectVtbl kOleInPlaceObjectVtbl = {
    IOleInPlaceObject_QueryInterface,    IOleInPlaceObject_AddRef,
    IOleInPlaceObject_Release,           IOleInPlaceObject_GetWindow,
    IOleInPlaceObject_ContextSensitiveHelp, IOleInPlaceObject_InPlaceDeactivate,
    IOleInPlaceObject_UIDeactivate,      IOleInPlaceObject_SetObjectRects,
    IOleInPlaceObject_ReactivateAndUndo,
};

const IOleInPlaceActiveObjectVtbl kOleInPlaceActiveObjectVtbl = {
    IOleInPlaceActiveObject_QueryInterface,
    IOleInPlaceActiveObject_AddRef,
    IOleInPlaceActiveObject_Release,
    IOleInPlaceActiveObject_GetWindow,
    IOleInPlaceActiveObject_ContextSensitiveHelp,
    IOleInPlaceActiveObject_TranslateAccelerator,
    IOleInPlaceActiveObject_OnFrameWindowActivate,
    IOleInPlaceActiveObject_OnDocWindowActivate,
    IOleInPlaceActiveObject_ResizeBorder,
    IOleInPlaceActiveObject_EnableModeless,
};

}  // namespace ramulet::win32
