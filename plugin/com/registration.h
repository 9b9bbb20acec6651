#pragma once

#include "plugin/com/com.h"

namespace ramulet::win32 {

// Writes the class's registry entries and registers the type library
// embedded in the DLL. A failure removes what was written.
HRESULT RegisterServer() noexcept;

// Removes the entries and the type library's registration; entries that are
// already gone are no error.
HRESULT UnregisterServer() noexcept;

}  // namespace ramulet::win32
