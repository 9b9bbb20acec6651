#pragma once

#include "plugin/com/com.h"

namespace ramulet::win32 {

// The class object of `clsid` from the server's class table.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);

}  // namespace ramulet::win32
