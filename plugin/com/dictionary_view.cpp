#include "plugin/com/dictionary_view.h"

#include <new>

#include "plugin/com/com_ptr.h"
#include "plugin/com/error_info.h"
#include "plugin/com/guarded_call.h"
#include "plugin/com/module.h"
#include "plugin/com/type_info_cache.h"
#include "plugin/com/variant_convert.h"

namespace ramulet::win32 {

namespace {

struct DictionaryView {
  IRamuletDictionary IRamuletDictionary_iface;
  LONG refs;
  std::shared_ptr<Dictionary> dictionary;
};

DictionaryView* impl_from_IRamuletDictionary(IRamuletDictionary* iface) {
  return CONTAINING_RECORD(iface, DictionaryView, IRamuletDictionary_iface);
}

// The HRESULT of `status`; a failure also becomes the error information.
HRESULT Result(const Status& status) { return ReportError(status, IID_IRamuletDictionary); }

HRESULT STDMETHODCALLTYPE View_QueryInterface(IRamuletDictionary* iface, REFIID riid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, IID_IRamuletDictionary)) {
    *out = iface;
    AddRefOf(iface);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE View_AddRef(IRamuletDictionary* iface) {
  return InterlockedIncrement(&impl_from_IRamuletDictionary(iface)->refs);
}

ULONG STDMETHODCALLTYPE View_Release(IRamuletDictionary* iface) {
  DictionaryView* view = impl_from_IRamuletDictionary(iface);
  ULONG refs = InterlockedDecrement(&view->refs);
  if (refs == 0) {
    delete view;
    UnlockModule();
  }
  return refs;
}

HRESULT STDMETHODCALLTYPE View_GetTypeInfoCount(IRamuletDictionary*, UINT* count) {
  return DispatchTypeInfoCount(count);
}

HRESULT STDMETHODCALLTYPE View_GetTypeInfo(IRamuletDictionary*, UINT index, LCID, ITypeInfo** info) {
  return DispatchTypeInfo(IID_IRamuletDictionary, index, info);
}

HRESULT STDMETHODCALLTYPE View_GetIDsOfNames(IRamuletDictionary*, REFIID, LPOLESTR* names, UINT count, LCID,
                                             DISPID* ids) {
  return DispatchIdsOfNames(IID_IRamuletDictionary, names, count, ids);
}

HRESULT STDMETHODCALLTYPE View_Invoke(IRamuletDictionary* iface, DISPID member, REFIID riid, LCID, WORD flags,
                                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* arg_error) {
  return DispatchInvoke(IID_IRamuletDictionary, iface, member, riid, flags, params, result, exception, arg_error);
}

HRESULT STDMETHODCALLTYPE View_get_Item(IRamuletDictionary* iface, VARIANT key, VARIANT* item) {
  if (!item) return E_POINTER;
  VariantInit(item);
  return Guarded(IID_IRamuletDictionary, [&] {
    Variant wanted;
    Status status = FromVariant(key, wanted);
    if (!status.ok()) return Result(status);
    // A missing key reads as Empty; the view never adds one.
    const Variant* found = impl_from_IRamuletDictionary(iface)->dictionary->Find(wanted);
    if (!found) return S_OK;
    return Result(ToVariant(*found, *item));
  });
}

HRESULT STDMETHODCALLTYPE View_get_Count(IRamuletDictionary* iface, LONG* count) {
  if (!count) return E_POINTER;
  *count = static_cast<LONG>(impl_from_IRamuletDictionary(iface)->dictionary->Count());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE View_Keys(IRamuletDictionary* iface, VARIANT* keys) {
  if (!keys) return E_POINTER;
  return Guarded(IID_IRamuletDictionary,
                 [&] { return Result(ToVariant(impl_from_IRamuletDictionary(iface)->dictionary->Keys(), *keys)); });
}

HRESULT STDMETHODCALLTYPE View_Items(IRamuletDictionary* iface, VARIANT* items) {
  if (!items) return E_POINTER;
  return Guarded(IID_IRamuletDictionary,
                 [&] { return Result(ToVariant(impl_from_IRamuletDictionary(iface)->dictionary->Items(), *items)); });
}

HRESULT STDMETHODCALLTYPE View_Exists(IRamuletDictionary* iface, VARIANT key, VARIANT_BOOL* exists) {
  if (!exists) return E_POINTER;
  *exists = VARIANT_FALSE;
  return Guarded(IID_IRamuletDictionary, [&] {
    Variant wanted;
    Status status = FromVariant(key, wanted);
    if (!status.ok()) return Result(status);
    if (impl_from_IRamuletDictionary(iface)->dictionary->Exists(wanted)) *exists = VARIANT_TRUE;
    return S_OK;
  });
}

const IRamuletDictionaryVtbl kViewVtbl = {
    .QueryInterface = View_QueryInterface,
    .AddRef = View_AddRef,
    .Release = View_Release,
    .GetTypeInfoCount = View_GetTypeInfoCount,
    .GetTypeInfo = View_GetTypeInfo,
    .GetIDsOfNames = View_GetIDsOfNames,
    .Invoke = View_Invoke,
    .get_Item = View_get_Item,
    .get_Count = View_get_Count,
    .Keys = View_Keys,
    .Items = View_Items,
    .Exists = View_Exists,
};

}  // namespace

HRESULT CreateDictionaryView(std::shared_ptr<Dictionary> dictionary, IDispatch** view) {
  if (!view) return E_POINTER;
  *view = nullptr;
  auto* created = new (std::nothrow) DictionaryView{{&kViewVtbl}, 1, std::move(dictionary)};
  if (!created) return E_OUTOFMEMORY;
  LockModule();
  *view = reinterpret_cast<IDispatch*>(&created->IRamuletDictionary_iface);
  return S_OK;
}

std::shared_ptr<Dictionary> DictionaryBehind(IUnknown* object) {
  ComPtr<IRamuletDictionary> view;
  if (FAILED(QueryInterfaceOf(object, IID_IRamuletDictionary, view))) return nullptr;
  if (view.get()->lpVtbl != &kViewVtbl) return nullptr;  // someone else's object
  return impl_from_IRamuletDictionary(view.get())->dictionary;
}

}  // namespace ramulet::win32
