#include "platform/regexp_prefilter.h"

#include <optional>

namespace ramulet {

namespace {

using Kind = SyntaxNode::Kind;

// Larger sets are not worth a separate pass over the text.
constexpr size_t kMaxUnits = 4;

size_t UnitCount(const UnitSet& set) {
  size_t count = 0;
  for (const UnitSet::Range& r : set.ranges()) count += size_t{r.hi} - r.lo + 1;
  return count;
}

// A set of units of which every match of `node` contains one, preferring
// small sets; nullopt when there is none.
std::optional<UnitSet> Required(const SyntaxNode& node) {
  switch (node.kind) {
    case Kind::kUnits:
      return node.units;
    case Kind::kConcat: {
      std::optional<UnitSet> best;
      for (const SyntaxNode& item : node.children) {
        std::optional<UnitSet> set = Required(item);
        if (set && (!best || UnitCount(*set) < UnitCount(*best))) best = std::move(set);
      }
      return best;
    }
    case Kind::kAlternate: {
      UnitSet all;
      for (const SyntaxNode& branch : node.children) {
        std::optional<UnitSet> set = Required(branch);
        if (!set) return std::nullopt;
        all.Add(*set);
      }
      return all;
    }
    case Kind::kRepeat:
      if (!node.at_least_once) return std::nullopt;
      return Required(node.children.front());
    case Kind::kCapture:
      return Required(node.children.front());
    default:
      return std::nullopt;
  }
}

// Looks at blocks of units without an early exit inside a block, which the
// compiler can vectorise.
template <size_t kCount>
bool HoldsAny(std::u16string_view text, const char16_t* units) {
  constexpr size_t kBlock = 16;
  size_t i = 0;
  for (; i + kBlock <= text.size(); i += kBlock) {
    bool any = false;
    for (size_t j = 0; j < kBlock; ++j) {
      for (size_t k = 0; k < kCount; ++k) any |= text[i + j] == units[k];
    }
    if (any) return true;
  }
  for (; i < text.size(); ++i) {
    for (size_t k = 0; k < kCount; ++k) {
      if (text[i] == units[k]) return true;
    }
  }
  return false;
}

}  // namespace

Prefilter Prefilter::For(const SyntaxNode& root) {
  Prefilter prefilter;
  std::optional<UnitSet> set = Required(root);
  if (!set || set->empty() || UnitCount(*set) > kMaxUnits) return prefilter;
  for (const UnitSet::Range& r : set->ranges()) {
    for (uint32_t unit = r.lo; unit <= r.hi; ++unit) prefilter.units_.push_back(static_cast<char16_t>(unit));
  }
  return prefilter;
}

bool Prefilter::MayMatch(std::u16string_view text) const {
  switch (units_.size()) {
    case 0: return true;
    case 1: return HoldsAny<1>(text, units_.data());
    case 2: return HoldsAny<2>(text, units_.data());
    case 3: return HoldsAny<3>(text, units_.data());
    default: return HoldsAny<kMaxUnits>(text, units_.data());
  }
}

}  // namespace ramulet
