#pragma once

#include "plugin/com/com.h"

#include "platform/status.h"
#include "platform/variant.h"

namespace ramulet::win32 {

// VARIANT -> panel value. A value passed by reference (VT_BYREF) is read
// through its pointer and never written. Objects that came from COM keep
// their identity; our own dictionary views and value handles give back the
// value behind them. Types the panel cannot hold (dates, currency, decimals,
// error codes, arrays of more than one dimension or not based at 0) fail
// with DISP_E_TYPEMISMATCH, integers outside 32 bits with DISP_E_OVERFLOW.
Status FromVariant(const VARIANT& in, Variant& out);

// Panel value -> VARIANT: arrays as 0-based SAFEARRAYs of VARIANT,
// dictionaries as dictionary views, COM objects as themselves, any other
// panel object as an opaque handle. `out` is overwritten without being
// cleared; it is VT_EMPTY when the conversion fails.
Status ToVariant(const Variant& in, VARIANT& out);

}  // namespace ramulet::win32
