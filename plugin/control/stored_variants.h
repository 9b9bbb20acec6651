#pragma once

#include "plugin/com/com.h"

#include "platform/variant.h"

namespace ramulet::win32 {

// The VARIANTs given to the stored properties of one control, kept exactly
// as given (a deep copy). The panel holds its own reading of each value,
// which the analysis uses and may replace; a get answers with the kept
// VARIANT for as long as the panel still holds the very value that put
// stored, and with the panel's value once it has been replaced.
class StoredVariants {
 public:
  static constexpr int kSlots = 16;

  StoredVariants();
  ~StoredVariants();
  StoredVariants(const StoredVariants&) = delete;
  StoredVariants& operator=(const StoredVariants&) = delete;

  // Keeps a deep copy of `given` (a value passed by reference is copied,
  // not the reference) for `slot`, with the panel value `stored` it became.
  HRESULT Keep(int slot, const VARIANT& given, const Variant& stored);
  // S_OK with a copy of the kept VARIANT in `out` (overwritten, not
  // cleared) when the panel still holds `current` as it was stored; S_FALSE
  // when there is none to answer with.
  HRESULT CopyIfCurrent(int slot, const Variant& current, VARIANT& out) const;

 private:
  struct Entry {
    VARIANT given;
    Variant stored;
    bool kept = false;
  };
  Entry entries_[kSlots];
};

// The panel's reading of a value it has no type for (a date, a currency
// amount, an array it cannot hold...): an object that is nothing else.
class ForeignValue : public Object {};

}  // namespace ramulet::win32
