#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/name_index.h"

namespace ramulet {

class Configuration;

// A module and one of its methods.
struct MethodRef {
  int32_t module = -1;
  int32_t method = -1;
};

// The look-ups of the resolution, built once per configuration: common
// modules by name, the exports of global modules by name, manager modules
// by collection and object. Names are looked up folded (upper case).
class ResolveTables {
 public:
  explicit ResolveTables(const Configuration& configuration);

  // The common module named `folded` (N of CommonModule.N), -1 when none.
  int32_t CommonModule(std::u16string_view folded) const;
  // The exported methods of global modules named `folded`, in module order.
  std::span<const MethodRef> GlobalExports(std::u16string_view folded) const;
  // The manager module of object `folded_object` of collection `collection`.
  int32_t ManagerModule(int collection, std::u16string_view folded_object) const;

 private:
  void IndexCommonAndManagers(const Configuration& configuration);
  void IndexGlobalExports(const Configuration& configuration);

  NameIndex common_;
  std::vector<int32_t> common_modules_;
  NameIndex managers_;  // the collection's number as a unit, then the object
  std::vector<int32_t> manager_modules_;
  NameIndex export_names_;
  std::vector<uint32_t> export_begin_;  // name n's exports: exports_[begin[n], begin[n + 1])
  std::vector<MethodRef> exports_;
};

// `text` (UTF-8) folded as the language's identifiers are.
std::u16string FoldUtf8(std::string_view text);

}  // namespace ramulet
