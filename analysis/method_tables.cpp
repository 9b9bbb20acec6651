#include "analysis/method_tables.h"

namespace ramulet {

void MethodTables::IndexNames() {
  name_index_.clear();
  name_index_.reserve(MethName.size());
  for (size_t i = 0; i < MethName.size(); ++i) {
    name_index_[MethName[i]] = static_cast<int32_t>(i);  // last equal name wins
  }
}

int32_t MethodTables::NomMet(std::u16string_view name) const {
  auto it = name_index_.find(name);
  return it == name_index_.end() ? -1 : it->second;
}

int32_t MethodTables::NomMet(const Variant& name) const {
  if (name.IsEmpty()) return NomMet(std::u16string_view());
  const std::u16string* text = name.AsText();
  return text ? NomMet(std::u16string_view(*text)) : -1;
}

}  // namespace ramulet
