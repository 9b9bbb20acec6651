#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/regexp/program.h"
#include "platform/regexp/sparse_set.h"
#include "platform/regexp/unit_classes.h"

namespace ramulet {

// A deterministic automaton built lazily from a program. A state is the
// ordered list of the program's threads after the text read so far; its
// transition for a class of units is computed on first use and cached, so
// a scan costs a table lookup per unit once the states it needs exist.
// The cache has a memory budget; when it is spent, the cache starts over.
class Dfa {
 public:
  enum class Direction { kForward, kBackward };
  // kLeftmostFirst keeps the threads in priority order and drops those below
  // a match, which makes the last match seen the end of the leftmost-first
  // match. kLongest keeps every thread.
  enum class Semantics { kLeftmostFirst, kLongest };

  Dfa(const Program& program, const UnitClasses& classes, Direction direction, Semantics semantics);
  Dfa(const Dfa&) = delete;
  Dfa& operator=(const Dfa&) = delete;

  static constexpr size_t kNone = static_cast<size_t>(-1);

  // Reads forward from `from`, trying every start position when
  // `unanchored`. Returns where the leftmost-first match ends, or kNone.
  size_t Forward(std::u16string_view text, size_t from, bool unanchored);
  // Reads backward from `end` down to `limit`. Returns the smallest start
  // at or after `limit` of a match that ends at `end`, or kNone.
  size_t Backward(std::u16string_view text, size_t end, size_t limit);

 private:
  // A state is referred to by its entry: the offset of its row in
  // `transitions_` times 4, plus kMatch and kDead flags. 0 in the table is a
  // transition not computed yet.
  using Entry = uint32_t;
  struct State {
    const std::vector<uint32_t>* threads;
    uint8_t flags;
    bool has_pending;  // holds a thread waiting for the pending assertion
  };
  struct ThreadsHash {
    size_t operator()(const std::vector<uint32_t>& threads) const;
  };

  Entry Start(bool unanchored, bool assertion_holds);
  Entry Transition(Entry from, uint32_t cls);
  bool AddThreads(uint32_t id, bool start_assertion_holds);
  Entry Intern(const std::vector<uint32_t>& threads);
  const State& StateOf(Entry entry) const { return states_[(entry >> 2) / classes_.count()]; }
  Entry EntryOf(uint32_t index) const { return (index * classes_.count()) << 2 | states_[index].flags; }
  bool MatchesAt(Entry entry, size_t position, size_t text_size);
  void Reset();

  const Program& program_;
  const UnitClasses& classes_;
  // The assertion decided when a scan ends (the other one, decided when it
  // starts, is resolved while the start state is built).
  const InstOp pending_assertion_;
  const Semantics semantics_;

  std::unordered_map<std::vector<uint32_t>, uint32_t, ThreadsHash> index_of_;
  std::vector<State> states_;  // state 0 is the dead state
  std::vector<Entry> transitions_;
  Entry starts_[2][2] = {};
  size_t memory_used_ = 0;

  // Scratch space of the state construction.
  SparseSet visited_;
  std::vector<uint32_t> stack_;
  std::vector<uint32_t> threads_;
  std::vector<uint32_t> saved_;
};

}  // namespace ramulet
