#include "plugin/win32/activex/activex_control.h"
#include "plugin/win32/type_info_cache.h"

namespace ramulet::win32 {

namespace {

RAMULET_ACTIVEX_UNKNOWN(IProvideClassInfo2)

HRESULT STDMETHODCALLTYPE IProvideClassInfo2_GetClassInfo(IProvideClassInfo2*, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return GetTypeInfoOf(CLSID_Ramulet, info);
}

HRESULT STDMETHODCALLTYPE IProvideClassInfo2_GetGUID(IProvideClassInfo2*, DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID___Ramulet;
  return S_OK;
}

}  // namespace

const IProvideClassInfo2Vtbl kProvideClassInfo2Vtbl = {
    IProvideClassInfo2_QueryInterface, IProvideClassInfo2_AddRef, IProvideClassInfo2_Release,
    IProvideClassInfo2_GetClassInfo,   IProvideClassInfo2_GetGUID,
};

}  // namespace ramulet::win32
