#include "analysis/name_index.h"

#include <cstring>

namespace ramulet {

uint64_t NameIndex::Hash(std::u16string_view name) {
  // Four units a step, mixed by a multiplication: names are a few dozen
  // units long, so the hash costs a handful of steps.
  uint64_t hash = 0x9E3779B97F4A7C15ull ^ name.size();
  size_t i = 0;
  for (; i + 4 <= name.size(); i += 4) {
    uint64_t word;
    std::memcpy(&word, name.data() + i, sizeof word);
    hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 29;
  }
  for (; i < name.size(); ++i) hash = (hash ^ name[i]) * 0xC4CEB9FE1A85EC53ull;
  return hash ^ (hash >> 32);
}

size_t NameIndex::FilterBit(std::u16string_view name) {
  if (name.empty()) return 0;
  return (name.size() * 131 + size_t{name.front()} * 31 + name.back()) % kFilterBits;
}

void NameIndex::Assign(const std::vector<std::u16string>& names) {
  Assign(names.size(), [&names](size_t n) { return std::u16string_view(names[n]); });
}

void NameIndex::Reset(size_t count) {
  filter_.fill(0);
  text_.clear();
  count_ = 0;
  size_t capacity = 16;
  while (capacity < count * 2) capacity *= 2;
  slots_.assign(capacity, Slot());
}

void NameIndex::Add(std::u16string_view name, int32_t number) {
  const size_t capacity = slots_.size();
  const size_t bit = FilterBit(name);
  filter_[bit / 64] |= uint64_t{1} << (bit % 64);
  const uint64_t hash = Hash(name);
  for (size_t s = hash & (capacity - 1);; s = (s + 1) & (capacity - 1)) {
    Slot& slot = slots_[s];
    if (slot.number >= 0 && (slot.hash != static_cast<uint32_t>(hash) || NameAt(slot) != name)) continue;
    if (slot.number < 0) {
      slot = Slot{static_cast<uint32_t>(hash), 0, text_.size(), name.size()};
      text_ += name;
      ++count_;
    }
    slot.number = number;
    return;
  }
}

int32_t NameIndex::Insert(std::u16string_view name, int32_t number) {
  const int32_t found = Find(name);
  if (found >= 0) return found;
  if (slots_.empty() || (count_ + 1) * 2 > slots_.size()) Grow();
  Add(name, number);
  return -1;
}

// Twice the slots, every name placed again: its text stays where it is.
void NameIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot());
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.number < 0) continue;
    size_t s = Hash(NameAt(slot)) & mask;
    while (slots_[s].number >= 0) s = (s + 1) & mask;
    slots_[s] = slot;
  }
}

int32_t NameIndex::Find(std::u16string_view name) const {
  const size_t bit = FilterBit(name);
  if (((filter_[bit / 64] >> (bit % 64)) & 1) == 0 || slots_.empty()) return -1;
  const uint64_t hash = Hash(name);
  const size_t mask = slots_.size() - 1;
  for (size_t s = hash & mask;; s = (s + 1) & mask) {
    const Slot& slot = slots_[s];
    if (slot.number < 0) return -1;
    if (slot.hash == static_cast<uint32_t>(hash) && slot.length == name.size() && NameAt(slot) == name) {
      return slot.number;
    }
  }
}

}  // namespace ramulet
