#pragma once

#include "plugin/com/com.h"

#include <string>
#include <string_view>

namespace ramulet::win32 {

// Automation strings are UTF-16, as the panel's text is.
inline const wchar_t* WideOf(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// A new BSTR holding `text`; null when out of memory.
inline BSTR AllocBstr(std::u16string_view text) {
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
}

// The text of a BSTR; a null BSTR is the empty text.
inline std::u16string BstrText(BSTR text) {
  if (!text) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

// The text of a BSTR without a copy, valid while the BSTR lives; a null
// BSTR is the empty text.
inline std::u16string_view BstrView(BSTR text) {
  if (!text) return std::u16string_view();
  return std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

// Owns one BSTR (possibly null) and frees it when replaced or destroyed.
class OwnedBstr {
 public:
  OwnedBstr() = default;
  ~OwnedBstr() { SysFreeString(text_); }
  OwnedBstr(const OwnedBstr&) = delete;
  OwnedBstr& operator=(const OwnedBstr&) = delete;

  void Reset(BSTR text) {
    SysFreeString(text_);
    text_ = text;
  }
  BSTR get() const { return text_; }

 private:
  BSTR text_ = nullptr;
};

}  // namespace ramulet::win32
