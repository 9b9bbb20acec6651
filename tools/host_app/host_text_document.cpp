#include <cwchar>

#include "tools/host_app/host_object_base.h"
#include "tools/host_app/host_objects.h"

// The text document of the editor: its kind and members by name through
// IDispatch, the end of a line and the selection through table slots.

namespace ramulet::win32 {

namespace {

enum Member : DISPID { kLineCount = 1, kRange = 2 };
constexpr int32_t kTextModuleKind = 2;

using D = IHostTextDocument;

EditorText* TextOf(D* iface) { return HostObjectOf(iface)->text.get(); }

HRESULT Closed() { return E_FAIL; }

HRESULT STDMETHODCALLTYPE Document_GetIDsOfNames(D*, REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids || count == 0) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (_wcsicmp(names[0], L"LineCount") == 0) ids[0] = kLineCount;
  else if (_wcsicmp(names[0], L"Range") == 0) ids[0] = kRange;
  return ids[0] == DISPID_UNKNOWN || count > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

// The line index of Range's one argument, given by value or by reference.
// A 32-bit number either way (the panel's case) is read as it is; anything
// else goes through the conversion.
HRESULT LineArgument(DISPPARAMS* params, int32_t& line) {
  if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  const VARIANT& argument = params->rgvarg[0];
  if (V_VT(&argument) == VT_I4) {
    line = V_I4(&argument);
    return S_OK;
  }
  if (V_VT(&argument) == (VT_BYREF | VT_I4)) {
    if (!V_I4REF(&argument)) return DISP_E_TYPEMISMATCH;
    line = *V_I4REF(&argument);
    return S_OK;
  }
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = VariantChangeType(&value, &params->rgvarg[0], 0, VT_I4);
  if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
  line = V_I4(&value);
  return S_OK;
}

HRESULT RangeOf(EditorText* text, DISPPARAMS* params, VARIANT* result) {
  int32_t line = 0;
  HRESULT hr = LineArgument(params, line);
  if (FAILED(hr)) return hr;
  std::wstring_view content;
  if (!text->Line(line, content)) return DISP_E_BADINDEX;
  V_VT(result) = VT_BSTR;
  V_BSTR(result) = SysAllocStringLen(content.data(), static_cast<UINT>(content.size()));
  return V_BSTR(result) ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE Document_Invoke(D* iface, DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                          VARIANT* result, EXCEPINFO*, UINT*) {
  if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
  VARIANT ignored;
  if (!result) result = &ignored;
  VariantInit(result);
  EditorText* text = TextOf(iface);
  if (!text->Attached()) return Closed();
  switch (member) {
    case DISPID_VALUE:
      V_VT(result) = VT_I4;
      V_I4(result) = kTextModuleKind;
      return S_OK;
    case kLineCount:
      V_VT(result) = VT_I4;
      V_I4(result) = text->LineCount();
      return S_OK;
    case kRange: {
      HRESULT hr = RangeOf(text, params, result);
      if (result == &ignored) VariantClear(&ignored);
      return hr;
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// The document's IDispatch: no type information, but its members by name.
struct DocumentDispatch : HostDispatch<D> {
  static constexpr auto GetIDsOfNames = Document_GetIDsOfNames;
  static constexpr auto Invoke = Document_Invoke;
};

HRESULT STDMETHODCALLTYPE Document_LineEnd(D* iface, LONG line, LONG* column) {
  if (!column) return E_POINTER;
  std::wstring_view content;
  if (!TextOf(iface)->Attached()) return Closed();
  if (!TextOf(iface)->Line(line, content)) return E_INVALIDARG;
  *column = static_cast<LONG>(content.size());
  return S_OK;
}

HRESULT ToLong(VARIANT& value, LONG& number) {
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &value, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
  number = V_I4(&converted);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE Document_Select(D* iface, LONG start_line, LONG start_column, VARIANT end_line,
                                          VARIANT end_column) {
  LONG last_line = 0;
  LONG last_column = 0;
  if (FAILED(ToLong(end_line, last_line)) || FAILED(ToLong(end_column, last_column))) return DISP_E_TYPEMISMATCH;
  EditorText* text = TextOf(iface);
  if (!text->Attached()) return Closed();
  return text->Select(start_line, start_column, last_line, last_column) ? S_OK : E_INVALIDARG;
}

const IHostTextDocumentVtbl kDocumentVtbl = {
    RAMULET_UNKNOWN_SLOTS(HostUnknown<D, IID_IHostTextDocument>),
    RAMULET_DISPATCH_SLOTS(DocumentDispatch),
    .Reserved7 = Unused<D>,
    .Reserved8 = Unused<D>,
    .Reserved9 = Unused<D>,
    .Reserved10 = Unused<D>,
    .Reserved11 = Unused<D>,
    .Reserved12 = Unused<D>,
    .Reserved13 = Unused<D>,
    .Reserved14 = Unused<D>,
    .Reserved15 = Unused<D>,
    .Reserved16 = Unused<D>,
    .Reserved17 = Unused<D>,
    .Reserved18 = Unused<D>,
    .Reserved19 = Unused<D>,
    .LineEnd = Document_LineEnd,
    .Reserved21 = Unused<D>,
    .Reserved22 = Unused<D>,
    .Reserved23 = Unused<D>,
    .Reserved24 = Unused<D>,
    .Reserved25 = Unused<D>,
    .Reserved26 = Unused<D>,
    .Reserved27 = Unused<D>,
    .Reserved28 = Unused<D>,
    .Reserved29 = Unused<D>,
    .Reserved30 = Unused<D>,
    .Reserved31 = Unused<D>,
    .Select = Document_Select,
};

}  // namespace

HRESULT CreateTextDocumentObject(EditorText* text, IHostTextDocument** out) {
  return CreateHostObject(text, &kDocumentVtbl, out);
}

}  // namespace ramulet::win32
