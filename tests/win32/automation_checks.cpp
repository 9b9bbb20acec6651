// _Ramulet through its vtable and through IDispatch, for what a script
// cannot do: pass values by reference as they are, pass the host's objects.
#include <cstring>
#include <string>
#include <vector>

#include "plugin/com/com_ptr.h"
#include "tests/win32/expect_hresult.h"
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
  EXPECT_TRUE(IdOf(object, L"curTextDoc") == 0x40030000);
  EXPECT_TRUE(IdOf(object, L"CommonScripts") == 0x4003000B);
  EXPECT_TRUE(IdOf(object, L"NomMet") == 0x6003000B);
  EXPECT_TRUE(IdOf(object, L"RodEst") == 0x6003000C);
  EXPECT_TRUE(IdOf(object, L"TestMacros") == 0x60030016);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_TRUE(SUCCEEDED(
      object->lpVtbl->Invoke(object, 0x60030016, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr)));
}

// A SAFEARRAY of `type` with the given bounds (one pair per dimension,
// first the leftmost), its elements 1, 2, 3... in memory order.
SAFEARRAY* NumberedArray(VARTYPE type, std::vector<SAFEARRAYBOUND> bounds) {
  SAFEARRAY* array = SafeArrayCreate(type, static_cast<UINT>(bounds.size()), bounds.data());
  if (!array) return nullptr;
  ULONG count = 1;
  for (const SAFEARRAYBOUND& bound : bounds) count *= bound.cElements;
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  for (ULONG i = 0; i < count; ++i) {
    switch (type) {
      case VT_UI1: static_cast<BYTE*>(data)[i] = static_cast<BYTE>(i + 1); break;
      case VT_I4: static_cast<LONG*>(data)[i] = static_cast<LONG>(i + 1); break;
      case VT_DATE: static_cast<DATE*>(data)[i] = 45000.25 + i; break;
      case VT_VARIANT: {
        VARIANT* item = static_cast<VARIANT*>(data) + i;
        V_VT(item) = VT_I4;
        V_I4(item) = static_cast<LONG>(i + 1);
        break;
      }
    }
  }
  SafeArrayUnaccessData(array);
  return array;
}

// Same type, dimensions, bounds and element bytes (variants compared one by one).
bool SameVariant(const VARIANT& a, const VARIANT& b);

bool SameArray(SAFEARRAY* a, SAFEARRAY* b, VARTYPE type) {
  if (!a || !b) return a == b;
  UINT dims = SafeArrayGetDim(a);
  if (dims != SafeArrayGetDim(b) || SafeArrayGetElemsize(a) != SafeArrayGetElemsize(b)) return false;
  ULONG count = 1;
  for (UINT d = 1; d <= dims; ++d) {
    LONG la, lb, ua, ub;
    SafeArrayGetLBound(a, d, &la);
    SafeArrayGetLBound(b, d, &lb);
    SafeArrayGetUBound(a, d, &ua);
    SafeArrayGetUBound(b, d, &ub);
    if (la != lb || ua != ub) return false;
    count *= static_cast<ULONG>(ua - la + 1);
  }
  void *da = nullptr, *db = nullptr;
  SafeArrayAccessData(a, &da);
  SafeArrayAccessData(b, &db);
  bool same = true;
  if (type == VT_VARIANT) {
    for (ULONG i = 0; same && i < count; ++i) same = SameVariant(static_cast<VARIANT*>(da)[i], static_cast<VARIANT*>(db)[i]);
  } else {
    same = memcmp(da, db, count * SafeArrayGetElemsize(a)) == 0;
  }
  SafeArrayUnaccessData(a);
  SafeArrayUnaccessData(b);
  return same;
}

bool SameVariant(const VARIANT& a, const VARIANT& b) {
  if (V_VT(&a) != V_VT(&b)) return false;
  if (V_VT(&a) & VT_ARRAY) return SameArray(V_ARRAY(&a), V_ARRAY(&b), V_VT(&a) & VT_TYPEMASK);
  if (V_VT(&a) == VT_BSTR) return VarBstrCmp(V_BSTR(&a), V_BSTR(&b), 0, 0) == VARCMP_EQ;
  if (V_VT(&a) == VT_DECIMAL) return memcmp(&V_DECIMAL(&a), &V_DECIMAL(&b), sizeof(DECIMAL)) == 0;
  switch (V_VT(&a)) {
    case VT_ERROR: return V_ERROR(&a) == V_ERROR(&b);
    case VT_CY: return V_CY(&a).int64 == V_CY(&b).int64;
    case VT_DATE: return V_DATE(&a) == V_DATE(&b);
    case VT_I8: return V_I8(&a) == V_I8(&b);
    case VT_I1: return V_I1(&a) == V_I1(&b);
    case VT_UI1: return V_UI1(&a) == V_UI1(&b);
    case VT_UI2: return V_UI2(&a) == V_UI2(&b);
    case VT_UI4: return V_UI4(&a) == V_UI4(&b);
    default: return VarCmp(const_cast<VARIANT*>(&a), const_cast<VARIANT*>(&b), 0, 0) == VARCMP_EQ;
  }
}

