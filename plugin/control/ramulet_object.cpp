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

// Every interface the object answers QueryInterface for.
const InterfaceEntry kInterfaces[] = {
    {&IID_IUnknown, offsetof(RamuletObject, automation)},
    {&IID_IDispatch, offsetof(RamuletObject, automation)},
    {&IID__Ramulet, offsetof(RamuletObject, automation)},
    {&IID_IConfigPlugin, offsetof(RamuletObject, plugin)},
    {&IID_IProvideClassInfo, offsetof(RamuletObject, class_info)},
    {&IID_ISupportErrorInfo, offsetof(RamuletObject, error_support)},
};

using ClassInfoUnknown = DelegatingUnknown<&RamuletObject::class_info>;

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
    RAMULET_UNKNOWN_SLOTS(ClassInfoUnknown),
    .GetClassInfo = ClassInfo_GetClassInfo,
};

using ErrorSupportUnknown = DelegatingUnknown<&RamuletObject::error_support>;

HRESULT STDMETHODCALLTYPE ErrorSupport_InterfaceSupportsErrorInfo(ISupportErrorInfo*, REFIID iid) {
  return IsEqualIID(iid, IID__Ramulet) || IsEqualIID(iid, IID_IConfigPlugin) ? S_OK : S_FALSE;
}

const ISupportErrorInfoVtbl kErrorSupportVtbl = {
    RAMULET_UNKNOWN_SLOTS(ErrorSupportUnknown),
    .InterfaceSupportsErrorInfo = ErrorSupport_InterfaceSupportsErrorInfo,
};

}  // namespace

HRESULT RamuletQueryInterface(RamuletObject* object, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  void* found = FindInterface(object, kInterfaces, iid);
  if (!found) found = ActiveXControlInterface(&object->activex, iid);
  *out = found;
  if (!found) return E_NOINTERFACE;
  RamuletAddRef(object);
  return S_OK;
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
