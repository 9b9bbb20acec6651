#pragma once

// The registry entries of the Ramulet class, as plain data. DllRegisterServer
// writes them, and the installer package's Registry rows are generated from
// this file (plugin/package/registry_rows.cmake reads it as text), so
// the two register the same keys. Keep one entry per line, written as
// {L"key", L"name" or nullptr, L"value" or nullptr}, (the package build stops
// at an entry it cannot read).
//
// Keys are under HKEY_CLASSES_ROOT. A null name is the key's default value;
// a null value makes the key alone. Placeholders, filled in when written:
// %CLSID% (the class), %LIBID% (its type library), %MISC% (kMiscStatus),
// %MODULE% (the DLL's path), %MODULE_FOLDER% (the folder holding it) and
// %PLATFORM% (win32 or win64).

// clang-format off
namespace ramulet::win32 {

struct RegistryEntry {
  const wchar_t* key;
  const wchar_t* name;
  const wchar_t* value;
};

// The control's status flags (OLEMISC_*); registration.cpp checks the sum.
inline constexpr unsigned long kMiscStatus = 164241;

// Written by DllRegisterServer itself.
inline constexpr RegistryEntry kClassEntries[] = {
    {L"CLSID\\%CLSID%", nullptr, L"Ramulet"},
    {L"CLSID\\%CLSID%\\ProgID", nullptr, L"Korvex.Ramulet"},
    {L"CLSID\\%CLSID%\\InprocServer32", nullptr, L"%MODULE%"},
    {L"CLSID\\%CLSID%\\InprocServer32", L"ThreadingModel", L"Apartment"},
    {L"CLSID\\%CLSID%\\TypeLib", nullptr, L"%LIBID%"},
    {L"CLSID\\%CLSID%\\Version", nullptr, L"1.0"},
    {L"CLSID\\%CLSID%\\Control", nullptr, nullptr},
    {L"CLSID\\%CLSID%\\MiscStatus", nullptr, L"0"},
    {L"CLSID\\%CLSID%\\MiscStatus\\1", nullptr, L"%MISC%"},
    {L"CLSID\\%CLSID%\\ToolboxBitmap32", nullptr, L"%MODULE%,30000"},
    {L"Korvex.Ramulet", nullptr, L"Ramulet"},
    {L"Korvex.Ramulet\\CLSID", nullptr, L"%CLSID%"},
};

// The server's own keys; unregistering removes them with all below them.
inline constexpr const wchar_t* kOwnedKeys[] = {L"CLSID\\%CLSID%", L"Korvex.Ramulet"};

// What registering the type library embedded in the DLL writes. The server
// leaves this to the system's type library registration; the package writes
// these as its own rows (its builder has no TypeLib table), and the test run
// checks both against each other.
inline constexpr RegistryEntry kTypeLibraryEntries[] = {
    {L"TypeLib\\%LIBID%\\1.0", nullptr, L"Korvex"},
    {L"TypeLib\\%LIBID%\\1.0\\FLAGS", nullptr, L"10"},
    {L"TypeLib\\%LIBID%\\1.0\\0\\%PLATFORM%", nullptr, L"%MODULE%"},
    {L"TypeLib\\%LIBID%\\1.0\\HELPDIR", nullptr, L"%MODULE_FOLDER%"},
};

// The automation interfaces the type library describes; 64-bit registration
// writes them into the 32-bit view as well, so 32-bit clients marshal them.
inline constexpr RegistryEntry kInterfaceEntries[] = {
    {L"Interface\\{6D28F5B6-C93D-412A-A1B2-1DCA4E9FC365}", nullptr, L"_Ramulet"},
    {L"Interface\\{6D28F5B6-C93D-412A-A1B2-1DCA4E9FC365}\\ProxyStubClsid", nullptr, L"{00020424-0000-0000-C000-000000000046}"},
    {L"Interface\\{6D28F5B6-C93D-412A-A1B2-1DCA4E9FC365}\\ProxyStubClsid32", nullptr, L"{00020424-0000-0000-C000-000000000046}"},
    {L"Interface\\{6D28F5B6-C93D-412A-A1B2-1DCA4E9FC365}\\TypeLib", nullptr, L"%LIBID%"},
    {L"Interface\\{6D28F5B6-C93D-412A-A1B2-1DCA4E9FC365}\\TypeLib", L"Version", L"1.0"},
    {L"Interface\\{7ABFB119-A806-462B-8B05-F0467AED7CF1}", nullptr, L"__Ramulet"},
    {L"Interface\\{7ABFB119-A806-462B-8B05-F0467AED7CF1}\\ProxyStubClsid", nullptr, L"{00020420-0000-0000-C000-000000000046}"},
    {L"Interface\\{7ABFB119-A806-462B-8B05-F0467AED7CF1}\\ProxyStubClsid32", nullptr, L"{00020420-0000-0000-C000-000000000046}"},
    {L"Interface\\{7ABFB119-A806-462B-8B05-F0467AED7CF1}\\TypeLib", nullptr, L"%LIBID%"},
    {L"Interface\\{7ABFB119-A806-462B-8B05-F0467AED7CF1}\\TypeLib", L"Version", L"1.0"},
};

}  // namespace ramulet::win32
// clang-format on
