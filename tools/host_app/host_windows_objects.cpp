#include "tools/host_app/host_object_base.h"
#include "tools/host_app/host_objects.h"

// The configurator, the window set and the window: each reached through one
// table slot, each giving the next.

namespace ramulet::win32 {

namespace {

HRESULT STDMETHODCALLTYPE Configurator_get_Windows(IHostConfigurator* iface, IHostWindowSet** windows) {
  return CreateWindowSetObject(HostObjectOf(iface)->text.get(), windows);
}

using C = IHostConfigurator;
const IHostConfiguratorVtbl kConfiguratorVtbl = {
    RAMULET_UNKNOWN_SLOTS(HostUnknown<C, IID_IHostConfigurator>),
    RAMULET_DISPATCH_SLOTS(HostDispatch<C>),
    .Reserved7 = Unused<C>,
    .Reserved8 = Unused<C>,
    .Reserved9 = Unused<C>,
    .Reserved10 = Unused<C>,
    .Reserved11 = Unused<C>,
    .Reserved12 = Unused<C>,
    .Reserved13 = Unused<C>,
    .Reserved14 = Unused<C>,
    .Reserved15 = Unused<C>,
    .Reserved16 = Unused<C>,
    .Reserved17 = Unused<C>,
    .Reserved18 = Unused<C>,
    .Reserved19 = Unused<C>,
    .Reserved20 = Unused<C>,
    .get_Windows = Configurator_get_Windows,
};

// The editor is the one window; none is active once it has closed.
HRESULT STDMETHODCALLTYPE WindowSet_get_ActiveWindow(IHostWindowSet* iface, IHostWindow** window) {
  if (!window) return E_POINTER;
  EditorText* text = HostObjectOf(iface)->text.get();
  if (!text->Attached()) {
    *window = nullptr;
    return S_OK;
  }
  return CreateWindowObject(text, window);
}

using S = IHostWindowSet;
const IHostWindowSetVtbl kWindowSetVtbl = {
    RAMULET_UNKNOWN_SLOTS(HostUnknown<S, IID_IHostWindowSet>),
    RAMULET_DISPATCH_SLOTS(HostDispatch<S>),
    .Reserved7 = Unused<S>,
    .get_ActiveWindow = WindowSet_get_ActiveWindow,
};

HRESULT STDMETHODCALLTYPE Window_get_Document(IHostWindow* iface, IDispatch** document) {
  if (!document) return E_POINTER;
  *document = nullptr;
  IHostTextDocument* text_document = nullptr;
  HRESULT hr = CreateTextDocumentObject(HostObjectOf(iface)->text.get(), &text_document);
  if (SUCCEEDED(hr)) *document = reinterpret_cast<IDispatch*>(text_document);
  return hr;
}

using W = IHostWindow;
const IHostWindowVtbl kWindowVtbl = {
    RAMULET_UNKNOWN_SLOTS(HostUnknown<W, IID_IHostWindow>),
    RAMULET_DISPATCH_SLOTS(HostDispatch<W>),
    .Reserved7 = Unused<W>,
    .Reserved8 = Unused<W>,
    .Reserved9 = Unused<W>,
    .get_Document = Window_get_Document,
};

}  // namespace

HRESULT CreateConfiguratorObject(EditorText* text, IHostConfigurator** out) {
  return CreateHostObject(text, &kConfiguratorVtbl, out);
}

HRESULT CreateWindowSetObject(EditorText* text, IHostWindowSet** out) {
  return CreateHostObject(text, &kWindowSetVtbl, out);
}

HRESULT CreateWindowObject(EditorText* text, IHostWindow** out) { return CreateHostObject(text, &kWindowVtbl, out); }

}  // namespace ramulet::win32
