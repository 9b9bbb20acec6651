#include "tests/win32/expect_hresult.h"
#include "tests/win32/server_checks.h"

std::optional<std::wstring> ClassesValue(const std::wstring& key, const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD size = sizeof buffer;
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}

bool ClassesKeyExists(const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

TEST(Registered, RegistryEntries) {
  const std::wstring& dll_path = DllPath();
  const std::wstring clsid = L"CLSID\\" + GuidText(CLSID_Ramulet);
  EXPECT_TRUE(ClassesValue(clsid).has_value());
  EXPECT_TRUE(ClassesValue(clsid + L"\\ProgID") == L"Korvex.Ramulet");
  std::optional<std::wstring> server = ClassesValue(clsid + L"\\InprocServer32");
  EXPECT_TRUE(server && lstrcmpiW(server->c_str(), dll_path.c_str()) == 0);
  EXPECT_TRUE(ClassesValue(clsid + L"\\InprocServer32", L"ThreadingModel") == L"Apartment");
  EXPECT_TRUE(ClassesValue(clsid + L"\\TypeLib") == GuidText(LIBID_Korvex));
  EXPECT_TRUE(ClassesValue(clsid + L"\\Version") == L"1.0");
  EXPECT_TRUE(ClassesKeyExists(clsid + L"\\Control"));
  EXPECT_TRUE(ClassesValue(clsid + L"\\MiscStatus") == L"0");
  EXPECT_TRUE(ClassesValue(clsid + L"\\MiscStatus\\1") == L"164241");
  std::optional<std::wstring> bitmap = ClassesValue(clsid + L"\\ToolboxBitmap32");
  EXPECT_TRUE(bitmap && lstrcmpiW(bitmap->c_str(), (dll_path + L",30000").c_str()) == 0);
  EXPECT_TRUE(ClassesValue(L"Korvex.Ramulet\\CLSID") == GuidText(CLSID_Ramulet));

  const wchar_t* platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  EXPECT_TRUE(ClassesKeyExists(L"TypeLib\\" + GuidText(LIBID_Korvex) + L"\\1.0\\0\\" + platform));
  EXPECT_TRUE(ClassesValue(L"Interface\\" + GuidText(IID__Ramulet) + L"\\TypeLib") == GuidText(LIBID_Korvex));
  // The host's own interface is left to the host's registration.
  EXPECT_TRUE(!ClassesKeyExists(L"Interface\\" + GuidText(IID_IConfigPlugin)));

  CLSID from_progid = {};
  EXPECT_TRUE(SUCCEEDED(CLSIDFromProgID(L"Korvex.Ramulet", &from_progid)) && IsEqualCLSID(from_progid, CLSID_Ramulet));
}
