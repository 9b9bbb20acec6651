#pragma once

#include "plugin/com/com.h"

#include "panel/ramulet.h"
#include "plugin/control/activex_control.h"
#include "plugin/control/panel_window.h"
#include "plugin/control/stored_variants.h"

namespace ramulet::win32 {

// The panel behind one control: the portable Ramulet on the Win32 controls
// of the panel's window, which exists (hidden) from the control's creation.
struct RamuletPanel {
  explicit RamuletPanel(std::unique_ptr<PanelWindow> created)
      : window(std::move(created)), panel(window->ramulet()) {}
  std::unique_ptr<PanelWindow> window;
  Ramulet& panel;
};

// The COM object of the class Ramulet. Each interface is embedded; the
// interface table in ramulet_object.cpp maps identifiers to them.
struct RamuletObject {
  _Ramulet automation;  // also IUnknown and IDispatch
  IConfigPlugin plugin;
  IProvideClassInfo class_info;
  ISupportErrorInfo error_support;
  ActiveXControl activex;  // the ActiveX control interfaces
  LONG refs;
  RamuletPanel* panel;
  StoredVariants given_values;  // the stored properties as given
};

// The object's own IUnknown: its automation interface.
inline IUnknown* OuterOf(RamuletObject* object) { return reinterpret_cast<IUnknown*>(&object->automation); }

inline RamuletObject* impl_from__Ramulet(_Ramulet* iface) {
  return CONTAINING_RECORD(iface, RamuletObject, automation);
}
inline RamuletObject* impl_from_IConfigPlugin(IConfigPlugin* iface) {
  return CONTAINING_RECORD(iface, RamuletObject, plugin);
}

// The object's own IUnknown, shared by all its interfaces.
HRESULT RamuletQueryInterface(RamuletObject* object, REFIID iid, void** out);
ULONG RamuletAddRef(RamuletObject* object);
ULONG RamuletRelease(RamuletObject* object);

// The interfaces' tables, each in the file that implements it.
extern const _RamuletVtbl kRamuletAutomationVtbl;
extern const IConfigPluginVtbl kRamuletPluginVtbl;

// Creates a control (no aggregation) and hands out its interface `iid`.
HRESULT CreateRamulet(IUnknown* outer, REFIID iid, void** object);

}  // namespace ramulet::win32
