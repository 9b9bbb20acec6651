// VARIANT <-> panel values, and the automation objects that carry panel
// values to clients.
#include "plugin/com/com.h"

#include <memory>
#include <string>

#include "platform/dictionary.h"
#include "plugin/com/variant_convert.h"
#include "tests/win32/expect_hresult.h"
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

TEST(VariantConvert, Scalars) {
  VARTYPE vt;
  EXPECT_TRUE(RoundTrip(Variant(), vt).IsEmpty() && vt == VT_EMPTY);
  EXPECT_TRUE(RoundTrip(Variant::Null(), vt).type() == Variant::Type::Null && vt == VT_NULL);
  EXPECT_TRUE(RoundTrip(Variant::Int16(-1), vt).AsInt16() == -1 && vt == VT_I2);
  EXPECT_TRUE(RoundTrip(Variant::Int32(100000), vt).AsInt32() == 100000 && vt == VT_I4);
  Variant single = RoundTrip(Variant::Single(1.5f), vt);
  EXPECT_TRUE(single.type() == Variant::Type::Single && single.ToNumber() == 1.5 && vt == VT_R4);
  Variant number = RoundTrip(Variant::Double(2.25), vt);
  EXPECT_TRUE(number.type() == Variant::Type::Double && number.ToNumber() == 2.25 && vt == VT_R8);
  EXPECT_TRUE(RoundTrip(Variant::Bool(true), vt).AsBool() == true && vt == VT_BOOL);
  Variant text = RoundTrip(Variant::Text(u"Рамулет"), vt);
  EXPECT_TRUE(text.AsText() && *text.AsText() == u"Рамулет" && vt == VT_BSTR);
}

TEST(VariantConvert, Arrays) {
  Variant nested = Variant::Array({Variant::Int32(1), Variant::Array({Variant::Text(u"a"), Variant()})});
  VARIANT converted;
  EXPECT_TRUE(ToVariant(nested, converted).ok());
  EXPECT_TRUE(V_VT(&converted) == (VT_ARRAY | VT_VARIANT));
  LONG lower = -1, upper = -1;
  SafeArrayGetLBound(V_ARRAY(&converted), 1, &lower);
  SafeArrayGetUBound(V_ARRAY(&converted), 1, &upper);
  EXPECT_TRUE(lower == 0 && upper == 1);
  Variant back;
  EXPECT_TRUE(FromVariant(converted, back).ok());
  VariantClear(&converted);
  const ramulet::VariantArray* items = back.AsArray();
  EXPECT_TRUE(items && items->size() == 2 && (*items)[0].AsInt32() == 1);
  EXPECT_TRUE(items && (*items)[1].ArraySize() == 2 && (*items)[1].AsArray()->at(0).EqualsText(u"a"));

  VARTYPE vt;
  EXPECT_TRUE(RoundTrip(Variant::Array({}), vt).ArraySize() == 0 && vt == (VT_ARRAY | VT_VARIANT));

  // An array of numbers, not of variants, as some clients build them.
  SAFEARRAY* numbers = SafeArrayCreateVector(VT_I4, 0, 3);
  for (LONG i = 0; i < 3; ++i) {
    LONG value = 10 * i;
    SafeArrayPutElement(numbers, &i, &value);
  }
  VARIANT typed;
  V_VT(&typed) = VT_ARRAY | VT_I4;
  V_ARRAY(&typed) = numbers;
  EXPECT_TRUE(FromVariant(typed, back).ok() && back.ArraySize() == 3 && back.AsArray()->at(2).AsInt32() == 20);
  VariantClear(&typed);
}

TEST(VariantConvert, ByReference) {
  LONG number = 7;
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_I4;
  V_I4REF(&reference) = &number;
  Variant value;
  EXPECT_TRUE(FromVariant(reference, value).ok() && value.AsInt32() == 7);
  EXPECT_TRUE(number == 7);

  VARIANT inner;
  V_VT(&inner) = VT_BSTR;
  V_BSTR(&inner) = SysAllocString(L"Вторая");
  BSTR original = V_BSTR(&inner);
  V_VT(&reference) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&reference) = &inner;
  EXPECT_TRUE(FromVariant(reference, value).ok() && value.EqualsText(u"Вторая"));
  EXPECT_TRUE(V_VT(&inner) == VT_BSTR && V_BSTR(&inner) == original && lstrcmpW(original, L"Вторая") == 0);

  V_VT(&reference) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&reference) = &original;
  EXPECT_TRUE(FromVariant(reference, value).ok() && value.EqualsText(u"Вторая"));
  VariantClear(&inner);

  V_VT(&reference) = VT_BYREF | VT_I2;
  V_I2REF(&reference) = nullptr;
  EXPECT_HR(E_POINTER, FromVariant(reference, value).code());
}

