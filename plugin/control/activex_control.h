#pragma once

#include "plugin/com/com.h"

#include "plugin/com/com_object.h"
#include "plugin/com/com_ptr.h"

#include <ocidl.h>

namespace ramulet::win32 {

class PanelWindow;

// The status flags of the control: set client site first, alignable,
// activate when visible, inside-out, cannot link inside, recompose on
// resize.
inline constexpr DWORD kRamuletMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ALIGNABLE |
                                            OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                                            OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
static_assert(kRamuletMiscStatus == 0x28191);

// The interfaces that make the panel an ActiveX control a container can
// place, size and activate in place. Embedded in the COM object of the
// class; IUnknown goes to that object's own (`outer`, not counted here).
struct ActiveXControl {
  IOleObject IOleObject_iface;
  IOleInPlaceObject IOleInPlaceObject_iface;
  IOleInPlaceActiveObject IOleInPlaceActiveObject_iface;
  IViewObject2 IViewObject2_iface;
  IPersistStreamInit IPersistStreamInit_iface;
  IPersistPropertyBag IPersistPropertyBag_iface;
  IOleControl IOleControl_iface;
  IProvideClassInfo2 IProvideClassInfo2_iface;
  IConnectionPointContainer IConnectionPointContainer_iface;

  IUnknown* outer;
  PanelWindow* window;  // owned by the object

  ComPtr<IOleClientSite> client_site;
  ComPtr<IOleInPlaceSite> in_place_site;  // held while active in place
  ComPtr<IOleAdviseHolder> advise_holder;
  ComPtr<IAdviseSink> view_sink;
  DWORD view_aspects;
  DWORD view_advise_flags;
  ComPtr<IFont> ambient_font;  // keeps alive the font the child controls use
  SIZEL extent;         // HIMETRIC
  bool in_place_active;
  bool ui_active;
};

// The object's own IUnknown, which answers for every embedded interface.
inline IUnknown* OuterOf(ActiveXControl* control) { return control->outer; }

void ActiveXControlInit(ActiveXControl* control, IUnknown* outer, PanelWindow* window);
// Leaves the container and lets go of everything the container gave.
void ActiveXControlCleanup(ActiveXControl* control);
// The embedded interface for `iid`, not yet counted; null when it is not one
// of these.
void* ActiveXControlInterface(ActiveXControl* control, REFIID iid);

// Activation, shared by IOleObject and IOleInPlaceObject.
HRESULT ActivateInPlace(ActiveXControl* control, IOleClientSite* site, bool ui_activate);
HRESULT DeactivateUi(ActiveXControl* control);
HRESULT DeactivateInPlace(ActiveXControl* control);
// Reads the container's ambient font and gives it to the child controls;
// without one they keep the default GUI font.
void ApplyAmbientFont(ActiveXControl* control);

// The tables of the interfaces, each in the file that implements it.
extern const IOleObjectVtbl kOleObjectVtbl;
extern const IOleInPlaceObjectVtbl kOleInPlaceObjectVtbl;
extern const IOleInPlaceActiveObjectVtbl kOleInPlaceActiveObjectVtbl;
extern const IViewObject2Vtbl kViewObject2Vtbl;
extern const IPersistStreamInitVtbl kPersistStreamInitVtbl;
extern const IPersistPropertyBagVtbl kPersistPropertyBagVtbl;
extern const IOleControlVtbl kOleControlVtbl;
extern const IProvideClassInfo2Vtbl kProvideClassInfo2Vtbl;
extern const IConnectionPointContainerVtbl kConnectionPointContainerVtbl;

}  // namespace ramulet::win32
