#include "plugin/com/variant_convert.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "platform/dictionary.h"
#include "plugin/com/com_object_ref.h"
#include "plugin/com/com_text.h"
#include "plugin/com/dictionary_view.h"
#include "plugin/com/error_info.h"
#include "plugin/com/value_handle.h"

namespace ramulet::win32 {

namespace {

// Arrays inside arrays and references to references, at most this deep.
constexpr int kMaxNesting = 32;

Status Mismatch(const std::string& what) { return Status::Error(DISP_E_TYPEMISMATCH, what); }

std::string TypeName(VARTYPE vt) {
  switch (vt) {
    case VT_DATE: return "дата";
    case VT_CY: return "денежная сумма";
    case VT_DECIMAL: return "десятичное число";
    case VT_ERROR: return "код ошибки";
    case VT_RECORD: return "запись";
    default: return "значение вариантного типа " + std::to_string(vt);
  }
}

Status Overflow(const std::string& number) {
  return Status::Error(DISP_E_OVERFLOW, "Число " + number + " не умещается в 32 бита");
}

Status FromInteger(long long value, Variant& out) {
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return Overflow(std::to_string(value));
  }
  out = Variant::Int32(static_cast<int32_t>(value));
  return Status::Ok();
}

Status FromObject(IUnknown* object, bool is_dispatch, Variant& out) {
  if (!object) {
    out = Variant::Object(nullptr);
  } else if (std::shared_ptr<Dictionary> dictionary = DictionaryBehind(object)) {
    out = Variant::Object(std::move(dictionary));
  } else if (std::shared_ptr<Object> value = ValueBehind(object)) {
    out = Variant::Object(std::move(value));
  } else {
    out = Variant::Object(std::make_shared<ComObjectRef>(object, is_dispatch));
  }
  return Status::Ok();
}

bool IsArrayElementType(VARTYPE vt) {
  switch (vt) {
    case VT_VARIANT: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_BOOL: case VT_BSTR:
    case VT_DISPATCH: case VT_UNKNOWN: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_INT:
    case VT_UINT: case VT_I8: case VT_UI8:
      return true;
    default:
      return false;
  }
}

Status FromVariantAt(const VARIANT& in, int depth, Variant& out);

Status FromArray(SAFEARRAY* array, VARTYPE element_type, int depth, Variant& out) {
  if (!array) {  // a dynamic array that was never sized
    out = Variant::Array({});
    return Status::Ok();
  }
  if (!IsArrayElementType(element_type)) {
    return Mismatch("Массив, элементы которого — " + TypeName(element_type) + ", сохранить нельзя");
  }
  if (SafeArrayGetDim(array) != 1) return Mismatch("Сохранить можно только одномерный массив");
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  if (lower != 0) return Mismatch("Сохранить можно только массив, индексы которого начинаются с 0");
  VariantArray items;
  items.reserve(static_cast<size_t>(upper + 1));
  for (LONG i = 0; i <= upper; ++i) {
    VARIANT element;
    VariantInit(&element);
    // A VARIANT element is copied whole; any other element is read into the
    // value part of a VARIANT of its type.
    void* slot = element_type == VT_VARIANT ? static_cast<void*>(&element) : static_cast<void*>(&V_I4(&element));
    if (element_type != VT_VARIANT) V_VT(&element) = element_type;
    HRESULT hr = SafeArrayGetElement(array, &i, slot);
    if (FAILED(hr)) {
      V_VT(&element) = VT_EMPTY;
      return Status::Error(hr, "Не удалось прочитать элемент " + std::to_string(i) + " массива");
    }
    Variant item;
    Status status = FromVariantAt(element, depth + 1, item);
    VariantClear(&element);
    RAMULET_RETURN_IF_ERROR(status);
    items.push_back(std::move(item));
  }
  out = Variant::Array(std::move(items));
  return Status::Ok();
}

Status FromReference(const VARIANT& in, int depth, Variant& out) {
  if (!V_BYREF(&in)) return Status::Error(E_POINTER, "У значения, переданного по ссылке, нет адреса");
  VARTYPE base = V_VT(&in) & ~VT_BYREF;
  if (base == VT_VARIANT) return FromVariantAt(*V_VARIANTREF(&in), depth + 1, out);
  if (base & VT_ARRAY) return FromArray(*V_ARRAYREF(&in), base & VT_TYPEMASK, depth, out);
  if (base == VT_DISPATCH) return FromObject(reinterpret_cast<IUnknown*>(*V_DISPATCHREF(&in)), true, out);
  if (base == VT_UNKNOWN) return FromObject(*V_UNKNOWNREF(&in), false, out);
  VARIANT value;
  VariantInit(&value);
  // VariantCopyInd only reads its source, though it is not declared const.
  HRESULT hr = VariantCopyInd(&value, const_cast<VARIANT*>(&in));
  if (FAILED(hr)) return Status::Error(hr, "Не удалось прочитать значение, переданное по ссылке");
  Status status = FromVariantAt(value, depth + 1, out);
  VariantClear(&value);
  return status;
}

Status FromVariantAt(const VARIANT& in, int depth, Variant& out) {
  if (depth > kMaxNesting) return Mismatch("Значение вложено слишком глубоко");
  const VARTYPE vt = V_VT(&in);
  if (vt & VT_BYREF) return FromReference(in, depth, out);
  if (vt & VT_ARRAY) return FromArray(V_ARRAY(&in), vt & VT_TYPEMASK, depth, out);
  switch (vt) {
    case VT_EMPTY: out = Variant(); return Status::Ok();
    case VT_NULL: out = Variant::Null(); return Status::Ok();
    case VT_I2: out = Variant::Int16(V_I2(&in)); return Status::Ok();
    case VT_I4: out = Variant::Int32(V_I4(&in)); return Status::Ok();
    case VT_R4: out = Variant::Single(V_R4(&in)); return Status::Ok();
    case VT_R8: out = Variant::Double(V_R8(&in)); return Status::Ok();
    case VT_BOOL: out = Variant::Bool(V_BOOL(&in) != VARIANT_FALSE); return Status::Ok();
    case VT_BSTR: out = Variant::Text(BstrText(V_BSTR(&in))); return Status::Ok();
    case VT_I1: out = Variant::Int16(V_I1(&in)); return Status::Ok();
    case VT_UI1: out = Variant::Int16(V_UI1(&in)); return Status::Ok();
    case VT_UI2: out = Variant::Int32(V_UI2(&in)); return Status::Ok();
    case VT_INT: return FromInteger(V_INT(&in), out);
    case VT_UINT: return FromInteger(V_UINT(&in), out);
    case VT_UI4: return FromInteger(V_UI4(&in), out);
    case VT_I8: return FromInteger(V_I8(&in), out);
    case VT_UI8:
      if (V_UI8(&in) > static_cast<ULONGLONG>(std::numeric_limits<int32_t>::max())) {
        return Overflow(std::to_string(V_UI8(&in)));
      }
      return FromInteger(static_cast<long long>(V_UI8(&in)), out);
    case VT_DISPATCH: return FromObject(reinterpret_cast<IUnknown*>(V_DISPATCH(&in)), true, out);
    case VT_UNKNOWN: return FromObject(V_UNKNOWN(&in), false, out);
    default: return Mismatch("Значение этого типа (" + TypeName(vt) + ") сохранить нельзя");
  }
}

Status ArrayToVariant(const VariantArray& items, VARIANT& out) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
  if (!array) return Status::Error(E_OUTOFMEMORY, "Недостаточно памяти для массива");
  VARIANT* elements = nullptr;
  HRESULT hr = SafeArrayAccessData(array, reinterpret_cast<void**>(&elements));
  Status status = SUCCEEDED(hr) ? Status::Ok() : Status::Error(hr, "Не удалось заполнить массив");
  for (size_t i = 0; status.ok() && i < items.size(); ++i) status = ToVariant(items[i], elements[i]);
  if (SUCCEEDED(hr)) SafeArrayUnaccessData(array);
  if (!status.ok()) {
    SafeArrayDestroy(array);  // clears the elements filled so far
    return status;
  }
  V_VT(&out) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&out) = array;
  return Status::Ok();
}

