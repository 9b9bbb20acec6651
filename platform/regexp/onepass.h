#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/regexp/program.h"
#include "platform/regexp/unit_classes.h"

namespace ramulet {

// Finds the groups of a match whose bounds are known, in one table-driven
// walk, for "one-pass" programs: those in which, at every point of a match,
// the next unit leaves at most one way to go on. A node is a place in the
// program after a unit was read; its table row gives, per unit class, the
// next node and the capture slots that take the current position before
// the unit is read.
class OnePass {
 public:
  // The matcher, or nullptr when the program is not one-pass (or its table
  // would be too large).
  static std::unique_ptr<OnePass> Build(const Program& program, const UnitClasses& classes);

  // Walks text[begin, end) and fills `slots` as Backtracker::Match does.
  // `end` must be where the leftmost-first match from `begin` ends.
  bool Match(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots) const;
  // Finds the leftmost-first match that starts at `begin` by itself, in one
  // walk; `scratch` keeps the groups of the path being tried.
  bool Find(std::u16string_view text, size_t begin, std::vector<size_t>& slots, std::vector<size_t>& scratch) const;

 private:
  static constexpr uint32_t kNoNode = UINT32_MAX;
  struct Step {
    uint32_t next = kNoNode;
    uint32_t next_row = 0;  // where the row of `next` begins in steps_
    uint64_t saves = 0;     // bit i: slot i takes the position
  };
  struct Node {
    bool matches = false;
    uint64_t match_saves = 0;
  };
  class Builder;

  OnePass(const UnitClasses& classes, size_t slot_count) : classes_(classes), slot_count_(slot_count) {}
  static void Save(uint64_t saves, size_t position, std::vector<size_t>& slots);

  const UnitClasses& classes_;
  const size_t slot_count_;
  std::vector<Node> nodes_;
  std::vector<Step> steps_;  // nodes_.size() rows of classes_.count() steps
  uint32_t starts_[2] = {kNoNode, kNoNode};  // match starting elsewhere, at position 0
};

}  // namespace ramulet
