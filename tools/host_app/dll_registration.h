#pragma once

#include "plugin/com/com.h"

namespace ramulet::win32 {

inline constexpr wchar_t kRamuletProgId[] = L"Korvex.Ramulet";

// Makes sure the class Korvex.Ramulet is registered: when it is not,
// registers the Ramulet.dll that lies beside this program.
HRESULT EnsureRamuletRegistered();

}  // namespace ramulet::win32