struct StoredCase {
  const char* name;
  VARIANT value;  // owned by the table; cleared at its end
};

std::vector<StoredCase> StoredCases() {
  std::vector<StoredCase> cases;
  auto add = [&](const char* name, VARTYPE type, auto setter) {
    StoredCase c{name, {}};
    VariantInit(&c.value);
    V_VT(&c.value) = type;
    setter(c.value);
    cases.push_back(c);
  };
  add("a date", VT_DATE, [](VARIANT& v) { V_DATE(&v) = 45000.75; });
  add("a currency amount", VT_CY, [](VARIANT& v) { V_CY(&v).int64 = 123456789; });
  add("a decimal", VT_DECIMAL, [](VARIANT& v) {
    DECIMAL d = {};
    d.scale = 3;
    d.Lo64 = 1234567;
    V_DECIMAL(&v) = d;
    V_VT(&v) = VT_DECIMAL;  // the DECIMAL overlays the type field
  });
  add("an error value", VT_ERROR, [](VARIANT& v) { V_ERROR(&v) = DISP_E_PARAMNOTFOUND; });
  add("a byte", VT_UI1, [](VARIANT& v) { V_UI1(&v) = 200; });
  add("a signed byte", VT_I1, [](VARIANT& v) { V_I1(&v) = -5; });
  add("an unsigned 16-bit integer", VT_UI2, [](VARIANT& v) { V_UI2(&v) = 60000; });
  add("an unsigned 32-bit integer", VT_UI4, [](VARIANT& v) { V_UI4(&v) = 4000000000u; });
  add("a 64-bit integer", VT_I8, [](VARIANT& v) { V_I8(&v) = -9000000000000LL; });
  add("bytes", VT_ARRAY | VT_UI1, [](VARIANT& v) { V_ARRAY(&v) = NumberedArray(VT_UI1, {{5, 0}}); });
  add("a typed array of longs", VT_ARRAY | VT_I4, [](VARIANT& v) { V_ARRAY(&v) = NumberedArray(VT_I4, {{3, 0}}); });
  add("an array of dates", VT_ARRAY | VT_DATE, [](VARIANT& v) { V_ARRAY(&v) = NumberedArray(VT_DATE, {{2, 0}}); });
  add("a two-dimensional array", VT_ARRAY | VT_VARIANT,
      [](VARIANT& v) { V_ARRAY(&v) = NumberedArray(VT_VARIANT, {{2, 0}, {3, 1}}); });
  add("an array based at 1", VT_ARRAY | VT_VARIANT, [](VARIANT& v) { V_ARRAY(&v) = NumberedArray(VT_VARIANT, {{3, 1}}); });
  add("a text", VT_BSTR, [](VARIANT& v) { V_BSTR(&v) = SysAllocString(L"Первая"); });
  add("an integer", VT_I2, [](VARIANT& v) { V_I2(&v) = -7; });
  return cases;
}

// Each stored property keeps the VARIANT given and returns an equal one,
// also through a put by reference; the given value can be changed or freed
// afterwards without touching the stored copy.
void CheckStoredAsGiven(_Ramulet* automation) {
  std::vector<StoredCase> cases = StoredCases();
  for (StoredCase& c : cases) {
    HRESULT put = automation->lpVtbl->put_A(automation, c.value);
    VARIANT read;
    VariantInit(&read);
    HRESULT got = automation->lpVtbl->get_A(automation, &read);
    EXPECT_TRUE(SUCCEEDED(put) && SUCCEEDED(got) && SameVariant(c.value, read))
        << c.name << ": put " << HexText(put) << ", type back " << V_VT(&read);
    VariantClear(&read);

    VARIANT by_reference;
    V_VT(&by_reference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&by_reference) = &c.value;
    put = automation->lpVtbl->put_Meth(automation, by_reference);
    got = automation->lpVtbl->get_Meth(automation, &read);
    EXPECT_TRUE(SUCCEEDED(put) && SUCCEEDED(got) && SameVariant(c.value, read))
        << c.name << " by reference: put " << HexText(put) << ", type back " << V_VT(&read);
    VariantClear(&read);
  }
  for (StoredCase& c : cases) VariantClear(&c.value);
  // The stored copy outlives the given value.
  VARIANT read;
  VariantInit(&read);
  EXPECT_TRUE(SUCCEEDED(automation->lpVtbl->get_A(automation, &read)) && V_VT(&read) == VT_I2 && V_I2(&read) == -7);
  VariantClear(&read);
}

