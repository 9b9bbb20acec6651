#pragma once

#include "plugin/com/com.h"

#include <utility>

namespace ramulet::win32 {

// AddRef and Release of any interface pointer.
template <class T>
ULONG AddRefOf(T* p) {
  IUnknown* unknown = reinterpret_cast<IUnknown*>(p);
  return unknown->lpVtbl->AddRef(unknown);
}
template <class T>
ULONG ReleaseOf(T* p) {
  IUnknown* unknown = reinterpret_cast<IUnknown*>(p);
  return unknown->lpVtbl->Release(unknown);
}

// Owns one reference to a COM interface given as a C struct.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already holds.
  explicit ComPtr(T* adopted) : p_(adopted) {}
  // Adds a reference of its own.
  static ComPtr Retain(T* p) {
    if (p) AddRefOf(p);
    return ComPtr(p);
  }
  ComPtr(const ComPtr& other) : ComPtr(Retain(other.p_).Detach()) {}
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Releases what it holds and offers its slot to a call that returns a
  // new reference.
  T** Out() {
    Reset();
    return &p_;
  }
  void** OutVoid() { return reinterpret_cast<void**>(Out()); }
  // Hands the reference to the caller.
  T* Detach() { return std::exchange(p_, nullptr); }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) ReleaseOf(p);
  }
  IUnknown* unknown() const { return Unknown(p_); }

 private:
  static IUnknown* Unknown(T* p) { return reinterpret_cast<IUnknown*>(p); }
  T* p_ = nullptr;
};

// Asks `object` for interface `iid`; `result` stays empty on failure.
template <class T, class From>
HRESULT QueryInterfaceOf(From* object, REFIID iid, ComPtr<T>& result) {
  if (!object) return E_POINTER;
  IUnknown* unknown = reinterpret_cast<IUnknown*>(object);
  return unknown->lpVtbl->QueryInterface(unknown, iid, result.OutVoid());
}

}  // namespace ramulet::win32
