#include "platform/variant.h"

#include <cmath>
#include <limits>

#include "platform/text.h"

namespace ramulet {

Variant Variant::Null() { return Variant(Storage(nullptr)); }
Variant Variant::Int16(int16_t v) { return Variant(Storage(v)); }
Variant Variant::Int32(int32_t v) { return Variant(Storage(v)); }
Variant Variant::Single(float v) { return Variant(Storage(v)); }
Variant Variant::Double(double v) { return Variant(Storage(v)); }
Variant Variant::Bool(bool v) { return Variant(Storage(v)); }
Variant Variant::Text(std::u16string v) { return Variant(Storage(std::move(v))); }
Variant Variant::Array(VariantArray items) {
  return Variant(Storage(std::make_shared<const VariantArray>(std::move(items))));
}
Variant Variant::Object(std::shared_ptr<ramulet::Object> object) {
  return Variant(Storage(std::move(object)));
}

Variant::Type Variant::type() const {
  static constexpr Type kByIndex[] = {Type::Empty,  Type::Null,   Type::Int16, Type::Int32, Type::Single,
                                      Type::Double, Type::Bool,   Type::Text,  Type::Array, Type::Object};
  return kByIndex[value_.index()];
}

bool Variant::IsNumeric() const {
  switch (type()) {
    case Type::Empty:
    case Type::Int16:
    case Type::Int32:
    case Type::Single:
    case Type::Double:
    case Type::Bool:
      return true;
    default:
      return false;
  }
}

std::optional<int16_t> Variant::AsInt16() const {
  if (auto* v = std::get_if<int16_t>(&value_)) return *v;
  return std::nullopt;
}

std::optional<int32_t> Variant::AsInt32() const {
  if (auto* v = std::get_if<int32_t>(&value_)) return *v;
  return std::nullopt;
}

std::optional<bool> Variant::AsBool() const {
  if (auto* v = std::get_if<bool>(&value_)) return *v;
  return std::nullopt;
}

const std::u16string* Variant::AsText() const { return std::get_if<std::u16string>(&value_); }

const VariantArray* Variant::AsArray() const {
  auto* v = std::get_if<std::shared_ptr<const VariantArray>>(&value_);
  return v ? v->get() : nullptr;
}

std::shared_ptr<Object> Variant::AsObject() const {
  if (auto* v = std::get_if<std::shared_ptr<ramulet::Object>>(&value_)) return *v;
  return nullptr;
}

size_t Variant::ArraySize() const {
  const VariantArray* items = AsArray();
  return items ? items->size() : 0;
}

std::optional<double> Variant::ToNumber() const {
  switch (type()) {
    case Type::Empty:
      return 0.0;
    case Type::Int16:
      return *std::get_if<int16_t>(&value_);
    case Type::Int32:
      return *std::get_if<int32_t>(&value_);
    case Type::Single:
      return *std::get_if<float>(&value_);
    case Type::Double:
      return *std::get_if<double>(&value_);
    case Type::Bool:
      return *std::get_if<bool>(&value_) ? -1.0 : 0.0;
    case Type::Text:
      return ParseNumber(*AsText());
    default:
      return std::nullopt;
  }
}

std::optional<int32_t> Variant::ToInt32() const {
  std::optional<double> number = ToNumber();
  if (!number || !std::isfinite(*number)) return std::nullopt;
  double rounded = std::nearbyint(*number);  // default rounding mode: half to even
  if (rounded < std::numeric_limits<int32_t>::min() || rounded > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(rounded);
}

bool Variant::EqualsText(std::u16string_view text) const {
  if (IsEmpty()) return text.empty();
  const std::u16string* mine = AsText();
  return mine != nullptr && *mine == text;
}

bool Variant::EqualsNumber(double number) const {
  if (type() == Type::Text || !IsNumeric()) return false;
  std::optional<double> mine = ToNumber();
  return mine && *mine == number;
}

bool Variant::Equals(const Variant& other) const {
  if (const std::u16string* text = other.AsText()) return EqualsText(*text);
  if (other.IsEmpty() && AsText() != nullptr) return AsText()->empty();
  if (IsNumeric() && other.IsNumeric()) return *ToNumber() == *other.ToNumber();
  if (type() == Type::Object && other.type() == Type::Object) return AsObject() == other.AsObject();
  return false;
}

}  // namespace ramulet
