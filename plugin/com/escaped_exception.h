#pragma once

#include "plugin/com/com.h"

namespace ramulet::win32 {

// What an exception that reached a boundary where the host calls us (a
// window procedure, a COM method, an export) becomes. The texts are
// constants, so reporting needs no memory of its own: running out of memory
// is exactly when the report must still work.
struct EscapedException {
  HRESULT code;        // E_OUTOFMEMORY or E_UNEXPECTED
  const wchar_t* text;  // readable, in the panel's language
};

// Call only inside a catch block: describes the exception being handled.
EscapedException DescribeCurrentException() noexcept;

}  // namespace ramulet::win32
