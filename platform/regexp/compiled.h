#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/regexp/backtrack.h"
#include "platform/regexp/dfa.h"
#include "platform/regexp/onepass.h"
#include "platform/regexp/pike.h"
#include "platform/regexp/program.h"
#include "platform/regexp/unit_classes.h"
#include "platform/status.h"

namespace ramulet {

// A pattern compiled for one case setting, with the scratch space of its
// searches. A search runs in three steps, each linear in the text: the
// forward automaton finds where the leftmost-first match ends (and rejects
// a text without a match in one pass), the backward automaton finds where
// it starts, and only then that stretch is walked once more for the groups:
// by the one-pass table when the pattern allows, else by the backtracker
// (or, for long matches, the Pike VM). A pattern anchored at the start
// whose table is one-pass is matched by the table alone. The one-pass table
// and the backtracker earn their place: when the line analysis still ran
// the call pattern, with the Pike VM alone it took 77 ms instead of 16 for
// 100,000 generated lines (BM_LineAnalysis). A prefilter for units every
// match needs and a factoring of common prefixes of alternatives were
// tried and gained nothing measurable on the analysis (with the analysis'
// own line filters, analysis/line_filters.h), so there are none.
class PatternScratch;

// The compiled form is never written after Compile: any number of threads
// may search with one compiled pattern at once, each with its own
// PatternScratch (the lazily built automata and the matchers' work space).
class CompiledPattern {
 public:
  static Status Compile(std::u16string_view pattern, bool ignore_case, std::unique_ptr<CompiledPattern>& compiled);
  ~CompiledPattern();
  CompiledPattern(const CompiledPattern&) = delete;
  CompiledPattern& operator=(const CompiledPattern&) = delete;

  int group_count() const { return forward_.group_count; }

  // The leftmost-first match that begins at or after `from`. When found,
  // `slots` holds the bounds of group k at 2k and 2k + 1 (group 0 being the
  // whole match), npos for a group that took no part. `scratch` must have
  // been made for this pattern and be used by one thread at a time.
  Status Search(std::u16string_view text, size_t from, std::vector<size_t>& slots, bool& found,
                PatternScratch& scratch) const;

 private:
  friend class PatternScratch;
  CompiledPattern() = default;
  bool MatchGroups(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots,
                   PatternScratch& scratch) const;

  Program forward_;
  Program reverse_;
  bool anchored_ = false;
  std::unique_ptr<UnitClasses> classes_;
  std::unique_ptr<OnePass> one_pass_;  // null when the pattern is not one-pass
};

// What searching with one compiled pattern writes: the automata, whose
// states are built as the texts need them, and the matchers' work space.
// Cheap to make; each part is made on first use.
class PatternScratch {
 public:
  explicit PatternScratch(const CompiledPattern& pattern) : pattern_(pattern) {}
  ~PatternScratch();
  PatternScratch(const PatternScratch&) = delete;
  PatternScratch& operator=(const PatternScratch&) = delete;

 private:
  friend class CompiledPattern;
  Dfa& ForwardDfa();
  Dfa& ReverseDfa();
  Backtracker& BacktrackerFor();
  PikeVm& Pike();

  const CompiledPattern& pattern_;
  std::unique_ptr<Dfa> forward_dfa_;
  std::unique_ptr<Dfa> reverse_dfa_;
  std::unique_ptr<Backtracker> backtracker_;
  std::unique_ptr<PikeVm> pike_;
  std::vector<size_t> one_pass_work_;
};

}  // namespace ramulet
