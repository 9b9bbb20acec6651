#pragma once

#include "plugin/win32/com.h"

namespace ramulet::win32 {

// The type information of one of our interfaces or classes (_Ramulet,
// the class Ramulet, IRamuletDictionary), read from the type libraries in
// the resources of the module that holds this code. Each is loaded once and
// kept; the caller gets a reference of its own.
HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info);

// Drops the kept type information (when the DLL is unloaded).
void ReleaseTypeInfoCache();

}  // namespace ramulet::win32
