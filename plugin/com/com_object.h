#pragma once

#include "plugin/com/com.h"

#include <cstddef>
#include <new>
#include <span>
#include <utility>

#include "plugin/com/com_ptr.h"
#include "plugin/com/type_info_cache.h"

// How a COM object of ours is written. It is a struct whose members are its
// interfaces (C vtable pointers, as the Windows headers declare them) and
// its state; each vtable is a constant table with designated initialisers;
// interface pointers it holds are ComPtr members. The pieces every object
// needs are here:
// - ComUnknown: the IUnknown of a counted object with one interface;
// - QueryInterfaceTable: QueryInterface of an object with several;
// - DelegatingUnknown: the IUnknown of an interface embedded in an object
//   whose own IUnknown answers for it;
// - TypeInfoDispatch: IDispatch answered from the interface's type
//   information; NoDispatch: IDispatch of an object without members;
// - RAMULET_UNKNOWN_SLOTS and RAMULET_DISPATCH_SLOTS: a vtable's IUnknown
//   and IDispatch slots from one of those helpers (or any struct with the
//   same static members), so every vtable writes them the same way.

// The designated initialisers of a vtable's three IUnknown slots, taken
// from the static members of the type given (ComUnknown, DelegatingUnknown
// or a struct of the same shape). The type is the whole argument list, so
// a template name with several arguments needs no alias.
#define RAMULET_UNKNOWN_SLOTS(...)                                                      \
  .QueryInterface = __VA_ARGS__::QueryInterface, .AddRef = __VA_ARGS__::AddRef, \
  .Release = __VA_ARGS__::Release

// The designated initialisers of a vtable's four IDispatch slots, taken
// from the static members of the type given (TypeInfoDispatch, NoDispatch
// or a struct of the same shape).
#define RAMULET_DISPATCH_SLOTS(...)                                                                 \
  .GetTypeInfoCount = __VA_ARGS__::GetTypeInfoCount, .GetTypeInfo = __VA_ARGS__::GetTypeInfo, \
  .GetIDsOfNames = __VA_ARGS__::GetIDsOfNames, .Invoke = __VA_ARGS__::Invoke

namespace ramulet::win32 {

// The object that holds `iface` as its member `member`.
template <class Object, class Interface>
Object* ObjectOf(Interface* iface, Interface Object::*member) {
  // The member's offset, worked out on storage that holds no object.
  alignas(Object) static const unsigned char storage[sizeof(Object)] = {};
  const Object* probe = reinterpret_cast<const Object*>(storage);
  std::ptrdiff_t offset = reinterpret_cast<const unsigned char*>(&(probe->*member)) - storage;
  return reinterpret_cast<Object*>(reinterpret_cast<unsigned char*>(iface) - offset);
}

// The IUnknown of an object on the heap that implements one interface, held
// in its member `iface`, and counts its references in `refs`. QueryInterface
// answers IUnknown and `kIids`; Release deletes the object at zero, so its
// members end with it (a ModuleLock member, declared last, lets the module
// go).
template <class Object, class Interface, const IID&... kIids>
struct ComUnknown {
  static Object* Of(Interface* p) { return ObjectOf(p, &Object::iface); }

