#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/object.h"

namespace ramulet {

class Variant;
using VariantArray = std::vector<Variant>;

// A dynamically typed value, the stand-in for an automation VARIANT.
// Arrays have value semantics (shared, immutable storage); objects are
// shared references.
class Variant {
 public:
  enum class Type { Empty, Null, Int16, Int32, Single, Double, Bool, Text, Array, Object };

  Variant() = default;
  static Variant Null();
  static Variant Int16(int16_t v);
  static Variant Int32(int32_t v);
  static Variant Single(float v);
  static Variant Double(double v);
  static Variant Bool(bool v);
  static Variant Text(std::u16string v);
  static Variant Array(VariantArray items);
  static Variant Object(std::shared_ptr<ramulet::Object> object);

  Type type() const;
  bool IsEmpty() const { return type() == Type::Empty; }
  bool IsNumeric() const;  // Empty, Int16, Int32, Single, Double, Bool

  // Typed access; each returns nullopt/null when the value has another type.
  std::optional<int16_t> AsInt16() const;
  std::optional<int32_t> AsInt32() const;
  std::optional<bool> AsBool() const;
  const std::u16string* AsText() const;
  const VariantArray* AsArray() const;  // null unless Type::Array
  std::shared_ptr<ramulet::Object> AsObject() const;
  template <class T>
  std::shared_ptr<T> AsObjectOf() const {
    return std::dynamic_pointer_cast<T>(AsObject());
  }

  // Numeric reading as automation does it: Empty reads 0, Boolean True -1,
  // a text that holds a number reads that number. nullopt when impossible.
  std::optional<double> ToNumber() const;
  // Whole-number reading (rounded half to even, as automation converts),
  // nullopt when not numeric or outside 32 bits.
  std::optional<int32_t> ToInt32() const;

  // The element count of an array, 0 for anything else.
  size_t ArraySize() const;

  // Automation's "=" for the cases the panel uses: numbers compare by value
  // (Empty as 0), texts exactly (Empty as ""), a number never equals a text.
  bool Equals(const Variant& other) const;
  bool EqualsText(std::u16string_view text) const;
  bool EqualsNumber(double number) const;

 private:
  using Storage = std::variant<std::monostate, std::nullptr_t, int16_t, int32_t, float, double, bool,
                               std::u16string, std::shared_ptr<const VariantArray>,
                               std::shared_ptr<ramulet::Object>>;
  explicit Variant(Storage s) : value_(std::move(s)) {}
  Storage value_;
};

}  // namespace ramulet
