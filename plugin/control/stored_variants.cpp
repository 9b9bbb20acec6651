#include "plugin/control/stored_variants.h"

#include <utility>

namespace ramulet::win32 {

namespace {

// True when `a` is the very value `b`: same type, equal scalars and texts,
// the same array storage (arrays are immutable and shared) or object.
bool SameValue(const Variant& a, const Variant& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case Variant::Type::Empty:
    case Variant::Type::Null: return true;
    case Variant::Type::Text: return *a.AsText() == *b.AsText();
    case Variant::Type::Array: return a.AsArray() == b.AsArray();
    case Variant::Type::Object: return a.AsObject() == b.AsObject();
    default: return a.Equals(b);
  }
}

}  // namespace

StoredVariants::StoredVariants() {
  for (Entry& entry : entries_) VariantInit(&entry.given);
}

StoredVariants::~StoredVariants() {
  for (Entry& entry : entries_) VariantClear(&entry.given);
}

HRESULT StoredVariants::Keep(int slot, const VARIANT& given, const Variant& stored) {
  if (slot < 0 || slot >= kSlots) return E_INVALIDARG;
  Variant reading = stored;  // may throw; nothing changed yet
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = VariantCopyInd(&copy, const_cast<VARIANT*>(&given));
  if (FAILED(hr)) return hr;
  Entry& entry = entries_[slot];
  VariantClear(&entry.given);
  entry.given = copy;
  entry.stored = std::move(reading);
  entry.kept = true;
  return S_OK;
}

HRESULT StoredVariants::CopyIfCurrent(int slot, const Variant& current, VARIANT& out) const {
  if (slot < 0 || slot >= kSlots) return S_FALSE;
  const Entry& entry = entries_[slot];
  if (!entry.kept || !SameValue(entry.stored, current)) return S_FALSE;
  VariantInit(&out);
  return VariantCopy(&out, const_cast<VARIANT*>(&entry.given));
}

}  // namespace ramulet::win32
