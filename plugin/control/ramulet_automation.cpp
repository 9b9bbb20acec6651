// _Ramulet, the control's automation interface. IDispatch goes through the
// interface's type information; the vtable methods map to the panel.
#include "plugin/com/com_object.h"
#include "plugin/com/com_ptr.h"
#include "plugin/com/guarded_call.h"
#include "plugin/host_com/host_document.h"
#include "plugin/control/ramulet_object.h"
#include "plugin/com/type_info_cache.h"
#include "plugin/com/variant_convert.h"

namespace ramulet::win32 {

namespace {

Ramulet& PanelOf(_Ramulet* iface) { return impl_from__Ramulet(iface)->panel->panel; }

StoredVariants& GivenValuesOf(_Ramulet* iface) { return impl_from__Ramulet(iface)->given_values; }

HRESULT Result(const Status& status) { return ReportError(status, IID__Ramulet); }

// The automation interface is the object's own IUnknown, so it answers
// from the object itself rather than delegating (which would call itself).
struct AutomationUnknown {
  static HRESULT STDMETHODCALLTYPE QueryInterface(_Ramulet* iface, REFIID iid, void** out) {
    return RamuletQueryInterface(impl_from__Ramulet(iface), iid, out);
  }
  static ULONG STDMETHODCALLTYPE AddRef(_Ramulet* iface) { return RamuletAddRef(impl_from__Ramulet(iface)); }
  static ULONG STDMETHODCALLTYPE Release(_Ramulet* iface) { return RamuletRelease(impl_from__Ramulet(iface)); }
};

using AutomationDispatch = TypeInfoDispatch<_Ramulet, IID__Ramulet>;

// --- curTextDoc: the host's text document, or nothing ---

HRESULT STDMETHODCALLTYPE Automation_get_curTextDoc(_Ramulet* iface, IHostTextDocument** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Guarded(IID__Ramulet, [&] {
    Variant stored;
    Status status = PanelOf(iface).GetProperty(RamuletProperty::curTextDoc, stored);
    if (!status.ok()) return Result(status);
    std::shared_ptr<Object> document = stored.AsObject();
    if (!document) return S_OK;
    auto* com = dynamic_cast<ComIdentity*>(document.get());
    if (!com) return ReportError(E_UNEXPECTED, "curTextDoc holds a document that is not the host's", IID__Ramulet);
    IUnknown* unknown = com->ComUnknown();
    return unknown->lpVtbl->QueryInterface(unknown, IID_IHostTextDocument, reinterpret_cast<void**>(value));
  });
}

HRESULT STDMETHODCALLTYPE Automation_putref_curTextDoc(_Ramulet* iface, IHostTextDocument* value) {
  return Guarded(IID__Ramulet, [&] {
    Variant document;
    if (value) {
      // The pointer may come from a late-bound client as any object: make
      // sure it really is a text document.
      ComPtr<IHostTextDocument> text;
      if (FAILED(QueryInterfaceOf(value, IID_IHostTextDocument, text))) {
        return ReportError(DISP_E_TYPEMISMATCH, "curTextDoc takes only the host's text document or nothing",
                           IID__Ramulet);
      }
      document = Variant::Object(std::make_shared<ComTextDocument>(std::move(text)));
    }
    return Result(PanelOf(iface).PutProperty(RamuletProperty::curTextDoc, document));
  });
}

// --- the eleven stored Variant properties ---

HRESULT GetStored(_Ramulet* iface, RamuletProperty property, VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);
  return Guarded(IID__Ramulet, [&] {
    Variant stored;
    Status status = PanelOf(iface).GetProperty(property, stored);
    if (!status.ok()) return Result(status);
    HRESULT hr = GivenValuesOf(iface).CopyIfCurrent(static_cast<int>(property), stored, *value);
    if (hr != S_FALSE) return hr;
    return Result(ToVariant(stored, *value));
  });
}

// A put and a put by reference store alike: a copy of the value given,
// which a get returns as it was. The panel reads the value as far as it
// has a type for it; what it cannot read (dates, currency, arrays of two
// dimensions...) it holds as a value of no type of its own.
HRESULT PutStored(_Ramulet* iface, RamuletProperty property, const VARIANT& value) {
  return Guarded(IID__Ramulet, [&] {
    Variant given;
    Status status = FromVariant(value, given);
    if (status.code() == DISP_E_TYPEMISMATCH || status.code() == DISP_E_OVERFLOW) {
      given = Variant::Object(std::make_shared<ForeignValue>());
    } else if (!status.ok()) {
      return Result(status);
    }
    // The copy first: when it fails, nothing changed. Should the panel
    // then refuse the value, the kept copy no longer matches what the panel
    // holds and is not answered with.
    HRESULT hr = GivenValuesOf(iface).Keep(static_cast<int>(property), value, given);
    if (FAILED(hr)) return ReportError(hr, "the value cannot be copied", IID__Ramulet);
    return Result(PanelOf(iface).PutProperty(property, given));
  });
}

#define RAMULET_STORED_PROPERTY(Name)                                                             \
  HRESULT STDMETHODCALLTYPE Automation_get_##Name(_Ramulet* iface, VARIANT* value) {             \
    return GetStored(iface, RamuletProperty::Name, value);                                       \
  }                                                                                               \
  HRESULT STDMETHODCALLTYPE Automation_put_##Name(_Ramulet* iface, VARIANT value) {              \
    return PutStored(iface, RamuletProperty::Name, value);                                       \
  }

