#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/object.h"
#include "platform/status.h"
#include "platform/variant.h"

namespace ramulet {

// A keyed collection with the operations of an automation dictionary:
// text keys compare exactly (letter case included), numeric keys by value,
// object keys by identity. Keys and items keep insertion order.
class Dictionary : public Object {
 public:
  // Fails with kDuplicateKey when the key exists, kInvalidArgument for a key
  // that is neither text, number nor object.
  Status Add(const Variant& key, const Variant& item);
  bool Exists(const Variant& key) const;
  bool ExistsText(std::u16string_view key) const;
  // The item of an existing key; nullptr when the key is absent.
  const Variant* Find(const Variant& key) const;
  size_t Count() const { return keys_.size(); }
  const std::vector<Variant>& KeyList() const { return keys_; }
  const std::vector<Variant>& ItemList() const { return items_; }
  // Keys and Items as the automation object hands them out: 0-based arrays.
  Variant Keys() const { return Variant::Array(keys_); }
  Variant Items() const { return Variant::Array(items_); }

 private:
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>()(s); }
  };
  using TextIndex = std::unordered_map<std::u16string, size_t, TextHash, std::equal_to<>>;

  std::vector<Variant> keys_;
  std::vector<Variant> items_;
  TextIndex text_index_;
  std::unordered_map<double, size_t> number_index_;
  std::unordered_map<const Object*, size_t> object_index_;
};

}  // namespace ramulet
