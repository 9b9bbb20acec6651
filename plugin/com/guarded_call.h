#pragma once

#include "plugin/com/com.h"

#include "plugin/com/error_info.h"
#include "plugin/com/escaped_exception.h"

namespace ramulet::win32 {

// Runs the body of an interface method so that no C++ exception crosses the
// COM boundary: running out of memory gives E_OUTOFMEMORY, anything else
// E_UNEXPECTED, each with error information for `iid` whose text is a
// constant (reporting allocates nothing).
template <class Body>
HRESULT Guarded(REFIID iid, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    EscapedException escaped = DescribeCurrentException();
    return ReportErrorText(escaped.code, escaped.text, iid);
  }
}

}  // namespace ramulet::win32
