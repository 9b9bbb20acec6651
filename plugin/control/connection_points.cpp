#include <new>

#include "plugin/control/activex_control.h"
#include "plugin/com/module.h"

// The panel raises no events: its container of connection points holds
// none.

namespace ramulet::win32 {

namespace {

// An enumerator over no connection points.
struct EmptyConnectionPoints {
  IEnumConnectionPoints IEnumConnectionPoints_iface;
  LONG refs;
};

EmptyConnectionPoints* impl_from_IEnumConnectionPoints(IEnumConnectionPoints* iface) {
  return CONTAINING_RECORD(iface, EmptyConnectionPoints, IEnumConnectionPoints_iface);
}

HRESULT CreateEmptyConnectionPoints(IEnumConnectionPoints** out);

HRESULT STDMETHODCALLTYPE EmptyEnum_QueryInterface(IEnumConnectionPoints* iface, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnectionPoints)) {
    *out = iface;
    iface->lpVtbl->AddRef(iface);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EmptyEnum_AddRef(IEnumConnectionPoints* iface) {
  return InterlockedIncrement(&impl_from_IEnumConnectionPoints(iface)->refs);
}

ULONG STDMETHODCALLTYPE EmptyEnum_Release(IEnumConnectionPoints* iface) {
  EmptyConnectionPoints* object = impl_from_IEnumConnectionPoints(iface);
  ULONG refs = InterlockedDecrement(&object->refs);
  if (refs == 0) {
    delete object;
    UnlockModule();
  }
  return refs;
}

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
    .QueryInterface = EmptyEnum_QueryInterface,
    .AddRef = EmptyEnum_AddRef,
    .Release = EmptyEnum_Release,
    .Next = EmptyEnum_Next,
    .Skip = EmptyEnum_Skip,
    .Reset = EmptyEnum_Reset,
    .Clone = EmptyEnum_Clone,
};

HRESULT CreateEmptyConnectionPoints(IEnumConnectionPoints** out) {
  *out = nullptr;
  auto* object = new (std::nothrow) EmptyConnectionPoints();
  if (!object) return E_OUTOFMEMORY;
  object->IEnumConnectionPoints_iface.lpVtbl = &kEmptyEnumVtbl;
  object->refs = 1;
  LockModule();
  *out = &object->IEnumConnectionPoints_iface;
  return S_OK;
}

RAMULET_ACTIVEX_UNKNOWN(IConnectionPointContainer, ConnectionPointContainer)

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
    .QueryInterface = ConnectionPointContainer_QueryInterface,
    .AddRef = ConnectionPointContainer_AddRef,
    .Release = ConnectionPointContainer_Release,
    .EnumConnectionPoints = ConnectionPointContainer_EnumConnectionPoints,
    .FindConnectionPoint = ConnectionPointContainer_FindConnectionPoint,
};

}  // namespace ramulet::win32