RAMULET_STORED_PROPERTY(Method)
RAMULET_STORED_PROPERTY(MethodNach)
RAMULET_STORED_PROPERTY(MethodKon)
RAMULET_STORED_PROPERTY(Meth)
RAMULET_STORED_PROPERTY(A)
RAMULET_STORED_PROPERTY(b)
RAMULET_STORED_PROPERTY(c)
RAMULET_STORED_PROPERTY(d)
RAMULET_STORED_PROPERTY(q)
RAMULET_STORED_PROPERTY(doc)
RAMULET_STORED_PROPERTY(CommonScripts)

#undef RAMULET_STORED_PROPERTY

// --- methods ---

// Reads an argument passed by reference; it is never written.
Status ReadArgument(const VARIANT* argument, const char* name, Variant& value) {
  if (!argument) return Status::Error(E_POINTER, std::string("the argument ") + name + " is missing");
  return FromVariant(*argument, value);
}

HRESULT STDMETHODCALLTYPE Automation_NomMet(_Ramulet* iface, VARIANT* Naim, VARIANT* result) {
  if (!result) return E_POINTER;
  VariantInit(result);
  return Guarded(IID__Ramulet, [&] {
    Variant name, index;
    Status status = ReadArgument(Naim, "Naim", name);
    if (status.ok()) status = PanelOf(iface).NomMet(name, index);
    if (status.ok()) status = ToVariant(index, *result);
    return Result(status);
  });
}

HRESULT STDMETHODCALLTYPE Automation_RodEst(_Ramulet* iface, VARIANT* Node, VARIANT* met, VARIANT* viv,
                                            VARIANT* result) {
  if (!result) return E_POINTER;
  VariantInit(result);
  return Guarded(IID__Ramulet, [&] {
    Variant node, name, show, found;
    Status status = ReadArgument(Node, "Node", node);
    if (status.ok()) status = ReadArgument(met, "met", name);
    if (status.ok()) status = ReadArgument(viv, "viv", show);
    if (status.ok()) status = PanelOf(iface).RodEst(node, name, show, found);
    if (status.ok()) status = ToVariant(found, *result);
    return Result(status);
  });
}

HRESULT STDMETHODCALLTYPE Automation_TestMacros(_Ramulet* iface) {
  PanelOf(iface).TestMacros();
  return S_OK;
}

}  // namespace

const _RamuletVtbl kRamuletAutomationVtbl = {
    RAMULET_UNKNOWN_SLOTS(AutomationUnknown),
    RAMULET_DISPATCH_SLOTS(AutomationDispatch),
    .get_curTextDoc = Automation_get_curTextDoc,
    .putref_curTextDoc = Automation_putref_curTextDoc,
    .get_Method = Automation_get_Method,
    .put_Method = Automation_put_Method,
    .putref_Method = Automation_put_Method,
    .get_MethodNach = Automation_get_MethodNach,
    .put_MethodNach = Automation_put_MethodNach,
    .putref_MethodNach = Automation_put_MethodNach,
    .get_MethodKon = Automation_get_MethodKon,
    .put_MethodKon = Automation_put_MethodKon,
    .putref_MethodKon = Automation_put_MethodKon,
    .get_Meth = Automation_get_Meth,
    .put_Meth = Automation_put_Meth,
    .putref_Meth = Automation_put_Meth,
    .get_A = Automation_get_A,
    .put_A = Automation_put_A,
    .putref_A = Automation_put_A,
    .get_b = Automation_get_b,
    .put_b = Automation_put_b,
    .putref_b = Automation_put_b,
    .get_c = Automation_get_c,
    .put_c = Automation_put_c,
    .putref_c = Automation_put_c,
    .get_d = Automation_get_d,
    .put_d = Automation_put_d,
    .putref_d = Automation_put_d,
    .get_q = Automation_get_q,
    .put_q = Automation_put_q,
    .putref_q = Automation_put_q,
    .get_doc = Automation_get_doc,
    .put_doc = Automation_put_doc,
    .putref_doc = Automation_put_doc,
    .get_CommonScripts = Automation_get_CommonScripts,
    .put_CommonScripts = Automation_put_CommonScripts,
    .putref_CommonScripts = Automation_put_CommonScripts,
    .NomMet = Automation_NomMet,
    .RodEst = Automation_RodEst,
    .TestMacros = Automation_TestMacros,
};

}  // namespace ramulet::win32
