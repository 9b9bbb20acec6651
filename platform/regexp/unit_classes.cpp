#include "platform/regexp/unit_classes.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

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

// Most blocks lie inside one interval and hold a single class; those share
// one stored block per class. The few mixed blocks are stored once each.
void UnitClasses::FillTable(const std::vector<uint32_t>& boundaries, const std::vector<uint32_t>& classes) {
  std::unordered_map<uint32_t, uint32_t> uniform_blocks;  // class -> offset
  std::vector<uint32_t> mixed_blocks;                     // offsets
  std::vector<uint16_t> block(kBlockSize);
  size_t interval = 0;
  for (uint32_t b = 0; b < kUnitCount / kBlockSize; ++b) {
    const uint32_t first = b * kBlockSize;
    while (boundaries[interval + 1] <= first) ++interval;
    if (boundaries[interval + 1] >= first + kBlockSize) {
      auto [it, added] = uniform_blocks.try_emplace(classes[interval], static_cast<uint32_t>(table_.size()));
      if (added) table_.insert(table_.end(), kBlockSize, static_cast<uint16_t>(classes[interval]));
      block_start_[b] = it->second;
      continue;
    }
    for (uint32_t unit = first, i = interval; unit < first + kBlockSize; ++unit) {
      if (boundaries[i + 1] <= unit) ++i;
      block[unit - first] = static_cast<uint16_t>(classes[i]);
    }
    auto same = std::find_if(mixed_blocks.begin(), mixed_blocks.end(), [&](uint32_t offset) {
      return std::equal(block.begin(), block.end(), table_.begin() + offset);
    });
    if (same == mixed_blocks.end()) {
      mixed_blocks.push_back(static_cast<uint32_t>(table_.size()));
      table_.insert(table_.end(), block.begin(), block.end());
      same = mixed_blocks.end() - 1;
    }
    block_start_[b] = *same;
  }
}

}  // namespace ramulet
