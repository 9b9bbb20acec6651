#include "analysis/method_tables.h"

namespace ramulet {

void MethodTables::IndexNames() { name_index_.Assign(MethName); }

int32_t MethodTables::NomMet(const Variant& name) const {
  if (name.IsEmpty()) return NomMet(std::u16string_view());
  const std::u16string* text = name.AsText();
  return text ? NomMet(std::u16string_view(*text)) : -1;
}

}  // namespace ramulet
