#pragma once

#include "plugin/win32/com.h"

#include <new>

#include "plugin/win32/error_info.h"

namespace ramulet::win32 {

// Runs the body of an interface method so that no C++ exception crosses the
// COM boundary: running out of memory gives E_OUTOFMEMORY, anything else
// E_UNEXPECTED, each with error information for `iid`.
template <class Body>
HRESULT Guarded(REFIID iid, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ReportError(E_OUTOFMEMORY, "out of memory", iid);
  } catch (...) {
    return ReportError(E_UNEXPECTED, "unexpected internal error", iid);
  }
}

}  // namespace ramulet::win32
