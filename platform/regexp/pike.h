#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/regexp/program.h"
#include "platform/regexp/sparse_set.h"

namespace ramulet {

// Finds the leftmost-first match at a known start, with its groups, by
// running all threads of the program side by side in priority order, one
// text position at a time. Time is program size times window length and
// memory is independent of the text, so it takes the windows too large for
// the backtracker.
class PikeVm {
 public:
  explicit PikeVm(const Program& program);

  // Same contract as Backtracker::Match.
  bool Match(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots);

 private:
  struct Threads {
    SparseSet seen;                // every instruction reached at this position
    std::vector<uint32_t> ids;     // those that read a unit or match, in priority order
    std::vector<size_t> slots;     // slot_count() per entry of `ids`; grows on demand
    void clear() {
      seen.clear();
      ids.clear();
    }
  };
  struct Entry {
    uint32_t id;  // instruction to add, or slot to restore
    bool restore;
    size_t value;  // value to restore
  };

  void Add(Threads& threads, uint32_t id, size_t p, std::u16string_view text);
  // Advances every thread over text[p]; returns whether a match ends at p.
  bool Step(std::u16string_view text, size_t p, size_t end, std::vector<size_t>& slots);

  const Program& program_;
  const size_t slot_count_;
  Threads current_;
  Threads next_;
  std::vector<size_t> scratch_;
  std::vector<Entry> stack_;
};

}  // namespace ramulet
