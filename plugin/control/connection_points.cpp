#include <new>

#include "plugin/control/activex_control.h"
#include "plugin/com/com_object.h"
#include "plugin/com/module.h"

// The panel raises no events: its container of connection points holds
// none.

namespace ramulet::win32 {

namespace {

// An enumerator over no connection points.
struct EmptyConnectionPoints {
  IEnumConnectionPoints iface;
  LONG refs;
  ModuleLock module{};
};

using EmptyEnumUnknown = ComUnknown<EmptyConnectionPoints, IEnumConnectionPoints, IID_IEnumConnectionPoints>;

HRESULT CreateEmptyConnectionPoints(IEnumConnectionPoints** out);

HRESULT STDMETHODCALLTYPE EmptyEnum_Next(IEnumConnectionPoints*, ULONG count, IConnectionPoint** points,
                                         ULONG* fetched) {
  if (!points && count) return E_POINTER;
  if (fetched) *fetched = 0;
  return count == 0 ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE EmptyEnum_Skip(IEnumConnectionPoints*, ULONG count) { return count == 0 ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE EmptyEnum_Reset(IEnumConnectionPoints*) { return S_OK; }

HRESULT STDMETHODCALLTYPE EmptyEnum_Clone(IEnumConnectionPoints*, IEnumConnectionPoints** copy) {
  if (!copy) return E_POINTER;
  return CreateEmptyConnectionPoints(copy);
}

const IEnumConnectionPointsVtbl kEmptyEnumVtbl = {
    RAMULET_UNKNOWN_SLOTS(EmptyEnumUnknown),
    .Next = EmptyEnum_Next,
    .Skip = EmptyEnum_Skip,
    .Reset = EmptyEnum_Reset,
    .Clone = EmptyEnum_Clone,
};

HRESULT CreateEmptyConnectionPoints(IEnumConnectionPoints** out) {
  return NewComObject<EmptyConnectionPoints>(out, &kEmptyEnumVtbl);
}

using ConnectionPointContainerUnknown = DelegatingUnknown<&ActiveXControl::IConnectionPointContainer_iface>;

HRESULT STDMETHODCALLTYPE ConnectionPointContainer_EnumConnectionPoints(IConnectionPointContainer*,
                                                                         IEnumConnectionPoints** points) {
  if (!points) return E_POINTER;
  return CreateEmptyConnectionPoints(points);
}

HRESULT STDMETHODCALLTYPE ConnectionPointContainer_FindConnectionPoint(IConnectionPointContainer*, REFIID,
                                                                        IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  return CONNECT_E_NOCONNECTION;
}

}  // namespace

const IConnectionPointContainerVtbl kConnectionPointContainerVtbl = {
    RAMULET_UNKNOWN_SLOTS(ConnectionPointContainerUnknown),
    .EnumConnectionPoints = ConnectionPointContainer_EnumConnectionPoints,
    .FindConnectionPoint = ConnectionPointContainer_FindConnectionPoint,
};

}  // namespace ramulet::win32
