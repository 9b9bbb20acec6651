#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/regexp/unit_set.h"

namespace ramulet {

// A partition of all code units into classes whose members no set of a
// program tells apart, so that an automaton needs one transition per class
// instead of one per unit. Looked up through a two-level table: blocks of
// 256 units that are classified alike share their storage.
class UnitClasses {
 public:
  explicit UnitClasses(const std::vector<UnitSet>& sets);

  // The table as plain pointers, for loops that look up every unit.
  struct Lookup {
    const uint32_t* block_start;
    const uint16_t* table;
    uint32_t Of(char16_t unit) const { return table[block_start[unit >> 8] + (unit & 0xFF)]; }
  };

  uint32_t Of(char16_t unit) const { return table_[block_start_[unit >> 8] + (unit & 0xFF)]; }
  Lookup lookup() const { return Lookup{block_start_.data(), table_.data()}; }
  uint32_t count() const { return static_cast<uint32_t>(representatives_.size()); }
  // One unit of the class, to test the sets with.
  char16_t Representative(uint32_t cls) const { return representatives_[cls]; }

 private:
  void FillTable(const std::vector<uint32_t>& boundaries, const std::vector<uint32_t>& colors);

  std::array<uint32_t, 256> block_start_{};
  std::vector<uint16_t> table_;
  std::vector<char16_t> representatives_;
};

}  // namespace ramulet