// A put of a value curTextDoc cannot take is an exception with the
// type-mismatch code and a description, not a crash.
void CheckWrongTypeThroughDispatch(IDispatch* object) {
  VARIANT number;
  V_VT(&number) = VT_I4;
  V_I4(&number) = 5;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&number, &put, 1, 1};
  EXCEPINFO exception = {};
  HRESULT hr = object->lpVtbl->Invoke(object, IdOf(object, L"curTextDoc"), IID_NULL, 0, DISPATCH_PROPERTYPUTREF,
                                      &params, nullptr, &exception, nullptr);
  EXPECT_TRUE(FAILED(hr));
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
}

void CheckNomMet(_Ramulet* automation) {
  LONG number = 42;
  VARIANT name, result;
  V_VT(&name) = VT_BYREF | VT_I4;
  V_I4REF(&name) = &number;
  EXPECT_TRUE(SUCCEEDED(automation->lpVtbl->NomMet(automation, &name, &result)));
  EXPECT_TRUE(V_VT(&result) == VT_I2 && V_I2(&result) == -1);
  EXPECT_TRUE(V_VT(&name) == (VT_BYREF | VT_I4) && number == 42);  // read, never written
  V_VT(&name) = VT_BSTR;
  V_BSTR(&name) = SysAllocString(L"Первая");
  EXPECT_TRUE(SUCCEEDED(automation->lpVtbl->NomMet(automation, &name, &result)) && V_I2(&result) == -1);
  VariantClear(&name);
  EXPECT_HR(E_POINTER, automation->lpVtbl->NomMet(automation, nullptr, &result));
}

void CheckCurTextDoc(_Ramulet* automation, FakeHost& host) {
  IHostTextDocument* module = NewFakeTextModule(host);
  IHostTextDocument* read = nullptr;
  EXPECT_TRUE(SUCCEEDED(automation->lpVtbl->putref_curTextDoc(automation, module)));
  EXPECT_TRUE(SUCCEEDED(automation->lpVtbl->get_curTextDoc(automation, &read)) && read == module);
  if (read) read->lpVtbl->Release(read);
  module->lpVtbl->Release(module);

  // Any other object, passed where a text document is expected.
  IDispatch* paged = NewFakePagedDocument(host);
  EXPECT_HR(DISP_E_TYPEMISMATCH,
            automation->lpVtbl->putref_curTextDoc(automation, reinterpret_cast<IHostTextDocument*>(paged)));
  paged->lpVtbl->Release(paged);

  EXPECT_TRUE(SUCCEEDED(automation->lpVtbl->putref_curTextDoc(automation, nullptr)));
  EXPECT_TRUE(SUCCEEDED(automation->lpVtbl->get_curTextDoc(automation, &read)) && read == nullptr);
  EXPECT_TRUE(host.live_objects == 0);
}

}  // namespace

namespace {

// A new control, seen through its automation interface.
class RegisteredAutomation : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        SUCCEEDED(CoCreateInstance(CLSID_Ramulet, nullptr, CLSCTX_INPROC_SERVER, IID__Ramulet, automation_.OutVoid())));
  }
  _Ramulet* automation() { return automation_.get(); }
  IDispatch* dispatch() { return reinterpret_cast<IDispatch*>(automation_.get()); }

 private:
  ComPtr<_Ramulet> automation_;
};

TEST_F(RegisteredAutomation, DispatchIds) { CheckDispatchIds(dispatch()); }
TEST_F(RegisteredAutomation, WrongTypeThroughDispatch) { CheckWrongTypeThroughDispatch(dispatch()); }
TEST_F(RegisteredAutomation, NomMet) { CheckNomMet(automation()); }
TEST_F(RegisteredAutomation, StoredAsGiven) { CheckStoredAsGiven(automation()); }
TEST_F(RegisteredAutomation, CurTextDoc) {
  FakeHost host;
  CheckCurTextDoc(automation(), host);
}

}  // namespace
