#pragma once

#include "plugin/com/com.h"

#include <memory>

#include "platform/object.h"

namespace ramulet::win32 {

// An automation object with no members that carries a panel object (a tree
// node, for instance) to a client and back unchanged.
HRESULT CreateValueHandle(std::shared_ptr<Object> value, IDispatch** handle);

// The panel object behind `object` when it is one of our handles, else null.
std::shared_ptr<Object> ValueBehind(IUnknown* object);

}  // namespace ramulet::win32
