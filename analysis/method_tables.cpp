#include "analysis/method_tables.h"

namespace ramulet {

size_t MethodTables::FilterBit(std::u16string_view name) {
  if (name.empty()) return 0;
  return (name.size() * 131 + size_t{name.front()} * 31 + name.back()) % kFilterBits;
}

void MethodTables::IndexNames() {
  name_index_.clear();
  name_index_.reserve(MethName.size());
  name_filter_.fill(0);
  for (size_t i = 0; i < MethName.size(); ++i) {
    name_index_[MethName[i]] = static_cast<int32_t>(i);  // last equal name wins
    const size_t bit = FilterBit(MethName[i]);
    name_filter_[bit / 64] |= uint64_t{1} << (bit % 64);
  }
}

int32_t MethodTables::NomMet(std::u16string_view name) const {
  const size_t bit = FilterBit(name);
  if (((name_filter_[bit / 64] >> (bit % 64)) & 1) == 0) return -1;
  auto it = name_index_.find(name);
  return it == name_index_.end() ? -1 : it->second;
}

int32_t MethodTables::NomMet(const Variant& name) const {
  if (name.IsEmpty()) return NomMet(std::u16string_view());
  const std::u16string* text = name.AsText();
  return text ? NomMet(std::u16string_view(*text)) : -1;
}

}  // namespace ramulet
