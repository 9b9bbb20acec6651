#include "plugin/control/activex_control.h"
#include "plugin/com/type_info_cache.h"

namespace ramulet::win32 {

namespace {

using ProvideClassInfo2Unknown = DelegatingUnknown<&ActiveXControl::IProvideClassInfo2_iface>;

HRESULT STDMETHODCALLTYPE ProvideClassInfo2_GetClassInfo(IProvideClassInfo2*, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return GetTypeInfoOf(CLSID_Ramulet, info);
}

HRESULT STDMETHODCALLTYPE ProvideClassInfo2_GetGUID(IProvideClassInfo2*, DWORD kind, GUID* guid) {
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
    RAMULET_UNKNOWN_SLOTS(ProvideClassInfo2Unknown),
    .GetClassInfo = ProvideClassInfo2_GetClassInfo,
    .GetGUID = ProvideClassInfo2_GetGUID,
};

}  // namespace ramulet::win32
