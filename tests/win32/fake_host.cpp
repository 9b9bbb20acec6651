#include "tests/win32/fake_host.h"

#include <string>

namespace {

enum class Kind { Configurator, WindowSet, Window, TextModule, PagedDocument };

// Every fake object: its table first, as every COM interface has it.
struct FakeObject {
  const void* lpVtbl;
  LONG refs;
  FakeHost* host;
  Kind kind;
};

template <class I>
FakeObject* Self(I* iface) {
  return reinterpret_cast<FakeObject*>(iface);
}

// Late-bound members of the documents.
enum : DISPID { kActivePage = 1, kPage, kLineCount, kRange };
struct MemberName {
  const wchar_t* name;
  DISPID id;
};
const MemberName kMembers[] = {{L"ActivePage", kActivePage}, {L"Page", kPage}, {L"LineCount", kLineCount}, {L"Range", kRange}};

std::string Utf8(const wchar_t* text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  return result;
}

std::string VariantText(const VARIANT& value) {
  switch (V_VT(&value)) {
    case VT_I2: return "I2:" + std::to_string(V_I2(&value));
    case VT_I4: return "I4:" + std::to_string(V_I4(&value));
    default: return "vt" + std::to_string(V_VT(&value));
  }
}

const IID& OwnInterface(Kind kind) {
  switch (kind) {
    case Kind::Configurator: return IID_IHostConfigurator;
    case Kind::WindowSet: return IID_IHostWindowSet;
    case Kind::Window: return IID_IHostWindow;
    case Kind::TextModule: return IID_IHostTextDocument;
    case Kind::PagedDocument: break;
  }
  return IID_IDispatch;
}

void* NewObject(FakeHost& host, Kind kind, const void* vtable) {
  ++host.live_objects;
  if (kind == Kind::Configurator) ++host.live_configurators;
  return new FakeObject{vtable, 1, &host, kind};
}

HRESULT Raise(EXCEPINFO* exception) {
  if (exception) {
    *exception = EXCEPINFO{};
    exception->scode = FakeHost::kFailure;
    exception->bstrSource = SysAllocString(L"FakeHost");
    exception->bstrDescription = SysAllocString(FakeHost::kFailureText);
  }
  return DISP_E_EXCEPTION;
}

// --- IUnknown and IDispatch, shared by every object ---

template <class I>
HRESULT STDMETHODCALLTYPE Fake_QueryInterface(I* iface, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  FakeObject* self = Self(iface);
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, OwnInterface(self->kind))) {
    *out = self;
    ++self->refs;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

template <class I>
ULONG STDMETHODCALLTYPE Fake_AddRef(I* iface) {
  return ++Self(iface)->refs;
}

template <class I>
ULONG STDMETHODCALLTYPE Fake_Release(I* iface) {
  FakeObject* self = Self(iface);
  ULONG refs = --self->refs;
  if (refs == 0) {
    --self->host->live_objects;
    if (self->kind == Kind::Configurator) --self->host->live_configurators;
    delete self;
  }
  return refs;
}

template <class I>
HRESULT STDMETHODCALLTYPE Fake_GetTypeInfoCount(I*, UINT* count) {
  *count = 0;
  return S_OK;
}

template <class I>
HRESULT STDMETHODCALLTYPE Fake_GetTypeInfo(I*, UINT, LCID, ITypeInfo** info) {
  *info = nullptr;
  return E_NOTIMPL;
}

template <class I>
HRESULT STDMETHODCALLTYPE Fake_GetIDsOfNames(I* iface, REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  FakeObject* self = Self(iface);
  bool document = self->kind == Kind::TextModule || self->kind == Kind::PagedDocument;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ++self->host->calls["GetIDsOfNames " + Utf8(names[i])];
    ids[i] = DISPID_UNKNOWN;
    for (const MemberName& member : kMembers) {
      if (document && lstrcmpiW(member.name, names[i]) == 0) ids[i] = member.id;
    }
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DocumentInvoke(FakeObject* self, DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception);

template <class I>
HRESULT STDMETHODCALLTYPE Fake_Invoke(I* iface, DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                      EXCEPINFO* exception, UINT*) {
  FakeObject* self = Self(iface);
  if (self->kind != Kind::TextModule && self->kind != Kind::PagedDocument) return DISP_E_MEMBERNOTFOUND;
  return DocumentInvoke(self, id, params, result, exception);
}

template <class I>
HRESULT STDMETHODCALLTYPE Fake_Reserved(I*) {
  return E_NOTIMPL;
}

// --- the documents' late-bound members ---

HRESULT Range(FakeObject* self, DISPPARAMS* params, VARIANT* result) {
  FakeHost& host = *self->host;
  if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  const VARIANT& argument = params->rgvarg[0];
  host.range_argument_types.push_back(V_VT(&argument));
  if (V_VT(&argument) != (VT_BYREF | VT_I4)) return DISP_E_TYPEMISMATCH;
  LONG line = *V_I4REF(&argument);
  if (line < 0 || line >= static_cast<LONG>(host.lines.size())) return DISP_E_BADINDEX;
  const std::u16string& text = host.lines[line];
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
  return S_OK;
}

HRESULT Page(FakeObject* self, DISPPARAMS* params, VARIANT* result) {
  if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  const VARIANT& argument = params->rgvarg[0];
  if (V_VT(&argument) != VT_BSTR || lstrcmpW(V_BSTR(&argument), L"Module") != 0) return DISP_E_BADINDEX;
  V_VT(result) = VT_DISPATCH;
  V_DISPATCH(result) = reinterpret_cast<IDispatch*>(NewFakeTextModule(*self->host));
  return S_OK;
}

HRESULT DocumentInvoke(FakeObject* self, DISPID id, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception) {
  FakeHost& host = *self->host;
  const bool text = self->kind == Kind::TextModule;
  std::string name = id == DISPID_VALUE ? "Kind" : "member " + std::to_string(id);
  for (const MemberName& member : kMembers) {
    if (member.id == id) name = Utf8(member.name);
  }
  if (host.Enter(name)) return Raise(exception);
  if (!result) return E_INVALIDARG;
  VariantInit(result);
  switch (id) {
    case DISPID_VALUE:
      V_VT(result) = VT_I4;
      V_I4(result) = text ? 2 : 1;
      return S_OK;
    case kActivePage:
      if (text) return DISP_E_MEMBERNOTFOUND;
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocString(L"Module");
      return S_OK;
    case kPage:
      return text ? DISP_E_MEMBERNOTFOUND : Page(self, params, result);
    case kLineCount:
      if (!text) return DISP_E_MEMBERNOTFOUND;
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(host.lines.size());
      return S_OK;
    case kRange:
      return text ? Range(self, params, result) : DISP_E_MEMBERNOTFOUND;
  }
  return DISP_E_MEMBERNOTFOUND;
}

// --- the objects' own entries ---

HRESULT STDMETHODCALLTYPE Configurator_get_Windows(IHostConfigurator* iface, IHostWindowSet** windows);
HRESULT STDMETHODCALLTYPE WindowSet_get_ActiveWindow(IHostWindowSet* iface, IHostWindow** window);
HRESULT STDMETHODCALLTYPE Window_get_Document(IHostWindow* iface, IDispatch** document);
HRESULT STDMETHODCALLTYPE Text_LineEnd(IHostTextDocument* iface, LONG line, LONG* column);
HRESULT STDMETHODCALLTYPE Text_Select(IHostTextDocument* iface, LONG startLine, LONG startCol, VARIANT endLine,
                                      VARIANT endCol);

#define FAKE_DISPATCH(I)                                                                                   \
  Fake_QueryInterface<I>, Fake_AddRef<I>, Fake_Release<I>, Fake_GetTypeInfoCount<I>, Fake_GetTypeInfo<I>, \
      Fake_GetIDsOfNames<I>, Fake_Invoke<I>

constexpr auto* kConfiguratorReserved = &Fake_Reserved<IHostConfigurator>;
const IHostConfiguratorVtbl kConfiguratorVtbl = {
    FAKE_DISPATCH(IHostConfigurator),
    // slots 7 to 20
    kConfiguratorReserved, kConfiguratorReserved, kConfiguratorReserved, kConfiguratorReserved,
    kConfiguratorReserved, kConfiguratorReserved, kConfiguratorReserved, kConfiguratorReserved,
    kConfiguratorReserved, kConfiguratorReserved, kConfiguratorReserved, kConfiguratorReserved,
    kConfiguratorReserved, kConfiguratorReserved,
    Configurator_get_Windows,
};

const IHostWindowSetVtbl kWindowSetVtbl = {
    FAKE_DISPATCH(IHostWindowSet),
    Fake_Reserved<IHostWindowSet>,
    WindowSet_get_ActiveWindow,
};

const IHostWindowVtbl kWindowVtbl = {
    FAKE_DISPATCH(IHostWindow),
    Fake_Reserved<IHostWindow>, Fake_Reserved<IHostWindow>, Fake_Reserved<IHostWindow>,
    Window_get_Document,
};

constexpr auto* kTextReserved = &Fake_Reserved<IHostTextDocument>;
const IHostTextDocumentVtbl kTextModuleVtbl = {
    FAKE_DISPATCH(IHostTextDocument),
    // slots 7 to 19
    kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved,
    kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved,
    Text_LineEnd,
    // slots 21 to 31
    kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved, kTextReserved,
    kTextReserved, kTextReserved, kTextReserved, kTextReserved,
    Text_Select,
};

const IDispatchVtbl kPagedDocumentVtbl = {FAKE_DISPATCH(IDispatch)};

#undef FAKE_DISPATCH

HRESULT STDMETHODCALLTYPE Configurator_get_Windows(IHostConfigurator* iface, IHostWindowSet** windows) {
  FakeHost& host = *Self(iface)->host;
  *windows = nullptr;
  if (host.Enter("Windows")) return FakeHost::kFailure;
  *windows = static_cast<IHostWindowSet*>(NewObject(host, Kind::WindowSet, &kWindowSetVtbl));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE WindowSet_get_ActiveWindow(IHostWindowSet* iface, IHostWindow** window) {
  FakeHost& host = *Self(iface)->host;
  *window = nullptr;
  if (host.Enter("ActiveWindow")) return FakeHost::kFailure;
  if (host.active_window) *window = static_cast<IHostWindow*>(NewObject(host, Kind::Window, &kWindowVtbl));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Window_get_Document(IHostWindow* iface, IDispatch** document) {
  FakeHost& host = *Self(iface)->host;
  *document = nullptr;
  if (host.Enter("Document")) return FakeHost::kFailure;
  *document = host.paged ? NewFakePagedDocument(host) : reinterpret_cast<IDispatch*>(NewFakeTextModule(host));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Text_LineEnd(IHostTextDocument* iface, LONG line, LONG* column) {
  FakeHost& host = *Self(iface)->host;
  if (host.Enter("LineEnd")) return FakeHost::kFailure;
  if (line < 0 || line >= static_cast<LONG>(host.lines.size())) return E_INVALIDARG;
  *column = static_cast<LONG>(host.lines[line].size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Text_Select(IHostTextDocument* iface, LONG startLine, LONG startCol, VARIANT endLine,
                                      VARIANT endCol) {
  FakeHost& host = *Self(iface)->host;
  if (host.Enter("Select")) return FakeHost::kFailure;
  host.selections.push_back("Select " + std::to_string(startLine) + " " + std::to_string(startCol) + " " +
                            VariantText(endLine) + " " + VariantText(endCol));
  return S_OK;
}

// --- the host class's class object ---

FakeHost* class_host = nullptr;

HRESULT STDMETHODCALLTYPE Factory_QueryInterface(IClassFactory* iface, REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = iface;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE Factory_AddRef(IClassFactory*) { return 2; }
ULONG STDMETHODCALLTYPE Factory_Release(IClassFactory*) { return 1; }

HRESULT STDMETHODCALLTYPE Factory_CreateInstance(IClassFactory*, IUnknown* outer, REFIID iid, void** out) {
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  ++class_host->calls["CreateInstance"];
  IHostConfigurator* configurator = NewFakeConfigurator(*class_host);
  HRESULT hr = configurator->lpVtbl->QueryInterface(configurator, iid, out);
  configurator->lpVtbl->Release(configurator);
  return hr;
}

HRESULT STDMETHODCALLTYPE Factory_LockServer(IClassFactory*, BOOL) { return S_OK; }

const IClassFactoryVtbl kFactoryVtbl = {Factory_QueryInterface, Factory_AddRef, Factory_Release,
                                        Factory_CreateInstance, Factory_LockServer};
IClassFactory host_class_factory = {&kFactoryVtbl};

}  // namespace

bool FakeHost::Enter(const std::string& name) {
  int nth = calls[name]++;
  return name == fail_call && nth == fail_at;
}

IHostConfigurator* NewFakeConfigurator(FakeHost& host) {
  return static_cast<IHostConfigurator*>(NewObject(host, Kind::Configurator, &kConfiguratorVtbl));
}

IHostTextDocument* NewFakeTextModule(FakeHost& host) {
  return static_cast<IHostTextDocument*>(NewObject(host, Kind::TextModule, &kTextModuleVtbl));
}

IDispatch* NewFakePagedDocument(FakeHost& host) {
  return static_cast<IDispatch*>(NewObject(host, Kind::PagedDocument, &kPagedDocumentVtbl));
}

FakeHostClass::FakeHostClass(FakeHost& host) {
  class_host = &host;
  registered_ = CoRegisterClassObject(CLSID_ConfigHost, reinterpret_cast<IUnknown*>(&host_class_factory),
                                      CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
}

FakeHostClass::~FakeHostClass() {
  if (SUCCEEDED(registered_)) CoRevokeClassObject(cookie_);
  class_host = nullptr;
}
