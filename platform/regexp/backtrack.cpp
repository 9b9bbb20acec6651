#include "platform/regexp/backtrack.h"

#include <string>

namespace ramulet {

namespace {

// Largest visited bitmap, in bits (256 KB).
constexpr size_t kMaxVisitedBits = size_t{256} * 1024 * 8;

}  // namespace

bool Backtracker::Fits(size_t window_length) const {
  return program_.insts.size() * (window_length + 1) <= kMaxVisitedBits;
}

bool Backtracker::Match(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots) {
  begin_ = begin;
  end_ = end;
  width_ = end - begin + 1;
  visited_.assign((program_.insts.size() * width_ + 63) / 64, 0);
  slots.assign(program_.slot_count(), std::u16string_view::npos);
  jobs_.clear();
  jobs_.push_back(Job{program_.start, false, begin});
  while (!jobs_.empty()) {
    const Job job = jobs_.back();
    jobs_.pop_back();
    if (job.restore) {
      slots[job.id] = job.value;
    } else if (Run(text, job.id, job.value, slots)) {
      return true;
    }
  }
  return false;
}

bool Backtracker::FirstVisit(uint32_t id, size_t p) {
  const size_t bit = id * width_ + (p - begin_);
  uint64_t& word = visited_[bit / 64];
  const uint64_t mask = uint64_t{1} << (bit % 64);
  if (word & mask) return false;
  word |= mask;
  return true;
}

// Follows one path, leaving the branches not taken on the job stack.
bool Backtracker::Run(std::u16string_view text, uint32_t id, size_t p, std::vector<size_t>& slots) {
  for (;;) {
    if (!FirstVisit(id, p)) return false;
    const Inst& inst = program_.insts[id];
    switch (inst.op) {
      case InstOp::kUnits:
        if (p == end_ || !program_.Accepts(inst, text[p])) return false;
        ++p;
        break;
      case InstOp::kSplit:
        jobs_.push_back(Job{inst.alt, false, p});
        break;
      case InstOp::kSave:
        jobs_.push_back(Job{inst.arg, true, slots[inst.arg]});
        slots[inst.arg] = p;
        break;
      case InstOp::kBeginText:
        if (p != 0) return false;
        break;
      case InstOp::kEndText:
        if (p != text.size()) return false;
        break;
      case InstOp::kMatch:
        return true;
      case InstOp::kFail:
        return false;
    }
    id = inst.out;
  }
}

}  // namespace ramulet
