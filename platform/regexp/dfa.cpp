#include "platform/regexp/dfa.h"

#include <algorithm>

namespace ramulet {

namespace {

constexpr uint32_t kMatchFlag = 1;
constexpr uint32_t kDeadFlag = 2;
constexpr uint32_t kDeadEntry = kDeadFlag;  // state 0, row 0

// Above this many bytes of states the cache starts over.
constexpr size_t kMemoryBudget = 2u << 20;
// Rough cost of a hash map node and its bookkeeping.
constexpr size_t kNodeOverhead = 64;

const std::vector<uint32_t> kNoThreads;

}  // namespace

size_t Dfa::ThreadsHash::operator()(const std::vector<uint32_t>& threads) const {
  uint64_t hash = 14695981039346656037ull;
  for (uint32_t id : threads) hash = (hash ^ id) * 1099511628211ull;
  return static_cast<size_t>(hash ^ (hash >> 32));
}

Dfa::Dfa(const Program& program, const UnitClasses& classes, Direction direction, Semantics semantics)
    : program_(program),
      classes_(classes),
      pending_assertion_(direction == Direction::kForward ? InstOp::kEndText : InstOp::kBeginText),
      semantics_(semantics),
      visited_(program.insts.size()) {
  Reset();
}

size_t Dfa::Forward(std::u16string_view text, size_t from, bool unanchored) {
  Entry state = Start(unanchored, from == 0);
  size_t last = kNone;
  size_t p = from;
  if (state & kMatchFlag) last = p;
  const UnitClasses::Lookup classes = classes_.lookup();
  const Entry* table = transitions_.data();
  while (p < text.size() && !(state & kDeadFlag)) {
    const uint32_t cls = classes.Of(text[p]);
    Entry next = table[(state >> 2) + cls];
    if (next == 0) {
      next = Transition(state, cls);
      table = transitions_.data();
    }
    state = next;
    ++p;
    if (state & (kMatchFlag | kDeadFlag)) {
      if (state & kDeadFlag) return last;
      last = p;
    }
  }
  if (StateOf(state).has_pending && MatchesAt(state, p, text.size())) last = p;
  return last;
}

size_t Dfa::Backward(std::u16string_view text, size_t end, size_t limit) {
  Entry state = Start(false, end == text.size());
  size_t last = kNone;
  size_t p = end;
  if (state & kMatchFlag) last = p;
  const UnitClasses::Lookup classes = classes_.lookup();
  const Entry* table = transitions_.data();
  while (p > limit && !(state & kDeadFlag)) {
    const uint32_t cls = classes.Of(text[p - 1]);
    Entry next = table[(state >> 2) + cls];
    if (next == 0) {
      next = Transition(state, cls);
      table = transitions_.data();
    }
    state = next;
    --p;
    if (state & (kMatchFlag | kDeadFlag)) {
      if (state & kDeadFlag) return last;
      last = p;
    }
  }
  if (StateOf(state).has_pending && MatchesAt(state, p, text.size())) last = p;
  return last;
}

Dfa::Entry Dfa::Start(bool unanchored, bool assertion_holds) {
  Entry& start = starts_[unanchored][assertion_holds];
  if (!start) {
    visited_.clear();
    threads_.clear();
    AddThreads(unanchored ? program_.unanchored_start : program_.start, assertion_holds);
    if (semantics_ == Semantics::kLongest) std::sort(threads_.begin(), threads_.end());
    start = Intern(threads_);
  }
  return start;
}

Dfa::Entry Dfa::Transition(Entry from, uint32_t cls) {
  if (memory_used_ > kMemoryBudget) {
    saved_ = *StateOf(from).threads;
    Reset();
    from = Intern(saved_);
  }
  const char16_t unit = classes_.Representative(cls);
  visited_.clear();
  threads_.clear();
  for (uint32_t id : *StateOf(from).threads) {
    const Inst& inst = program_.insts[id];
    if (inst.op != InstOp::kUnits || !program_.Accepts(inst, unit)) continue;
    if (!AddThreads(inst.out, false)) break;
  }
  if (semantics_ == Semantics::kLongest) std::sort(threads_.begin(), threads_.end());
  const Entry next = Intern(threads_);
  transitions_[(from >> 2) + cls] = next;
  return next;
}

// Appends the threads reachable from `id` without reading a unit, depth
// first in priority order. Returns false when a match cut off the rest.
bool Dfa::AddThreads(uint32_t id, bool start_assertion_holds) {
  stack_.push_back(id);
  while (!stack_.empty()) {
    id = stack_.back();
    stack_.pop_back();
    if (visited_.contains(id)) continue;
    visited_.insert(id);
    const Inst& inst = program_.insts[id];
    switch (inst.op) {
      case InstOp::kUnits:
        threads_.push_back(id);
        break;
      case InstOp::kMatch:
        threads_.push_back(id);
        if (semantics_ == Semantics::kLeftmostFirst) {
          stack_.clear();
          return false;
        }
        break;
      case InstOp::kSplit:
        stack_.push_back(inst.alt);
        stack_.push_back(inst.out);
        break;
      case InstOp::kSave:
        stack_.push_back(inst.out);
        break;
      case InstOp::kBeginText:
      case InstOp::kEndText:
        if (inst.op == pending_assertion_) {
          threads_.push_back(id);
        } else if (start_assertion_holds) {
          stack_.push_back(inst.out);
        }
        break;
      case InstOp::kFail:
        break;
    }
  }
  return true;
}

Dfa::Entry Dfa::Intern(const std::vector<uint32_t>& threads) {
  if (threads.empty()) return kDeadEntry;
  auto found = index_of_.find(threads);
  if (found != index_of_.end()) return EntryOf(found->second);
  State state{nullptr, 0, false};
  for (uint32_t id : threads) {
    const InstOp op = program_.insts[id].op;
    if (op == InstOp::kMatch) state.flags |= kMatchFlag;
    if (op == pending_assertion_) state.has_pending = true;
  }
  const uint32_t index = static_cast<uint32_t>(states_.size());
  auto [slot, added] = index_of_.emplace(threads, index);
  state.threads = &slot->first;
  states_.push_back(state);
  transitions_.resize(transitions_.size() + classes_.count(), 0);
  memory_used_ += sizeof(State) + kNodeOverhead + threads.size() * sizeof(uint32_t) + classes_.count() * sizeof(Entry);
  return EntryOf(index);
}

// Whether a thread waiting for the pending assertion reaches a match at
// `position`, where the scan ends.
bool Dfa::MatchesAt(Entry entry, size_t position, size_t text_size) {
  visited_.clear();
  stack_.clear();
  for (uint32_t id : *StateOf(entry).threads) {
    if (program_.insts[id].op == pending_assertion_) stack_.push_back(id);
  }
  while (!stack_.empty()) {
    const uint32_t id = stack_.back();
    stack_.pop_back();
    if (visited_.contains(id)) continue;
    visited_.insert(id);
    const Inst& inst = program_.insts[id];
    switch (inst.op) {
      case InstOp::kMatch:
        stack_.clear();
        return true;
      case InstOp::kSplit:
        stack_.push_back(inst.alt);
        stack_.push_back(inst.out);
        break;
      case InstOp::kSave:
        stack_.push_back(inst.out);
        break;
      case InstOp::kBeginText:
        if (position == 0) stack_.push_back(inst.out);
        break;
      case InstOp::kEndText:
        if (position == text_size) stack_.push_back(inst.out);
        break;
      case InstOp::kUnits:
      case InstOp::kFail:
        break;
    }
  }
  return false;
}

void Dfa::Reset() {
  index_of_.clear();
  states_.assign(1, State{&kNoThreads, kDeadFlag, false});
  transitions_.assign(classes_.count(), kDeadEntry);
  for (auto& row : starts_) row[0] = row[1] = 0;
  memory_used_ = 0;
}

}  // namespace ramulet
