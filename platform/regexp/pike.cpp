#include "platform/regexp/pike.h"

#include <algorithm>
#include <utility>

namespace ramulet {

PikeVm::PikeVm(const Program& program)
    : program_(program),
      slot_count_(program.slot_count()),
      current_{SparseSet(program.insts.size()), {}, {}},
      next_{SparseSet(program.insts.size()), {}, {}} {}

bool PikeVm::Match(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots) {
  slots.assign(slot_count_, std::u16string_view::npos);
  scratch_.assign(slot_count_, std::u16string_view::npos);
  current_.clear();
  Add(current_, program_.start, begin, text);
  bool matched = false;
  for (size_t p = begin; !current_.ids.empty(); ++p) {
    next_.clear();
    matched |= Step(text, p, end, slots);
    if (p == end) break;
    std::swap(current_, next_);
  }
  return matched;
}

bool PikeVm::Step(std::u16string_view text, size_t p, size_t end, std::vector<size_t>& slots) {
  for (size_t i = 0; i < current_.ids.size(); ++i) {
    const Inst& inst = program_.insts[current_.ids[i]];
    const auto thread_slots = current_.slots.begin() + i * slot_count_;
    if (inst.op == InstOp::kMatch) {
      // Threads below this one in priority can only give a worse match.
      std::copy(thread_slots, thread_slots + slot_count_, slots.begin());
      return true;
    }
    if (inst.op == InstOp::kUnits && p < end && program_.Accepts(inst, text[p])) {
      std::copy(thread_slots, thread_slots + slot_count_, scratch_.begin());
      Add(next_, inst.out, p + 1, text);
    }
  }
  return false;
}

// Adds the threads reachable from `id` at position p without reading a
// unit, in priority order, each with a copy of the capture slots in
// `scratch_` as its path left them.
void PikeVm::Add(Threads& threads, uint32_t id, size_t p, std::u16string_view text) {
  stack_.push_back(Entry{id, false, 0});
  while (!stack_.empty()) {
    const Entry entry = stack_.back();
    stack_.pop_back();
    if (entry.restore) {
      scratch_[entry.id] = entry.value;
      continue;
    }
    if (threads.seen.contains(entry.id)) continue;
    threads.seen.insert(entry.id);
    const Inst& inst = program_.insts[entry.id];
    switch (inst.op) {
      case InstOp::kUnits:
      case InstOp::kMatch: {
        threads.ids.push_back(entry.id);
        const size_t needed = threads.ids.size() * slot_count_;
        if (threads.slots.size() < needed) threads.slots.resize(needed);
        std::copy(scratch_.begin(), scratch_.end(), threads.slots.begin() + (needed - slot_count_));
        break;
      }
      case InstOp::kSplit:
        stack_.push_back(Entry{inst.alt, false, 0});
        stack_.push_back(Entry{inst.out, false, 0});
        break;
      case InstOp::kSave:
        stack_.push_back(Entry{inst.arg, true, scratch_[inst.arg]});
        scratch_[inst.arg] = p;
        stack_.push_back(Entry{inst.out, false, 0});
        break;
      case InstOp::kBeginText:
        if (p == 0) stack_.push_back(Entry{inst.out, false, 0});
        break;
      case InstOp::kEndText:
        if (p == text.size()) stack_.push_back(Entry{inst.out, false, 0});
        break;
      case InstOp::kFail:
        break;
    }
  }
}

}  // namespace ramulet
