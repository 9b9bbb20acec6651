#include "platform/regexp/unit_set.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "platform/text.h"

namespace ramulet {

namespace {

constexpr char16_t kMaxUnit = 0xFFFF;

// The units whose upper or lower case differs from themselves. Any other
// unit folds only onto itself.
const std::vector<char16_t>& CasedUnits() {
  static const std::vector<char16_t> units = [] {
    std::vector<char16_t> found;
    for (unsigned c = 0; c <= kMaxUnit; ++c) {
      char16_t unit = static_cast<char16_t>(c);
      if (ToUpper(unit) != unit || ToLower(unit) != unit) found.push_back(unit);
    }
    return found;
  }();
  return units;
}

// The cased units grouped by their lower and by their upper case.
struct CaseBuckets {
  std::unordered_map<char16_t, std::vector<char16_t>> by_lower;
  std::unordered_map<char16_t, std::vector<char16_t>> by_upper;
};

const CaseBuckets& Buckets() {
  static const CaseBuckets buckets = [] {
    CaseBuckets made;
    for (char16_t cased : CasedUnits()) {
      made.by_lower[ToLower(cased)].push_back(cased);
      made.by_upper[ToUpper(cased)].push_back(cased);
    }
    return made;
  }();
  return buckets;
}

}  // namespace

UnitSet UnitSet::All() {
  UnitSet set;
  set.Add(0, kMaxUnit);
  return set;
}

UnitSet UnitSet::Spaces() {
  UnitSet set;
  set.Add(u'\t', u'\r');  // tab, LF, VT, FF, CR
  set.Add(u' ');
  return set;
}

UnitSet UnitSet::Word() {
  UnitSet set = Digits();
  set.Add(u'A', u'Z');
  set.Add(u'_');
  set.Add(u'a', u'z');
  return set;
}

UnitSet UnitSet::Digits() {
  UnitSet set;
  set.Add(u'0', u'9');
  return set;
}

void UnitSet::Add(char16_t lo, char16_t hi) {
  if (lo > hi) return;
  // Ranges that overlap or touch [lo, hi] are merged into it.
  auto first = std::find_if(ranges_.begin(), ranges_.end(),
                            [lo](const Range& r) { return int{r.hi} + 1 >= int{lo}; });
  auto last = first;
  while (last != ranges_.end() && int{last->lo} <= int{hi} + 1) {
    lo = std::min(lo, last->lo);
    hi = std::max(hi, last->hi);
    ++last;
  }
  first = ranges_.erase(first, last);
  ranges_.insert(first, Range{lo, hi});
}

void UnitSet::Add(const UnitSet& other) {
  for (const Range& r : other.ranges_) Add(r.lo, r.hi);
}

UnitSet UnitSet::Complement() const {
  UnitSet result;
  int next = 0;
  for (const Range& r : ranges_) {
    if (r.lo > next) result.ranges_.push_back(Range{static_cast<char16_t>(next), static_cast<char16_t>(r.lo - 1)});
    next = int{r.hi} + 1;
  }
  if (next <= kMaxUnit) result.ranges_.push_back(Range{static_cast<char16_t>(next), kMaxUnit});
  return result;
}

bool UnitSet::Contains(char16_t unit) const {
  auto it = std::lower_bound(ranges_.begin(), ranges_.end(), unit,
                             [](const Range& r, char16_t u) { return r.hi < u; });
  return it != ranges_.end() && it->lo <= unit;
}

size_t UnitSet::Hash() const {
  size_t hash = ranges_.size();
  for (const Range& r : ranges_) {
    hash = hash * 1000003u ^ (size_t{r.lo} << 16 | r.hi);
  }
  return std::hash<size_t>()(hash);
}

UnitSet CaselessUnit(char16_t unit) {
  const char16_t lower = ToLower(unit);
  const char16_t upper = ToUpper(unit);
  UnitSet set;
  // Any other unit c with ToLower(c) == lower or ToUpper(c) == upper is a
  // cased unit, found in the buckets; the rest can only be these three.
  for (char16_t candidate : {unit, lower, upper}) {
    if (ToLower(candidate) == lower || ToUpper(candidate) == upper) set.Add(candidate);
  }
  const CaseBuckets& buckets = Buckets();
  for (const auto* bucket : {&buckets.by_lower, &buckets.by_upper}) {
    auto found = bucket->find(bucket == &buckets.by_lower ? lower : upper);
    if (found == bucket->end()) continue;
    for (char16_t partner : found->second) set.Add(partner);
  }
  return set;
}

UnitSet CaselessClass(const UnitSet& set) {
  UnitSet result = set;
  for (char16_t cased : CasedUnits()) {
    if (set.Contains(ToUpper(cased)) || set.Contains(ToLower(cased))) result.Add(cased);
  }
  return result;
}

}  // namespace ramulet
