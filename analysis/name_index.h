#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

// Method names to their numbers, for the look-ups of the call pass: one per
// name before a "(" in the module, most of them names of no method (calls
// of built-in functions). The names are copied into one block and found by
// open addressing, so a look-up touches a filter word, a slot and the name,
// and nothing is allocated per name.
class NameIndex {
 public:
  // Replaces the index with `names`; an equal name later in the list wins.
  void Assign(const std::vector<std::u16string>& names);
  // The same with the name of item n given by `name_at(n)`, n < count.
  template <typename NameAt>
  void Assign(size_t count, NameAt name_at) {
    Reset(count);
    for (size_t n = 0; n < count; ++n) Add(name_at(n), static_cast<int32_t>(n));
  }
  // The number of `name`, -1 when it is not indexed.
  int32_t Find(std::u16string_view name) const;
  // Adds `name` as `number` unless it is indexed already; returns the number
  // it had then, or -1 when it was added. The index grows as needed.
  int32_t Insert(std::u16string_view name, int32_t number);

 private:
  struct Slot {
    uint32_t hash = 0;
    int32_t number = -1;  // -1: the slot is free
    size_t offset = 0;  // where the name starts in text_
    size_t length = 0;
  };

  void Reset(size_t count);
  void Grow();
  size_t count_ = 0;  // names indexed
  void Add(std::u16string_view name, int32_t number);
  static uint64_t Hash(std::u16string_view name);
  // One bit per indexed name, chosen by its length and its first and last
  // units: a clear bit says "not indexed" before any hashing.
  static size_t FilterBit(std::u16string_view name);
  std::u16string_view NameAt(const Slot& slot) const { return std::u16string_view(text_).substr(slot.offset, slot.length); }

  static constexpr size_t kFilterBits = 4096;
  std::array<uint64_t, kFilterBits / 64> filter_{};
  std::vector<Slot> slots_;  // a power of two in size, at most half full
  std::u16string text_;
};

}  // namespace ramulet
