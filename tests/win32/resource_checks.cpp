// The resources and the version block of Ramulet.dll.
#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/expect_hresult.h"
#include "tests/win32/server_checks.h"

namespace {

// RT_BITMAP and RT_GROUP_ICON as wide resource types.
const LPCWSTR kBitmapType = MAKEINTRESOURCEW(2);
const LPCWSTR kIconGroupType = MAKEINTRESOURCEW(14);

// The bytes of resource `name` of type `type`, empty when it is missing.
std::vector<BYTE> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name) {
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  auto* data = static_cast<const BYTE*>(LockResource(loaded));
  return data ? std::vector<BYTE>(data, data + SizeofResource(module, found)) : std::vector<BYTE>();
}

bool IsIdentifierRecord(const std::vector<BYTE>& bytes, REFGUID guid) {
  DWORD length = 0;
  if (bytes.size() != 20) return false;
  std::memcpy(&length, bytes.data(), 4);
  return length == 16 && std::memcmp(bytes.data() + 4, &guid, 16) == 0;
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

void CheckPictures(HMODULE module) {
  std::vector<BYTE> bitmap = ResourceBytes(module, kBitmapType, MAKEINTRESOURCEW(30000));
  EXPECT_TRUE(bitmap.size() >= sizeof(BITMAPINFOHEADER));
  if (bitmap.size() >= sizeof(BITMAPINFOHEADER)) {
    BITMAPINFOHEADER header;
    std::memcpy(&header, bitmap.data(), sizeof header);
    EXPECT_TRUE(header.biWidth == 16 && header.biHeight == 15 && header.biBitCount == 4);
  }
  std::vector<BYTE> group = ResourceBytes(module, kIconGroupType, MAKEINTRESOURCEW(101));
  EXPECT_TRUE(group.size() == 6 + 2 * sizeof(IconGroupEntry));
  if (group.size() == 6 + 2 * sizeof(IconGroupEntry)) {
    IconGroupEntry entries[2];
    std::memcpy(entries, group.data() + 6, sizeof entries);
    EXPECT_TRUE(entries[0].width == 32 && entries[0].height == 32 && entries[0].bit_count == 8);
    EXPECT_TRUE(entries[1].width == 48 && entries[1].height == 48 && entries[1].bit_count == 8);
  }
}

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* key, bool* present = nullptr) {
  std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
  wchar_t* value = nullptr;
  UINT length = 0;
  bool found = VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) != 0;
  if (present) *present = found;
  return found && value ? std::wstring(value) : std::wstring();
}

void CheckVersion(const std::wstring& dll_path) {
  DWORD size = GetFileVersionInfoSizeW(dll_path.c_str(), nullptr);
  std::vector<BYTE> block(size);
  EXPECT_TRUE(size > 0 && GetFileVersionInfoW(dll_path.c_str(), 0, size, block.data()));
  if (size == 0) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  EXPECT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed);
  if (fixed) {
    EXPECT_TRUE(fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0);
    EXPECT_TRUE(fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0);
    EXPECT_TRUE(fixed->dwFileFlags == 0 && fixed->dwFileOS == VOS__WINDOWS32 && fixed->dwFileType == VFT_DLL);
  }
  EXPECT_TRUE(VersionString(block, L"CompanyName") == L"***");
  EXPECT_TRUE(VersionString(block, L"ProductName") == L"Korvex");
  EXPECT_TRUE(VersionString(block, L"FileVersion") == L"1.00");
  EXPECT_TRUE(VersionString(block, L"ProductVersion") == L"1.00");
  EXPECT_TRUE(VersionString(block, L"InternalName") == L"Ramulet");
  EXPECT_TRUE(VersionString(block, L"OriginalFilename") == L"Ramulet.dll");
  bool self_register = false;
  EXPECT_TRUE(VersionString(block, L"OLESelfRegister", &self_register).empty() && self_register);
  DWORD* translation = nullptr;
  EXPECT_TRUE(
      VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) &&
      translation && *translation == MAKELONG(0x0409, 1200));
}

}  // namespace

TEST(Registered, Resources) {
  HMODULE module = LoadLibraryExW(DllPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module != nullptr);
  EXPECT_TRUE(IsIdentifierRecord(ResourceBytes(module, L"_IID_RAMULET", MAKEINTRESOURCEW(1)), IID__Ramulet));
  EXPECT_TRUE(IsIdentifierRecord(ResourceBytes(module, L"_SRCIID_RAMULET", MAKEINTRESOURCEW(1)), DIID___Ramulet));
  EXPECT_TRUE(!ResourceBytes(module, L"TYPELIB", MAKEINTRESOURCEW(1)).empty());
  CheckPictures(module);
  wchar_t progid[64] = {};
  EXPECT_TRUE(LoadStringW(module, 100, progid, 64) > 0 && lstrcmpW(progid, L"Korvex.Ramulet") == 0);
  FreeLibrary(module);
}

TEST(Registered, Version) { CheckVersion(DllPath()); }
