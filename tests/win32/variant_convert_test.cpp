// VARIANT <-> panel values, and the automation objects that carry panel
// values to clients.
#include "plugin/com/com.h"

#include <memory>
#include <string>

#include "platform/dictionary.h"
#include "plugin/com/variant_convert.h"
#include "tests/win32/check.h"
#include "tests/win32/fake_host.h"

namespace {

using ramulet::Status;
using ramulet::Variant;
using ramulet::win32::FromVariant;
using ramulet::win32::ToVariant;

// Converts to a VARIANT and back.
Variant RoundTrip(const Variant& value, VARTYPE& vt) {
  VARIANT converted;
  Variant back;
  vt = VT_ILLEGAL;
  if (ToVariant(value, converted).ok()) {
    vt = V_VT(&converted);
    if (!FromVariant(converted, back).ok()) back = Variant::Text(u"conversion failed");
    VariantClear(&converted);
  }
  return back;
}

void TestScalars() {
  VARTYPE vt;
  CHECK(RoundTrip(Variant(), vt).IsEmpty() && vt == VT_EMPTY);
  CHECK(RoundTrip(Variant::Null(), vt).type() == Variant::Type::Null && vt == VT_NULL);
  CHECK(RoundTrip(Variant::Int16(-1), vt).AsInt16() == -1 && vt == VT_I2);
  CHECK(RoundTrip(Variant::Int32(100000), vt).AsInt32() == 100000 && vt == VT_I4);
  Variant single = RoundTrip(Variant::Single(1.5f), vt);
  CHECK(single.type() == Variant::Type::Single && single.ToNumber() == 1.5 && vt == VT_R4);
  Variant number = RoundTrip(Variant::Double(2.25), vt);
  CHECK(number.type() == Variant::Type::Double && number.ToNumber() == 2.25 && vt == VT_R8);
  CHECK(RoundTrip(Variant::Bool(true), vt).AsBool() == true && vt == VT_BOOL);
  Variant text = RoundTrip(Variant::Text(u"Рамулет"), vt);
  CHECK(text.AsText() && *text.AsText() == u"Рамулет" && vt == VT_BSTR);
}

void TestArrays() {
  Variant nested = Variant::Array({Variant::Int32(1), Variant::Array({Variant::Text(u"a"), Variant()})});
  VARIANT converted;
  CHECK(ToVariant(nested, converted).ok());
  CHECK(V_VT(&converted) == (VT_ARRAY | VT_VARIANT));
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(V_ARRAY(&converted), 1, &lower);
  SafeArrayGetUBound(V_ARRAY(&converted), 1, &upper);
  CHECK(lower == 0 && upper == 1);
  Variant back;
  CHECK(FromVariant(converted, back).ok());
  VariantClear(&converted);
  const ramulet::VariantArray* items = back.AsArray();
  CHECK(items && items->size() == 2 && (*items)[0].AsInt32() == 1);
  CHECK(items && (*items)[1].ArraySize() == 2 && (*items)[1].AsArray()->at(0).EqualsText(u"a"));

  VARTYPE vt;
  CHECK(RoundTrip(Variant::Array({}), vt).ArraySize() == 0 && vt == (VT_ARRAY | VT_VARIANT));

  // An array of numbers, not of variants, as some clients build them.
  SAFEARRAY* numbers = SafeArrayCreateVector(VT_I4, 0, 3);
  for (LONG i = 0; i < 3; ++i) {
    LONG value = 10 * i;
    SafeArrayPutElement(numbers, &i, &value);
  }
  VARIANT typed;
  V_VT(&typed) = VT_ARRAY | VT_I4;
  V_ARRAY(&typed) = numbers;
  CHECK(FromVariant(typed, back).ok() && back.ArraySize() == 3 && back.AsArray()->at(2).AsInt32() == 20);
  VariantClear(&typed);
}

void TestByReference() {
  LONG number = 7;
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_I4;
  V_I4REF(&reference) = &number;
  Variant value;
  CHECK(FromVariant(reference, value).ok() && value.AsInt32() == 7);
  CHECK(number == 7);

  VARIANT inner;
  V_VT(&inner) = VT_BSTR;
  V_BSTR(&inner) = SysAllocString(L"Вторая");
  BSTR original = V_BSTR(&inner);
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = &inner;
  CHECK(FromVariant(reference, value).ok() && value.EqualsText(u"Вторая"));
  CHECK(V_VT(&inner) == VT_BSTR && V_BSTR(&inner) == original && lstrcmpW(original, L"Вторая") == 0);

  V_VT(&reference) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&reference) = &original;
  CHECK(FromVariant(reference, value).ok() && value.EqualsText(u"Вторая"));
  VariantClear(&inner);

  V_VT(&reference) = VT_BYREF | VT_I2;
  V_I2REF(&reference) = nullptr;
  CHECK_HR(E_POINTER, FromVariant(reference, value).code());
}

