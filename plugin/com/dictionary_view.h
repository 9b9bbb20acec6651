#pragma once

#include "plugin/com/com.h"

#include <memory>

#include "platform/dictionary.h"

namespace ramulet::win32 {

// An automation object showing one of the panel's dictionaries read-only:
// Item (the default member), Count, Keys, Items, Exists.
HRESULT CreateDictionaryView(std::shared_ptr<Dictionary> dictionary, IDispatch** view);

// The dictionary behind `object` when it is one of our views, else null.
std::shared_ptr<Dictionary> DictionaryBehind(IUnknown* object);

}  // namespace ramulet::win32
