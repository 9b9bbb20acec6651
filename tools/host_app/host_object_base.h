#pragma once

#include "plugin/com/com.h"

#include <new>

#include "plugin/com/com_object.h"
#include "tools/host_app/editor_text.h"

namespace ramulet::win32 {

// One host object: its interface, its count and the editor's text. Every
// host interface derives from IDispatch; QueryInterface answers IUnknown,
// IDispatch and the interface's own `kIid`. The members are reached only
// through their table slots, never by name.
template <class Interface>
struct HostObject {
  Interface iface;
  LONG refs;
  EditorTextRef text;
};

template <class Interface, const IID& kIid>
using HostUnknown = ComUnknown<HostObject<Interface>, Interface, IID_IDispatch, kIid>;

template <class Interface>
using HostDispatch = NoDispatch<Interface>;

template <class Interface>
HostObject<Interface>* HostObjectOf(Interface* iface) {
  return ObjectOf(iface, &HostObject<Interface>::iface);
}

template <class Interface, class Vtbl>
HRESULT CreateHostObject(EditorText* text, const Vtbl* vtbl, Interface** out) {
  return NewComObject<HostObject<Interface>>(out, vtbl, text);
}

// A slot the panel never calls.
template <class Interface>
HRESULT STDMETHODCALLTYPE Unused(Interface*) {
  return E_NOTIMPL;
}

}  // namespace ramulet::win32
