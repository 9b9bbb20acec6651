#include "plugin/com/type_info_cache.h"

#include <string>

#include "plugin/com/com_ptr.h"
#include "plugin/com/escaped_exception.h"
#include "plugin/com/module.h"

namespace ramulet::win32 {

namespace {

// TYPELIB resource numbers in ramulet.rc.
constexpr int kKorvexLibrary = 1;
constexpr int kValuesLibrary = 2;

struct CachedTypeInfo {
  const GUID* guid;
  int library;
  ITypeInfo* info;
};

CachedTypeInfo cache[] = {
    {&IID__Ramulet, kKorvexLibrary, nullptr},
    {&CLSID_Ramulet, kKorvexLibrary, nullptr},
    {&IID_IRamuletDictionary, kValuesLibrary, nullptr},
};

HRESULT LoadTypeInfo(int library, REFGUID guid, ITypeInfo** info) noexcept try {
  std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  if (library != 1) path += L"\\" + std::to_wstring(library);
  ComPtr<ITypeLib> typelib;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, typelib.Out());
  if (FAILED(hr)) return hr;
  return typelib.get()->lpVtbl->GetTypeInfoOfGuid(typelib.get(), guid, info);
} catch (...) {
  // The module's path could not be held: every caller is a COM method.
  return DescribeCurrentException().code;
}

}  // namespace

HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  for (CachedTypeInfo& entry : cache) {
    if (!IsEqualGUID(*entry.guid, guid)) continue;
    if (!entry.info) {
      ITypeInfo* loaded = nullptr;
      HRESULT hr = LoadTypeInfo(entry.library, guid, &loaded);
      if (FAILED(hr)) return hr;
      // Another thread may have been quicker; keep the first one.
      if (InterlockedCompareExchangePointer(reinterpret_cast<void**>(&entry.info), loaded, nullptr)) {
        ReleaseOf(loaded);
      }
    }
    AddRefOf(entry.info);
    *info = entry.info;
    return S_OK;
  }
  return TYPE_E_ELEMENTNOTFOUND;
}

void ReleaseTypeInfoCache() {
  for (CachedTypeInfo& entry : cache) {
    if (auto* info = static_cast<ITypeInfo*>(InterlockedExchangePointer(reinterpret_cast<void**>(&entry.info), nullptr))) {
      ReleaseOf(info);
    }
  }
}

HRESULT DispatchTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT DispatchTypeInfo(REFIID iid, UINT index, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return GetTypeInfoOf(iid, info);
}

HRESULT DispatchIdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) {
  ComPtr<ITypeInfo> info;
  HRESULT hr = GetTypeInfoOf(iid, info.Out());
  if (FAILED(hr)) return hr;
  return DispGetIDsOfNames(info.get(), names, count, ids);
}

HRESULT DispatchInvoke(REFIID iid, void* object, DISPID member, REFIID riid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* arg_error) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  ComPtr<ITypeInfo> info;
  HRESULT hr = GetTypeInfoOf(iid, info.Out());
  if (FAILED(hr)) return hr;
  return DispInvoke(object, info.get(), member, flags, params, result, exception, arg_error);
}

}  // namespace ramulet::win32
