#pragma once

#include "plugin/com/com.h"

#include <new>

#include "tools/host_app/editor_text.h"

namespace ramulet::win32 {

// One host object: its interface, its count and the editor's text. Every
// host interface derives from IDispatch; QueryInterface answers IUnknown,
// IDispatch and `Interface`.
template <class Interface>
struct HostObject {
  Interface iface;
  LONG refs;
  EditorText* text;
};

template <class Interface>
HostObject<Interface>* HostObjectOf(Interface* iface) {
  return reinterpret_cast<HostObject<Interface>*>(iface);
}

template <class Interface>
HRESULT HostQueryInterface(Interface* iface, REFIID iid, REFIID own, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, own)) {
    *out = iface;
    InterlockedIncrement(&HostObjectOf(iface)->refs);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

template <class Interface>
ULONG STDMETHODCALLTYPE HostAddRef(Interface* iface) {
  return InterlockedIncrement(&HostObjectOf(iface)->refs);
}

template <class Interface>
ULONG STDMETHODCALLTYPE HostRelease(Interface* iface) {
  HostObject<Interface>* object = HostObjectOf(iface);
  ULONG refs = InterlockedDecrement(&object->refs);
  if (refs == 0) {
    object->text->Release();
    delete object;
  }
  return refs;
}

template <class Interface, class Vtbl>
HRESULT CreateHostObject(EditorText* text, const Vtbl* vtbl, Interface** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto* object = new (std::nothrow) HostObject<Interface>();
  if (!object) return E_OUTOFMEMORY;
  object->iface.lpVtbl = vtbl;
  object->refs = 1;
  object->text = text;
  text->AddRef();
  *out = &object->iface;
  return S_OK;
}

// IDispatch of a host object reached only through its table slots.
template <class Interface>
HRESULT STDMETHODCALLTYPE NoTypeInfoCount(Interface*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

template <class Interface>
HRESULT STDMETHODCALLTYPE NoTypeInfo(Interface*, UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

template <class Interface>
HRESULT STDMETHODCALLTYPE NoNames(Interface*, REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

template <class Interface>
HRESULT STDMETHODCALLTYPE NoMembers(Interface*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                    UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

// A slot the panel never calls.
template <class Interface>
HRESULT STDMETHODCALLTYPE Unused(Interface*) {
  return E_NOTIMPL;
}

}  // namespace ramulet::win32
