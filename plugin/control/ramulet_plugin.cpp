// IConfigPlugin of the control: the host's entry points into the panel.
#include <string>

#include "plugin/com/com_ptr.h"
#include "plugin/com/com_text.h"
#include "plugin/com/guarded_call.h"
#include "plugin/host_com/host_com.h"
#include "plugin/control/ramulet_object.h"
#include "plugin/com/variant_convert.h"

namespace ramulet::win32 {

namespace {

Ramulet& PanelOf(IConfigPlugin* iface) { return impl_from_IConfigPlugin(iface)->panel->panel; }

HRESULT Result(const Status& status) { return ReportError(status, IID_IConfigPlugin); }

using PluginUnknown = DelegatingUnknown<&RamuletObject::plugin>;

// The configurator as the panel takes it: nothing for a null pointer, else
// the object's configurator interface.
HRESULT ConfiguratorOf(IDispatch* pConfigurator, Variant& configurator) {
  if (!pConfigurator) return S_OK;
  ComPtr<IHostConfigurator> host;
  HRESULT hr = QueryInterfaceOf(pConfigurator, IID_IHostConfigurator, host);
  if (FAILED(hr)) return ReportError(E_NOINTERFACE, "the object passed to Init is not the host's configurator",
                                     IID_IConfigPlugin);
  configurator = Variant::Object(std::make_shared<ComConfigurator>(std::move(host)));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Plugin_Init(IConfigPlugin* iface, IDispatch* pConfigurator, BSTR* title) {
  if (!title) return E_POINTER;
  *title = nullptr;
  return Guarded(IID_IConfigPlugin, [&] {
    Variant configurator;
    HRESULT hr = ConfiguratorOf(pConfigurator, configurator);
    if (FAILED(hr)) return hr;
    std::u16string text;
    Status status = PanelOf(iface).IConfigPlugin_Init(configurator, text);
    if (!status.ok()) return Result(status);
    *title = AllocBstr(text);
    return *title ? S_OK : E_OUTOFMEMORY;
  });
}

HRESULT STDMETHODCALLTYPE Plugin_Done(IConfigPlugin* iface) {
  return Guarded(IID_IConfigPlugin, [&] {
    PanelOf(iface).IConfigPlugin_Done();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE Plugin_GetPluginCaps(IConfigPlugin* iface, LONG capNum, VARIANT* caps) {
  if (!caps) return E_POINTER;
  VariantInit(caps);
  return Guarded(IID_IConfigPlugin, [&] { return Result(ToVariant(PanelOf(iface).IConfigPlugin_GetPluginCaps(capNum), *caps)); });
}

HRESULT STDMETHODCALLTYPE Plugin_DoAction(IConfigPlugin* iface, LONG Action, VARIANT, VARIANT* result) {
  if (!result) return E_POINTER;
  VariantInit(result);
  return Guarded(IID_IConfigPlugin, [&] {
    // The panel ignores the parameter, so it is not converted.
    return Result(ToVariant(PanelOf(iface).IConfigPlugin_DoAction(Action, Variant()), *result));
  });
}

}  // namespace

const IConfigPluginVtbl kRamuletPluginVtbl = {
    RAMULET_UNKNOWN_SLOTS(PluginUnknown),
    .Init = Plugin_Init,
    .Done = Plugin_Done,
    .GetPluginCaps = Plugin_GetPluginCaps,
    .DoAction = Plugin_DoAction,
};

}  // namespace ramulet::win32
