#include "platform/regexp_unit_classes.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>

namespace ramulet {

namespace {

constexpr uint32_t kUnitCount = 0x10000;
constexpr uint32_t kBlockSize = 256;
constexpr uint32_t kUnassigned = std::numeric_limits<uint32_t>::max();

// Where some set starts or stops: the units between two neighbouring
// boundaries are in exactly the same sets.
std::vector<uint32_t> Boundaries(const std::vector<UnitSet>& sets) {
  std::vector<uint32_t> boundaries = {0, kUnitCount};
  for (const UnitSet& set : sets) {
    for (const UnitSet::Range& r : set.ranges()) {
      boundaries.push_back(r.lo);
      boundaries.push_back(uint32_t{r.hi} + 1);
    }
  }
  std::sort(boundaries.begin(), boundaries.end());
  boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());
  return boundaries;
}

// Colours the intervals between boundaries so that two intervals share a
// colour exactly when they lie in the same sets: each set splits every
// colour it touches into the part inside it and the rest.
std::vector<uint32_t> ColourIntervals(const std::vector<UnitSet>& sets, const std::vector<uint32_t>& boundaries) {
  std::vector<uint32_t> colour(boundaries.size() - 1, 0);
  std::vector<uint32_t> remap(1, kUnassigned);
  std::vector<uint32_t> touched;
  for (const UnitSet& set : sets) {
    for (const UnitSet::Range& r : set.ranges()) {
      size_t i = std::lower_bound(boundaries.begin(), boundaries.end(), uint32_t{r.lo}) - boundaries.begin();
      for (; i + 1 < boundaries.size() && boundaries[i] <= r.hi; ++i) {
        uint32_t old = colour[i];
        if (remap[old] == kUnassigned) {
          remap[old] = static_cast<uint32_t>(remap.size());
          remap.push_back(kUnassigned);
          touched.push_back(old);
        }
        colour[i] = remap[old];
      }
    }
    for (uint32_t old : touched) remap[old] = kUnassigned;
    touched.clear();
  }
  return colour;
}

}  // namespace

UnitClasses::UnitClasses(const std::vector<UnitSet>& sets) {
  const std::vector<uint32_t> boundaries = Boundaries(sets);
  std::vector<uint32_t> colours = ColourIntervals(sets, boundaries);
  // Renumber the colours densely, in order of first appearance.
  std::vector<uint32_t> dense(*std::max_element(colours.begin(), colours.end()) + 1, kUnassigned);
  for (size_t i = 0; i < colours.size(); ++i) {
    uint32_t& id = dense[colours[i]];
    if (id == kUnassigned) {
      id = count();
      representatives_.push_back(static_cast<char16_t>(boundaries[i]));
    }
    colours[i] = id;
  }
  FillTable(boundaries, colours);
}

void UnitClasses::FillTable(const std::vector<uint32_t>& boundaries, const std::vector<uint32_t>& classes) {
  std::vector<uint16_t> flat(kUnitCount);
  for (size_t i = 0; i + 1 < boundaries.size(); ++i) {
    std::fill(flat.begin() + boundaries[i], flat.begin() + boundaries[i + 1], static_cast<uint16_t>(classes[i]));
  }
  std::map<std::u16string, uint32_t> known_blocks;
  for (uint32_t block = 0; block < kUnitCount / kBlockSize; ++block) {
    const auto first = flat.begin() + block * kBlockSize;
    std::u16string key(first, first + kBlockSize);
    auto [it, added] = known_blocks.try_emplace(std::move(key), static_cast<uint32_t>(table_.size()));
    if (added) table_.insert(table_.end(), first, first + kBlockSize);
    block_start_[block] = it->second;
  }
}

}  // namespace ramulet
