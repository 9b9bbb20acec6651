#include "plugin/com/value_handle.h"

#include <new>

#include "plugin/com/com_ptr.h"
#include "plugin/com/module.h"

namespace ramulet::win32 {

namespace {

struct ValueHandle {
  IDispatch IDispatch_iface;
  LONG refs;
  std::shared_ptr<Object> value;
};

ValueHandle* impl_from_IDispatch(IDispatch* iface) { return CONTAINING_RECORD(iface, ValueHandle, IDispatch_iface); }

HRESULT STDMETHODCALLTYPE Handle_QueryInterface(IDispatch* iface, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
    *out = iface;
    AddRefOf(iface);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE Handle_AddRef(IDispatch* iface) { return InterlockedIncrement(&impl_from_IDispatch(iface)->refs); }

ULONG STDMETHODCALLTYPE Handle_Release(IDispatch* iface) {
  ValueHandle* handle = impl_from_IDispatch(iface);
  ULONG refs = InterlockedDecrement(&handle->refs);
  if (refs == 0) {
    delete handle;
    UnlockModule();
  }
  return refs;
}

HRESULT STDMETHODCALLTYPE Handle_GetTypeInfoCount(IDispatch*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Handle_GetTypeInfo(IDispatch*, UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE Handle_GetIDsOfNames(IDispatch*, REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE Handle_Invoke(IDispatch*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                        UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

const IDispatchVtbl kHandleVtbl = {
    .QueryInterface = Handle_QueryInterface,
    .AddRef = Handle_AddRef,
    .Release = Handle_Release,
    .GetTypeInfoCount = Handle_GetTypeInfoCount,
    .GetTypeInfo = Handle_GetTypeInfo,
    .GetIDsOfNames = Handle_GetIDsOfNames,
    .Invoke = Handle_Invoke,
};

}  // namespace

HRESULT CreateValueHandle(std::shared_ptr<Object> value, IDispatch** handle) {
  if (!handle) return E_POINTER;
  *handle = nullptr;
  auto* created = new (std::nothrow) ValueHandle{{&kHandleVtbl}, 1, std::move(value)};
  if (!created) return E_OUTOFMEMORY;
  LockModule();
  *handle = &created->IDispatch_iface;
  return S_OK;
}

std::shared_ptr<Object> ValueBehind(IUnknown* object) {
  ComPtr<IDispatch> dispatch;
  if (FAILED(QueryInterfaceOf(object, IID_IDispatch, dispatch))) return nullptr;
  if (dispatch.get()->lpVtbl != &kHandleVtbl) return nullptr;  // someone else's object
  return impl_from_IDispatch(dispatch.get())->value;
}

}  // namespace ramulet::win32
