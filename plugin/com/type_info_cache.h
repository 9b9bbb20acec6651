#pragma once

#include "plugin/com/com.h"

namespace ramulet::win32 {

// The type information of one of our interfaces or classes (_Ramulet,
// the class Ramulet, IRamuletDictionary), read from the type libraries in
// the resources of the module that holds this code. Each is loaded once and
// kept; the caller gets a reference of its own.
HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info);

// The IDispatch members of a dual interface, answered from its type
// information (`iid`) so that each object only names its interface.
HRESULT DispatchTypeInfoCount(UINT* count);
HRESULT DispatchTypeInfo(REFIID iid, UINT index, ITypeInfo** info);
HRESULT DispatchIdsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids);
HRESULT DispatchInvoke(REFIID iid, void* object, DISPID member, REFIID riid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* arg_error);

// Drops the kept type information (when the DLL is unloaded).
void ReleaseTypeInfoCache();

}  // namespace ramulet::win32
