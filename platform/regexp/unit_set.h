#pragma once

#include <cstddef>
#include <vector>

namespace ramulet {

// A set of UTF-16 code units, kept as sorted, disjoint, non-adjacent ranges.
class UnitSet {
 public:
  struct Range {
    char16_t lo;
    char16_t hi;
    bool operator==(const Range&) const = default;
  };

  static UnitSet All();
  static UnitSet Spaces();  // space, tab, LF, CR, VT, FF
  static UnitSet Word();    // ASCII letters, digits and underscore
  static UnitSet Digits();  // ASCII digits

  void Add(char16_t lo, char16_t hi);
  void Add(char16_t unit) { Add(unit, unit); }
  void Add(const UnitSet& other);
  UnitSet Complement() const;

  bool Contains(char16_t unit) const;
  bool empty() const { return ranges_.empty(); }
  const std::vector<Range>& ranges() const { return ranges_; }
  size_t Hash() const;
  bool operator==(const UnitSet&) const = default;

 private:
  std::vector<Range> ranges_;
};

struct UnitSetHash {
  size_t operator()(const UnitSet& set) const { return set.Hash(); }
};

// The units equal to `unit` when letter case is ignored: every c with
// ToLower(c) == ToLower(unit) or ToUpper(c) == ToUpper(unit).
UnitSet CaselessUnit(char16_t unit);
// The units a class matches when letter case is ignored: every c such that
// c, ToUpper(c) or ToLower(c) is in `set`.
UnitSet CaselessClass(const UnitSet& set);

}  // namespace ramulet