void TestRejectedValues() {
  Variant value;
  VARIANT big;
  V_VT(&big) = VT_I8;
  V_I8(&big) = 1LL << 40;
  CHECK_HR(DISP_E_OVERFLOW, FromVariant(big, value).code());

  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  VARIANT grid;
  V_VT(&grid) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&grid) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  CHECK_HR(DISP_E_TYPEMISMATCH, FromVariant(grid, value).code());
  VariantClear(&grid);

  SAFEARRAYBOUND from_one = {2, 1};
  VARIANT one_based;
  V_VT(&one_based) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&one_based) = SafeArrayCreate(VT_VARIANT, 1, &from_one);
  CHECK_HR(DISP_E_TYPEMISMATCH, FromVariant(one_based, value).code());
  VariantClear(&one_based);
}

void TestComObjectsKeepTheirIdentity() {
  FakeHost host;
  {
    IHostTextDocument* module = NewFakeTextModule(host);
    VARIANT given;
    V_VT(&given) = VT_DISPATCH;
    V_DISPATCH(&given) = reinterpret_cast<IDispatch*>(module);
    Variant stored;
    CHECK(FromVariant(given, stored).ok());
    VARIANT back;
    CHECK(ToVariant(stored, back).ok());
    CHECK(V_VT(&back) == VT_DISPATCH && V_DISPATCH(&back) == reinterpret_cast<IDispatch*>(module));
    VariantClear(&back);
    VariantClear(&given);

    VARIANT nothing;
    V_VT(&nothing) = VT_DISPATCH;
    V_DISPATCH(&nothing) = nullptr;
    CHECK(FromVariant(nothing, stored).ok() && stored.type() == Variant::Type::Object && !stored.AsObject());
  }
  CHECK(host.live_objects == 0);
}

// Reads a member of an automation object by name.
HRESULT GetByName(IDispatch* object, const wchar_t* name, VARIANT* args, UINT count, VARIANT& result) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->lpVtbl->GetIDsOfNames(object, IID_NULL, names, 1, 0, &id);
  if (FAILED(hr)) return hr;
  DISPPARAMS params = {args, nullptr, count, 0};
  VariantInit(&result);
  return object->lpVtbl->Invoke(object, id, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD, &params, &result,
                                nullptr, nullptr);
}

void TestDictionaryView() {
  auto dictionary = std::make_shared<ramulet::Dictionary>();
  dictionary->Add(Variant::Text(u"Первая"), Variant::Int32(0));
  dictionary->Add(Variant::Text(u"Вторая"), Variant::Int32(1));
  VARIANT view;
  CHECK(ToVariant(Variant::Object(dictionary), view).ok());
  CHECK(V_VT(&view) == VT_DISPATCH && V_DISPATCH(&view));
  if (V_VT(&view) != VT_DISPATCH || !V_DISPATCH(&view)) return;
  IDispatch* object = V_DISPATCH(&view);

  VARIANT result;
  CHECK(SUCCEEDED(GetByName(object, L"Count", nullptr, 0, result)) && V_VT(&result) == VT_I4 && V_I4(&result) == 2);
  VARIANT key;
  V_VT(&key) = VT_BSTR;
  V_BSTR(&key) = SysAllocString(L"Вторая");
  CHECK(SUCCEEDED(GetByName(object, L"Item", &key, 1, result)) && V_VT(&result) == VT_I4 && V_I4(&result) == 1);
  CHECK(SUCCEEDED(GetByName(object, L"Exists", &key, 1, result)) && V_VT(&result) == VT_BOOL &&
        V_BOOL(&result) == VARIANT_TRUE);
  VariantClear(&key);
  V_VT(&key) = VT_BSTR;
  V_BSTR(&key) = SysAllocString(L"вторая");  // keys tell letter case apart
  CHECK(SUCCEEDED(GetByName(object, L"Exists", &key, 1, result)) && V_BOOL(&result) == VARIANT_FALSE);
  CHECK(SUCCEEDED(GetByName(object, L"Item", &key, 1, result)) && V_VT(&result) == VT_EMPTY);
  VariantClear(&key);
  CHECK(SUCCEEDED(GetByName(object, L"Keys", nullptr, 0, result)) && V_VT(&result) == (VT_ARRAY | VT_VARIANT));
  VariantClear(&result);
  CHECK(GetByName(object, L"Add", nullptr, 0, result) == DISP_E_UNKNOWNNAME);  // read-only

  Variant back;
  CHECK(FromVariant(view, back).ok() && back.AsObject() == dictionary);
  VariantClear(&view);
}

struct Marker : ramulet::Object {};

void TestValueHandle() {
  auto marker = std::make_shared<Marker>();
  VARIANT handle;
  CHECK(ToVariant(Variant::Object(marker), handle).ok() && V_VT(&handle) == VT_DISPATCH);
  VARIANT result;
  CHECK(GetByName(V_DISPATCH(&handle), L"Text", nullptr, 0, result) == DISP_E_UNKNOWNNAME);
  Variant back;
  CHECK(FromVariant(handle, back).ok() && back.AsObject() == marker);
  VariantClear(&handle);
}

}  // namespace

void RunVariantConversionTests() {
  TestScalars();
  TestArrays();
  TestByReference();
  TestRejectedValues();
  TestComObjectsKeepTheirIdentity();
  TestDictionaryView();
  TestValueHandle();
}
