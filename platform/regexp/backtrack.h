#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/regexp/program.h"

namespace ramulet {

// Finds the leftmost-first match at a known start, with its groups, by
// backtracking over the program in priority order. Every (instruction,
// position) pair is tried at most once: a second visit could only repeat
// a search that already failed. So the work is bounded by program size
// times window length, and so is the bitmap of visited pairs; windows
// whose bitmap would be too large are left to the Pike VM.
class Backtracker {
 public:
  explicit Backtracker(const Program& program) : program_(program) {}

  bool Fits(size_t window_length) const;
  // Matches at `begin`, reading no further than `end`. On success `slots`
  // holds the capture positions (Program::slot_count() of them; npos for a
  // group that took no part).
  bool Match(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots);

 private:
  struct Job {
    uint32_t id;  // instruction to try, or slot to restore
    bool restore;
    size_t value;  // position to try at, or value to restore
  };

  bool Run(std::u16string_view text, uint32_t id, size_t p, std::vector<size_t>& slots);
  bool FirstVisit(uint32_t id, size_t p);

  const Program& program_;
  size_t begin_ = 0;
  size_t end_ = 0;
  size_t width_ = 0;
  std::vector<uint64_t> visited_;
  std::vector<Job> jobs_;
};

}  // namespace ramulet
