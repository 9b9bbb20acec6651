#include "plugin/com/registration.h"

#include <string>

#include "plugin/com/com_ptr.h"
#include "plugin/com/guarded_call.h"
#include "plugin/com/module.h"
#include "plugin/com/registry_table.h"

namespace ramulet::win32 {

namespace {

// Set client site first, alignable, activate when visible, inside-out,
// cannot link inside, recompose on resize.
static_assert(kMiscStatus == (OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ALIGNABLE | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE));

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

void ReplaceAll(std::wstring& text, const std::wstring& placeholder, const std::wstring& value) {
  for (size_t at = text.find(placeholder); at != std::wstring::npos; at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
}

std::wstring Expand(const wchar_t* pattern) {
  std::wstring text = pattern;
  ReplaceAll(text, L"%CLSID%", GuidText(CLSID_Ramulet));
  ReplaceAll(text, L"%LIBID%", GuidText(LIBID_Korvex));
  ReplaceAll(text, L"%MISC%", std::to_wstring(kMiscStatus));
  ReplaceAll(text, L"%MODULE%", ModulePath());
  return text;
}

LSTATUS WriteEntry(const RegistryEntry& entry) {
  HKEY key = nullptr;
  LSTATUS result = RegCreateKeyExW(HKEY_CLASSES_ROOT, Expand(entry.key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                   nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return result;
  if (entry.value) {
    std::wstring value = Expand(entry.value);
    result = RegSetValueExW(key, entry.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
  return result;
}

bool KeyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

HRESULT UnregisterTypeLibrary() {
  ComPtr<ITypeLib> typelib;
  HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, typelib.Out());
  if (FAILED(hr)) return hr;
  TLIBATTR* attributes = nullptr;
  hr = typelib.get()->lpVtbl->GetLibAttr(typelib.get(), &attributes);
  if (FAILED(hr)) return hr;
  std::wstring version = std::to_wstring(attributes->wMajorVerNum) + L"." + std::to_wstring(attributes->wMinorVerNum);
  if (KeyExists(L"TypeLib\\" + GuidText(attributes->guid) + L"\\" + version)) {
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                           attributes->syskind);
  }
  typelib.get()->lpVtbl->ReleaseTLibAttr(typelib.get(), attributes);
  return hr;
}

HRESULT RemoveRegistration() {
  HRESULT hr = S_OK;
  for (const wchar_t* owned : kOwnedKeys) {
    LSTATUS result = RegDeleteTreeW(HKEY_CLASSES_ROOT, Expand(owned).c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) hr = SELFREG_E_CLASS;
  }
  if (FAILED(UnregisterTypeLibrary())) hr = SELFREG_E_TYPELIB;
  return hr;
}

HRESULT WriteRegistration() {
  for (const RegistryEntry& entry : kClassEntries) {
    if (WriteEntry(entry) != ERROR_SUCCESS) {
      RemoveRegistration();
      return SELFREG_E_CLASS;
    }
  }
  ComPtr<ITypeLib> typelib;
  if (FAILED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_REGISTER, typelib.Out()))) {
    RemoveRegistration();
    return SELFREG_E_TYPELIB;
  }
  return S_OK;
}

}  // namespace

// The exports run under regsvr32 or an installer: no exception leaves them.
// A registration stopped by one is taken back as far as possible.
HRESULT RegisterServer() noexcept {
  HRESULT hr = Guarded(IID_NULL, [] { return WriteRegistration(); });
  if (hr == E_OUTOFMEMORY || hr == E_UNEXPECTED) UnregisterServer();
  return hr;
}

HRESULT UnregisterServer() noexcept { return Guarded(IID_NULL, [] { return RemoveRegistration(); }); }

}  // namespace ramulet::win32