Status ObjectToVariant(const std::shared_ptr<Object>& object, VARIANT& out) {
  if (!object) {
    V_VT(&out) = VT_DISPATCH;
    V_DISPATCH(&out) = nullptr;
    return Status::Ok();
  }
  if (auto* com = dynamic_cast<ComIdentity*>(object.get())) {
    IUnknown* unknown = com->ComUnknown();
    AddRefOf(unknown);
    V_VT(&out) = com->IsDispatch() ? VT_DISPATCH : VT_UNKNOWN;
    V_UNKNOWN(&out) = unknown;
    return Status::Ok();
  }
  IDispatch* dispatch = nullptr;
  HRESULT hr;
  if (auto dictionary = std::dynamic_pointer_cast<Dictionary>(object)) {
    hr = CreateDictionaryView(std::move(dictionary), &dispatch);
  } else {
    hr = CreateValueHandle(object, &dispatch);
  }
  if (FAILED(hr)) return Status::Error(hr, "Не удалось передать объект панели");
  V_VT(&out) = VT_DISPATCH;
  V_DISPATCH(&out) = dispatch;
  return Status::Ok();
}

}  // namespace

Status FromVariant(const VARIANT& in, Variant& out) { return FromVariantAt(in, 0, out); }

Status ToVariant(const Variant& in, VARIANT& out) {
  VariantInit(&out);
  switch (in.type()) {
    case Variant::Type::Empty:
      return Status::Ok();
    case Variant::Type::Null:
      V_VT(&out) = VT_NULL;
      return Status::Ok();
    case Variant::Type::Int16:
      V_VT(&out) = VT_I2;
      V_I2(&out) = *in.AsInt16();
      return Status::Ok();
    case Variant::Type::Int32:
      V_VT(&out) = VT_I4;
      V_I4(&out) = *in.AsInt32();
      return Status::Ok();
    case Variant::Type::Single:
      V_VT(&out) = VT_R4;
      V_R4(&out) = static_cast<float>(*in.ToNumber());
      return Status::Ok();
    case Variant::Type::Double:
      V_VT(&out) = VT_R8;
      V_R8(&out) = *in.ToNumber();
      return Status::Ok();
    case Variant::Type::Bool:
      V_VT(&out) = VT_BOOL;
      V_BOOL(&out) = *in.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
      return Status::Ok();
    case Variant::Type::Text: {
      BSTR text = AllocBstr(*in.AsText());
      if (!text) return Status::Error(E_OUTOFMEMORY, "Недостаточно памяти для текста");
      V_VT(&out) = VT_BSTR;
      V_BSTR(&out) = text;
      return Status::Ok();
    }
    case Variant::Type::Array:
      return ArrayToVariant(*in.AsArray(), out);
    case Variant::Type::Object:
      return ObjectToVariant(in.AsObject(), out);
  }
  return Mismatch("Неизвестный тип значения");
}

}  // namespace ramulet::win32