TEST(VariantConvert, RejectedValues) {
  Variant value;
  VARIANT big;
  V_VT(&big) = VT_I8;
  V_I8(&big) = 1LL << 40;
  EXPECT_HR(DISP_E_OVERFLOW, FromVariant(big, value).code());

  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  VARIANT grid;
  V_VT(&grid) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&grid) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  EXPECT_HR(DISP_E_TYPEMISMATCH, FromVariant(grid, value).code());
  VariantClear(&grid);

  SAFEARRAYBOUND from_one = {2, 1};
  VARIANT one_based;
  V_VT(&one_based) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&one_based) = SafeArrayCreate(VT_VARIANT, 1, &from_one);
  EXPECT_HR(DISP_E_TYPEMISMATCH, FromVariant(one_based, value).code());
  VariantClear(&one_based);
}

TEST(VariantConvert, ComObjectsKeepTheirIdentity) {
  FakeHost host;
  {
    IHostTextDocument* module = NewFakeTextModule(host);
    VARIANT given;
    V_VT(&given) = VT_DISPATCH;
    V_DISPATCH(&given) = reinterpret_cast<IDispatch*>(module);
    Variant stored;
    EXPECT_TRUE(FromVariant(given, stored).ok());
    VARIANT back;
    EXPECT_TRUE(ToVariant(stored, back).ok());
    EXPECT_TRUE(V_VT(&back) == VT_DISPATCH && V_DISPATCH(&back) == reinterpret_cast<IDispatch*>(module));
    VariantClear(&back);
    VariantClear(&given);

    VARIANT nothing;
    V_VT(&nothing) = VT_DISPATCH;
    V_DISPATCH(&nothing) = nullptr;
    EXPECT_TRUE(FromVariant(nothing, stored).ok() && stored.type() == Variant::Type::Object && !stored.AsObject());
  }
  EXPECT_TRUE(host.live_objects == 0);
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

TEST(VariantConvert, DictionaryView) {
  auto dictionary = std::make_shared<ramulet::Dictionary>();
  dictionary->Add(Variant::Text(u"Первая"), Variant::Int32(0));
  dictionary->Add(Variant::Text(u"Вторая"), Variant::Int32(1));
  VARIANT view;
  EXPECT_TRUE(ToVariant(Variant::Object(dictionary), view).ok());
  EXPECT_TRUE(V_VT(&view) == VT_DISPATCH && V_DISPATCH(&view));
  if (V_VT(&view) != VT_DISPATCH || !V_DISPATCH(&view)) return;
  IDispatch* object = V_DISPATCH(&view);

  VARIANT result;
  EXPECT_TRUE(SUCCEEDED(GetByName(object, L"Count", nullptr, 0, result)) && V_VT(&result) == VT_I4 &&
              V_I4(&result) == 2);
  VARIANT key;
  V_VT(&key) = VT_BSTR;
  V_BSTR(&key) = SysAllocString(L"Вторая");
  EXPECT_TRUE(SUCCEEDED(GetByName(object, L"Item", &key, 1, result)) && V_VT(&result) == VT_I4 && V_I4(&result) == 1);
  EXPECT_TRUE(SUCCEEDED(GetByName(object, L"Exists", &key, 1, result)) && V_VT(&result) == VT_BOOL &&
              V_BOOL(&result) == VARIANT_TRUE);
  VariantClear(&key);
  V_VT(&key) = VT_BSTR;
  V_BSTR(&key) = SysAllocString(L"вторая");  // keys tell letter case apart
  EXPECT_TRUE(SUCCEEDED(GetByName(object, L"Exists", &key, 1, result)) && V_BOOL(&result) == VARIANT_FALSE);
  EXPECT_TRUE(SUCCEEDED(GetByName(object, L"Item", &key, 1, result)) && V_VT(&result) == VT_EMPTY);
  VariantClear(&key);
  EXPECT_TRUE(SUCCEEDED(GetByName(object, L"Keys", nullptr, 0, result)) && V_VT(&result) == (VT_ARRAY | VT_VARIANT));
  VariantClear(&result);
  EXPECT_TRUE(GetByName(object, L"Add", nullptr, 0, result) == DISP_E_UNKNOWNNAME);  // read-only

  Variant back;
  EXPECT_TRUE(FromVariant(view, back).ok() && back.AsObject() == dictionary);
  VariantClear(&view);
}

struct Marker : ramulet::Object {};

TEST(VariantConvert, ValueHandle) {
  auto marker = std::make_shared<Marker>();
  VARIANT handle;
  EXPECT_TRUE(ToVariant(Variant::Object(marker), handle).ok() && V_VT(&handle) == VT_DISPATCH);
  VARIANT result;
  EXPECT_TRUE(GetByName(V_DISPATCH(&handle), L"Text", nullptr, 0, result) == DISP_E_UNKNOWNNAME);
  Variant back;
  EXPECT_TRUE(FromVariant(handle, back).ok() && back.AsObject() == marker);
  VariantClear(&handle);
}

}  // namespace
