#include "plugin/com/dictionary_view.h"

#include <new>

#include "plugin/com/com_object.h"
#include "plugin/com/com_ptr.h"
#include "plugin/com/error_info.h"
#include "plugin/com/guarded_call.h"
#include "plugin/com/module.h"
#include "plugin/com/type_info_cache.h"
#include "plugin/com/variant_convert.h"

namespace ramulet::win32 {

namespace {

struct DictionaryView {
  IRamuletDictionary iface;
  LONG refs;
  std::shared_ptr<Dictionary> dictionary;
  ModuleLock module{};
};

using ViewUnknown = ComUnknown<DictionaryView, IRamuletDictionary, IID_IDispatch, IID_IRamuletDictionary>;
using ViewDispatch = TypeInfoDispatch<IRamuletDictionary, IID_IRamuletDictionary>;

DictionaryView* impl_from_IRamuletDictionary(IRamuletDictionary* iface) { return ViewUnknown::Of(iface); }

// The HRESULT of `status`; a failure also becomes the error information.
HRESULT Result(const Status& status) { return ReportError(status, IID_IRamuletDictionary); }

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
    RAMULET_UNKNOWN_SLOTS(ViewUnknown),
    RAMULET_DISPATCH_SLOTS(ViewDispatch),
    .get_Item = View_get_Item,
    .get_Count = View_get_Count,
    .Keys = View_Keys,
    .Items = View_Items,
    .Exists = View_Exists,
};

}  // namespace

HRESULT CreateDictionaryView(std::shared_ptr<Dictionary> dictionary, IDispatch** view) {
  // IRamuletDictionary is a dual interface: its pointer is an IDispatch.
  return NewComObject<DictionaryView>(reinterpret_cast<IRamuletDictionary**>(view), &kViewVtbl, std::move(dictionary));
}

std::shared_ptr<Dictionary> DictionaryBehind(IUnknown* object) {
  auto view = OwnInterface<IRamuletDictionary>(object, IID_IRamuletDictionary, &kViewVtbl);
  return view ? ViewUnknown::Of(view.get())->dictionary : nullptr;
}

}  // namespace ramulet::win32