  static HRESULT STDMETHODCALLTYPE QueryInterface(Interface* p, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || (IsEqualIID(iid, kIids) || ...)) {
      *out = p;
      AddRef(p);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  static ULONG STDMETHODCALLTYPE AddRef(Interface* p) { return InterlockedIncrement(&Of(p)->refs); }
  static ULONG STDMETHODCALLTYPE Release(Interface* p) {
    Object* object = Of(p);
    ULONG refs = InterlockedDecrement(&object->refs);
    if (refs == 0) delete object;
    return refs;
  }
};

// Makes a new `Object` on the heap: its interface (`iface`) with `vtbl`, its
// count at one and its other members from `members`; gives the interface.
template <class Object, class Interface, class Vtbl, class... Members>
HRESULT NewComObject(Interface** out, const Vtbl* vtbl, Members&&... members) {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto* created = new (std::nothrow) Object{{vtbl}, 1, std::forward<Members>(members)...};
  if (!created) return E_OUTOFMEMORY;
  *out = &created->iface;
  return S_OK;
}

// One interface an object answers QueryInterface for: its IID and the
// offset of the interface within the object.
struct InterfaceEntry {
  const IID* iid;
  std::size_t offset;
};

// The interface `iid` of `object` from its table, or null when the table
// has none. No reference is added.
inline void* FindInterface(void* object, std::span<const InterfaceEntry> table, REFIID iid) {
  for (const InterfaceEntry& entry : table) {
    if (IsEqualIID(iid, *entry.iid)) return static_cast<unsigned char*>(object) + entry.offset;
  }
  return nullptr;
}

// QueryInterface of an object with several interfaces: the one `table`
// gives for `iid`, with a reference added through it.
inline HRESULT QueryInterfaceTable(void* object, std::span<const InterfaceEntry> table, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = FindInterface(object, table, iid);
  if (!*out) return E_NOINTERFACE;
  AddRefOf(static_cast<IUnknown*>(*out));
  return S_OK;
}

// The object type and interface type of a pointer to an interface member.
template <class>
struct EmbeddedMember;
template <class Object, class Interface>
struct EmbeddedMember<Interface Object::*> {
  using ObjectType = Object;
  using InterfaceType = Interface;
};

// The IUnknown of the interface an object holds in `kMember`: every call
// goes to the object's own IUnknown, OuterOf(object), so that all its
// interfaces share one identity and one count.
template <auto kMember>
struct DelegatingUnknown {
  using Object = typename EmbeddedMember<decltype(kMember)>::ObjectType;
  using Interface = typename EmbeddedMember<decltype(kMember)>::InterfaceType;

  static Object* Of(Interface* p) { return ObjectOf(p, kMember); }
  static IUnknown* Outer(Interface* p) { return OuterOf(Of(p)); }

  static HRESULT STDMETHODCALLTYPE QueryInterface(Interface* p, REFIID iid, void** out) {
    IUnknown* outer = Outer(p);
    return outer->lpVtbl->QueryInterface(outer, iid, out);
  }
  static ULONG STDMETHODCALLTYPE AddRef(Interface* p) { return AddRefOf(Outer(p)); }
  static ULONG STDMETHODCALLTYPE Release(Interface* p) { return ReleaseOf(Outer(p)); }
};

// IDispatch of a dual interface `kIid`, answered from its type information.
template <class Interface, const IID& kIid>
struct TypeInfoDispatch {
  static HRESULT STDMETHODCALLTYPE GetTypeInfoCount(Interface*, UINT* count) { return DispatchTypeInfoCount(count); }
  static HRESULT STDMETHODCALLTYPE GetTypeInfo(Interface*, UINT index, LCID, ITypeInfo** info) {
    return DispatchTypeInfo(kIid, index, info);
  }
  static HRESULT STDMETHODCALLTYPE GetIDsOfNames(Interface*, REFIID, LPOLESTR* names, UINT count, LCID,
                                                 DISPID* ids) {
    return DispatchIdsOfNames(kIid, names, count, ids);
  }
  static HRESULT STDMETHODCALLTYPE Invoke(Interface* p, DISPID member, REFIID riid, LCID, WORD flags,
                                          DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                          UINT* arg_error) {
    return DispatchInvoke(kIid, p, member, riid, flags, params, result, exception, arg_error);
  }
};

// IDispatch of an object with no members to call by name.
template <class Interface>
struct NoDispatch {
  static HRESULT STDMETHODCALLTYPE GetTypeInfoCount(Interface*, UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  static HRESULT STDMETHODCALLTYPE GetTypeInfo(Interface*, UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  static HRESULT STDMETHODCALLTYPE GetIDsOfNames(Interface*, REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  static HRESULT STDMETHODCALLTYPE Invoke(Interface*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                          UINT*) {
    return DISP_E_MEMBERNOTFOUND;
  }
};

// The object of ours behind `unknown`: its `iid` interface when that carries
// our `vtbl` (someone else's object gives nothing).
template <class Interface>
ComPtr<Interface> OwnInterface(IUnknown* unknown, REFIID iid, const void* vtbl) {
  ComPtr<Interface> found;
  if (FAILED(QueryInterfaceOf(unknown, iid, found)) || found.get()->lpVtbl != vtbl) return {};
  return found;
}

}  // namespace ramulet::win32
