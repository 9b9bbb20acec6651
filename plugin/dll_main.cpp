// The entry point and the four exports of the in-process server.
#include "plugin/class_factory.h"
#include "plugin/com/module.h"
#include "plugin/com/registration.h"
#include "plugin/com/type_info_cache.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Everything that refers to other modules (COM objects of the host, type
  // information) is released when the last object and lock of this module
  // go. At process exit (reserved non-null) nothing is called at all: other
  // modules may already be gone. An unload by FreeLibrary normally finds the
  // cache empty; one forced while objects are alive still lets go of it.
  if (reason == DLL_PROCESS_DETACH && !reserved) ramulet::win32::ReleaseTypeInfoCache();
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  return ramulet::win32::GetClassObject(clsid, iid, object);
}

STDAPI DllCanUnloadNow() { return ramulet::win32::ModuleInUse() ? S_FALSE : S_OK; }

STDAPI DllRegisterServer() { return ramulet::win32::RegisterServer(); }

STDAPI DllUnregisterServer() { return ramulet::win32::UnregisterServer(); }
