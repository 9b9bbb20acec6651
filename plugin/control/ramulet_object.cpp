#include "plugin/control/ramulet_object.h"

#include <cstddef>
#include <memory>
#include <new>

#include "host/host_configurator.h"
#include "plugin/com/com_ptr.h"
#include "plugin/com/escaped_exception.h"
#include "plugin/host_com/host_factory.h"
#include "plugin/com/module.h"
#include "plugin/com/type_info_cache.h"

namespace ramulet::win32 {

namespace {

struct InterfaceEntry {
  const IID* iid;
  size_t offset;
};

// Every interface the object answers QueryInterface for.
const InterfaceEntry kInterfaces[] = {
    {&IID_IUnknown, offsetof(RamuletObject, automation)},
    {&IID_IDispatch, offsetof(RamuletObject, automation)},
    {&IID__Ramulet, offsetof(RamuletObject, automation)},
    {&IID_IConfigPlugin, offsetof(RamuletObject, plugin)},
    {&IID_IProvideClassInfo, offsetof(RamuletObject, class_info)},
    {&IID_ISupportErrorInfo, offsetof(RamuletObject, error_support)},
};

RamuletObject* impl_from_IProvideClassInfo(IProvideClassInfo* iface) {
  return CONTAINING_RECORD(iface, RamuletObject, class_info);
}

RamuletObject* impl_from_ISupportErrorInfo(ISupportErrorInfo* iface) {
  return CONTAINING_RECORD(iface, RamuletObject, error_support);
}

HRESULT STDMETHODCALLTYPE ClassInfo_QueryInterface(IProvideClassInfo* iface, REFIID iid, void** out) {
  return RamuletQueryInterface(impl_from_IProvideClassInfo(iface), iid, out);
}

ULONG STDMETHODCALLTYPE ClassInfo_AddRef(IProvideClassInfo* iface) {
  return RamuletAddRef(impl_from_IProvideClassInfo(iface));
}

ULONG STDMETHODCALLTYPE ClassInfo_Release(IProvideClassInfo* iface) {
  return RamuletRelease(impl_from_IProvideClassInfo(iface));
}

HRESULT STDMETHODCALLTYPE ClassInfo_GetClassInfo(IProvideClassInfo*, ITypeInfo** info) {
  return GetTypeInfoOf(CLSID_Ramulet, info);
}

// Controls alive on this thread. When the last one goes, the thread's
// configurator is released while the host and COM are surely still there,
// not by a destructor at thread or process exit.
thread_local int controls_on_thread = 0;

void ControlCreatedOnThread() { ++controls_on_thread; }

void ControlGoneFromThread() {
  if (controls_on_thread > 0 && --controls_on_thread == 0) HostConfigurator::ReleaseThread();
}

const IProvideClassInfoVtbl kClassInfoVtbl = {
    .QueryInterface = ClassInfo_QueryInterface,
    .AddRef = ClassInfo_AddRef,
    .Release = ClassInfo_Release,
    .GetClassInfo = ClassInfo_GetClassInfo,
};

HRESULT STDMETHODCALLTYPE ErrorSupport_QueryInterface(ISupportErrorInfo* iface, REFIID iid, void** out) {
  return RamuletQueryInterface(impl_from_ISupportErrorInfo(iface), iid, out);
}

ULONG STDMETHODCALLTYPE ErrorSupport_AddRef(ISupportErrorInfo* iface) {
  return RamuletAddRef(impl_from_ISupportErrorInfo(iface));
}

ULONG STDMETHODCALLTYPE ErrorSupport_Release(ISupportErrorInfo* iface) {
  return RamuletRelease(impl_from_ISupportErrorInfo(iface));
}

HRESULT STDMETHODCALLTYPE ErrorSupport_InterfaceSupportsErrorInfo(ISupportErrorInfo*, REFIID iid) {
  return IsEqualIID(iid, IID__Ramulet) || IsEqualIID(iid, IID_IConfigPlugin) ? S_OK : S_FALSE;
}

const ISupportErrorInfoVtbl kErrorSupportVtbl = {
    .QueryInterface = ErrorSupport_QueryInterface,
    .AddRef = ErrorSupport_AddRef,
    .Release = ErrorSupport_Release,
    .InterfaceSupportsErrorInfo = ErrorSupport_InterfaceSupportsErrorInfo,
};

}  // namespace

HRESULT RamuletQueryInterface(RamuletObject* object, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  for (const InterfaceEntry& entry : kInterfaces) {
    if (IsEqualIID(iid, *entry.iid)) {
      *out = reinterpret_cast<char*>(object) + entry.offset;
      RamuletAddRef(object);
      return S_OK;
    }
  }
  if (void* activex = ActiveXControlInterface(&object->activex, iid)) {
    *out = activex;
    RamuletAddRef(object);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG RamuletAddRef(RamuletObject* object) { return InterlockedIncrement(&object->refs); }

ULONG RamuletRelease(RamuletObject* object) {
  ULONG refs = InterlockedDecrement(&object->refs);
  if (refs == 0) {
    object->refs = 1;  // a container may call back while the control leaves it
    ActiveXControlCleanup(&object->activex);
    delete object->panel;
    delete object;
    ControlGoneFromThread();
    UnlockModule();
    if (!ModuleInUse()) PanelWindow::UnregisterClasses();
  }
  return refs;
}

HRESULT CreateRamulet(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  std::unique_ptr<RamuletPanel> panel;
  try {
    InstallHostConfiguratorFactory();
    std::unique_ptr<PanelWindow> window;
    Status made = PanelWindow::Create(window);
    if (!made.ok()) return made.code();
    panel = std::make_unique<RamuletPanel>(std::move(window));
  } catch (...) {
    return DescribeCurrentException().code;
  }
  auto* created = new (std::nothrow) RamuletObject();
  if (!created) return E_OUTOFMEMORY;
  created->automation.lpVtbl = &kRamuletAutomationVtbl;
  created->plugin.lpVtbl = &kRamuletPluginVtbl;
  created->class_info.lpVtbl = &kClassInfoVtbl;
  created->error_support.lpVtbl = &kErrorSupportVtbl;
  created->refs = 1;
  created->panel = panel.release();
  ActiveXControlInit(&created->activex, reinterpret_cast<IUnknown*>(&created->automation),
                     created->panel->window.get());
  LockModule();
  ControlCreatedOnThread();
  HRESULT hr = RamuletQueryInterface(created, iid, object);
  RamuletRelease(created);
  return hr;
}

}  // namespace ramulet::win32
