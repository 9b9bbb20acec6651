#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/regexp_backtrack.h"
#include "platform/regexp_dfa.h"
#include "platform/regexp_onepass.h"
#include "platform/regexp_pike.h"
#include "platform/regexp_prefilter.h"
#include "platform/regexp_program.h"
#include "platform/regexp_unit_classes.h"
#include "platform/status.h"

namespace ramulet {

// A pattern compiled for one case setting, with the scratch space of its
// searches. A search runs in three steps, each linear in the text: the
// forward automaton finds where the leftmost-first match ends (and rejects
// a text without a match in one pass), the backward automaton finds where
// it starts, and only then that stretch is walked once more for the groups:
// by the one-pass table when the pattern allows, else by the backtracker
// (or, for long matches, the Pike VM). Two shortcuts: a text without any of
// the units every match needs is rejected at once, and a pattern anchored
// at the start whose table is one-pass is matched by the table alone.
class CompiledPattern {
 public:
  static Status Compile(std::u16string_view pattern, bool ignore_case, std::unique_ptr<CompiledPattern>& compiled);
  ~CompiledPattern();
  CompiledPattern(const CompiledPattern&) = delete;
  CompiledPattern& operator=(const CompiledPattern&) = delete;

  int group_count() const { return forward_.group_count; }

  // The leftmost-first match that begins at or after `from`. When found,
  // `slots` holds the bounds of group k at 2k and 2k + 1 (group 0 being the
  // whole match), npos for a group that took no part.
  Status Search(std::u16string_view text, size_t from, std::vector<size_t>& slots, bool& found);
  // Whether there is a match anywhere in the text.
  bool Matches(std::u16string_view text);

 private:
  CompiledPattern() = default;
  bool MatchGroups(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots);

  Program forward_;
  Program reverse_;
  bool anchored_ = false;
  Prefilter prefilter_;
  std::unique_ptr<UnitClasses> classes_;
  std::unique_ptr<Dfa> forward_dfa_;
  std::unique_ptr<Dfa> reverse_dfa_;
  std::unique_ptr<OnePass> one_pass_;  // null when the pattern is not one-pass
  std::unique_ptr<Backtracker> backtracker_;
  std::unique_ptr<PikeVm> pike_;  // made on first use
  std::vector<size_t> scratch_;
};

}  // namespace ramulet
