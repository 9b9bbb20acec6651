#pragma once

#include <string>
#include <string_view>

namespace ramulet::win32 {

// The panel keeps text as UTF-16 in char16_t; Windows spells the same
// code units as wchar_t.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

}  // namespace ramulet::win32
