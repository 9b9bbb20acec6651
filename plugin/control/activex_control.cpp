#include "plugin/control/activex_control.h"

#include "panel/layout.h"

namespace ramulet::win32 {

namespace {

constexpr double kHimetricPerInch = 2540;

LONG TwipsToHimetric(double twips) { return static_cast<LONG>(twips * kHimetricPerInch / kTwipsPerInch + 0.5); }

}  // namespace

void ActiveXControlInit(ActiveXControl* control, IUnknown* outer, PanelWindow* window) {
  *control = ActiveXControl{};
  control->IOleObject_iface.lpVtbl = &kOleObjectVtbl;
  control->IOleInPlaceObject_iface.lpVtbl = &kOleInPlaceObjectVtbl;
  control->IOleInPlaceActiveObject_iface.lpVtbl = &kOleInPlaceActiveObjectVtbl;
  control->IViewObject2_iface.lpVtbl = &kViewObject2Vtbl;
  control->IPersistStreamInit_iface.lpVtbl = &kPersistStreamInitVtbl;
  control->IPersistPropertyBag_iface.lpVtbl = &kPersistPropertyBagVtbl;
  control->IOleControl_iface.lpVtbl = &kOleControlVtbl;
  control->IProvideClassInfo2_iface.lpVtbl = &kProvideClassInfo2Vtbl;
  control->IConnectionPointContainer_iface.lpVtbl = &kConnectionPointContainerVtbl;
  control->outer = outer;
  control->window = window;
  control->extent.cx = TwipsToHimetric(kPanelDesignWidth);
  control->extent.cy = TwipsToHimetric(kPanelDesignHeight);
}

void ActiveXControlCleanup(ActiveXControl* control) {
  DeactivateInPlace(control);
  control->client_site.Reset();
  control->advise_holder.Reset();
  control->view_sink.Reset();
  control->ambient_font.Reset();
}

void* ActiveXControlInterface(ActiveXControl* control, REFIID iid) {
  if (IsEqualIID(iid, IID_IOleObject)) return &control->IOleObject_iface;
  if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
    return &control->IOleInPlaceObject_iface;
  }
  if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) return &control->IOleInPlaceActiveObject_iface;
  if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2)) return &control->IViewObject2_iface;
  if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
    return &control->IPersistStreamInit_iface;
  }
  if (IsEqualIID(iid, IID_IPersistPropertyBag)) return &control->IPersistPropertyBag_iface;
  if (IsEqualIID(iid, IID_IOleControl)) return &control->IOleControl_iface;
  if (IsEqualIID(iid, IID_IProvideClassInfo2)) return &control->IProvideClassInfo2_iface;
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) return &control->IConnectionPointContainer_iface;
  return nullptr;
}

}  // namespace ramulet::win32
