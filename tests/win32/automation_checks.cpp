// _Ramulet through its vtable and through IDispatch, for what a script
// cannot do: pass values by reference as they are, pass the host's objects.
#include <string>

#include "plugin/win32/com_ptr.h"
#include "tests/win32/check.h"
#include "tests/win32/fake_host.h"
#include "tests/win32/server_checks.h"

namespace {

using ramulet::win32::ComPtr;

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->lpVtbl->GetIDsOfNames(object, IID_NULL, names, 1, 0, &id);
  return id;
}

void CheckDispatchIds(IDispatch* object) {
  CHECK(IdOf(object, L"curTextDoc") == 0x40030000);
  CHECK(IdOf(object, L"CommonScripts") == 0x4003000B);
  CHECK(IdOf(object, L"NomMet") == 0x6003000B);
  CHECK(IdOf(object, L"RodEst") == 0x6003000C);
  CHECK(IdOf(object, L"TestMacros") == 0x60030016);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  CHECK(SUCCEEDED(object->lpVtbl->Invoke(object, 0x60030016, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                                         nullptr)));
}

// A property put of a value the panel cannot hold is an exception with the
// type-mismatch code and a description, not a crash.
void CheckWrongTypeThroughDispatch(IDispatch* object) {
  VARIANT date;
  V_VT(&date) = VT_DATE;
  V_DATE(&date) = 45000.0;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&date, &put, 1, 1};
  EXCEPINFO exception = {};
  HRESULT hr = object->lpVtbl->Invoke(object, IdOf(object, L"A"), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                                      &exception, nullptr);
  CHECK_HR(DISP_E_EXCEPTION, hr);
  CHECK_HR(DISP_E_TYPEMISMATCH, exception.scode);
  CHECK(exception.bstrDescription && SysStringLen(exception.bstrDescription) > 0);
  CHECK(exception.bstrSource && lstrcmpW(exception.bstrSource, L"Korvex.Ramulet") == 0);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
}

void CheckNomMet(_Ramulet* automation) {
  LONG number = 42;
  VARIANT name, result;
  V_VT(&name) = VT_BYREF | VT_I4;
  V_I4REF(&name) = &number;
  CHECK(SUCCEEDED(automation->lpVtbl->NomMet(automation, &name, &result)));
  CHECK(V_VT(&result) == VT_I2 && V_I2(&result) == -1);
  CHECK(V_VT(&name) == (VT_BYREF | VT_I4) && number == 42);  // read, never written
  V_VT(&name) = VT_BSTR;
  V_BSTR(&name) = SysAllocString(L"Первая");
  CHECK(SUCCEEDED(automation->lpVtbl->NomMet(automation, &name, &result)) && V_I2(&result) == -1);
  VariantClear(&name);
  CHECK_HR(E_POINTER, automation->lpVtbl->NomMet(automation, nullptr, &result));
}

void CheckCurTextDoc(_Ramulet* automation, FakeHost& host) {
  IHostTextDocument* module = NewFakeTextModule(host);
  IHostTextDocument* read = nullptr;
  CHECK(SUCCEEDED(automation->lpVtbl->putref_curTextDoc(automation, module)));
  CHECK(SUCCEEDED(automation->lpVtbl->get_curTextDoc(automation, &read)) && read == module);
  if (read) read->lpVtbl->Release(read);
  module->lpVtbl->Release(module);

  // Any other object, passed where a text document is expected.
  IDispatch* paged = NewFakePagedDocument(host);
  CHECK_HR(DISP_E_TYPEMISMATCH,
           automation->lpVtbl->putref_curTextDoc(automation, reinterpret_cast<IHostTextDocument*>(paged)));
  paged->lpVtbl->Release(paged);

  CHECK(SUCCEEDED(automation->lpVtbl->putref_curTextDoc(automation, nullptr)));
  CHECK(SUCCEEDED(automation->lpVtbl->get_curTextDoc(automation, &read)) && read == nullptr);
  CHECK(host.live_objects == 0);
}

}  // namespace

void CheckAutomation() {
  ComPtr<_Ramulet> automation;
  CHECK(SUCCEEDED(CoCreateInstance(CLSID_Ramulet, nullptr, CLSCTX_INPROC_SERVER, IID__Ramulet, automation.OutVoid())));
  if (!automation) return;
  IDispatch* object = reinterpret_cast<IDispatch*>(automation.get());
  CheckDispatchIds(object);
  CheckWrongTypeThroughDispatch(object);
  CheckNomMet(automation.get());
  FakeHost host;
  CheckCurTextDoc(automation.get(), host);
}
