#include "platform/regexp_dfa.h"

#include <algorithm>

namespace ramulet {

namespace {

constexpr uint8_t kMatchFlag = 1;
constexpr uint8_t kDeadFlag = 2;

// Above this many bytes of states the cache starts over.
constexpr size_t kMemoryBudget = 2u << 20;
// Rough cost of a hash map node and its bookkeeping.
constexpr size_t kNodeOverhead = 64;

}  // namespace

struct Dfa::State {
  const std::vector<uint32_t>* threads = nullptr;
  uint8_t flags = 0;
  bool has_pending = false;  // holds a thread waiting for the pending assertion
  std::unique_ptr<State*[]> next;
};

size_t Dfa::ThreadsHash::operator()(const std::vector<uint32_t>& threads) const {
  uint64_t hash = 14695981039346656037ull;
  for (uint32_t id : threads) hash = (hash ^ id) * 1099511628211ull;
  return static_cast<size_t>(hash ^ (hash >> 32));
}

Dfa::Dfa(const Program& program, const UnitClasses& classes, Direction direction, Semantics semantics)
    : program_(program),
      classes_(classes),
      start_assertion_(direction == Direction::kForward ? InstOp::kBeginText : InstOp::kEndText),
      pending_assertion_(direction == Direction::kForward ? InstOp::kEndText : InstOp::kBeginText),
      semantics_(semantics),
      dead_(std::make_unique<State>()),
      visited_(program.insts.size()) {
  static const std::vector<uint32_t> kNoThreads;
  dead_->threads = &kNoThreads;
  dead_->flags = kDeadFlag;
}

Dfa::~Dfa() = default;

size_t Dfa::Forward(std::u16string_view text, size_t from, bool unanchored, bool earliest) {
  State* state = Start(unanchored, from == 0);
  size_t last = kNone;
  size_t p = from;
  if (state->flags & kMatchFlag) {
    last = p;
    if (earliest) return last;
  }
  while (p < text.size() && !(state->flags & kDeadFlag)) {
    state = Next(state, text[p]);
    ++p;
    if (state->flags) {
      if (state->flags & kDeadFlag) return last;
      last = p;
      if (earliest) return last;
    }
  }
  if (state->has_pending && MatchesAt(*state, p, text.size())) last = p;
  return last;
}

size_t Dfa::Backward(std::u16string_view text, size_t end, size_t limit) {
  State* state = Start(false, end == text.size());
  size_t last = kNone;
  size_t p = end;
  if (state->flags & kMatchFlag) last = p;
  while (p > limit && !(state->flags & kDeadFlag)) {
    state = Next(state, text[p - 1]);
    --p;
    if (state->flags) {
      if (state->flags & kDeadFlag) return last;
      last = p;
    }
  }
  if (state->has_pending && MatchesAt(*state, p, text.size())) last = p;
  return last;
}

inline Dfa::State* Dfa::Next(State* state, char16_t unit) {
  const uint32_t cls = classes_.Of(unit);
  State* next = state->next[cls];
  return next ? next : Transition(state, cls);
}

Dfa::State* Dfa::Start(bool unanchored, bool assertion_holds) {
  State*& start = starts_[unanchored][assertion_holds];
  if (!start) {
    visited_.clear();
    threads_.clear();
    AddThreads(unanchored ? program_.unanchored_start : program_.start, assertion_holds);
    if (semantics_ == Semantics::kLongest) std::sort(threads_.begin(), threads_.end());
    start = Intern(threads_);
  }
  return start;
}

Dfa::State* Dfa::Transition(State* state, uint32_t cls) {
  if (memory_used_ > kMemoryBudget) {
    saved_ = *state->threads;
    Reset();
    state = Intern(saved_);
  }
  const char16_t unit = classes_.Representative(cls);
  visited_.clear();
  threads_.clear();
  for (uint32_t id : *state->threads) {
    const Inst& inst = program_.insts[id];
    if (inst.op != InstOp::kUnits || !program_.Accepts(inst, unit)) continue;
    if (!AddThreads(inst.out, false)) break;
  }
  if (semantics_ == Semantics::kLongest) std::sort(threads_.begin(), threads_.end());
  State* next = Intern(threads_);
  state->next[cls] = next;
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

Dfa::State* Dfa::Intern(const std::vector<uint32_t>& threads) {
  if (threads.empty()) return dead_.get();
  auto found = states_.find(threads);
  if (found != states_.end()) return found->second.get();
  auto state = std::make_unique<State>();
  for (uint32_t id : threads) {
    const InstOp op = program_.insts[id].op;
    if (op == InstOp::kMatch) state->flags |= kMatchFlag;
    if (op == pending_assertion_) state->has_pending = true;
  }
  state->next = std::make_unique<State*[]>(classes_.count());
  memory_used_ += sizeof(State) + kNodeOverhead + threads.size() * sizeof(uint32_t) +
                  classes_.count() * sizeof(State*);
  auto [slot, added] = states_.emplace(threads, std::move(state));
  slot->second->threads = &slot->first;
  return slot->second.get();
}

// Whether a thread waiting for the pending assertion reaches a match at
// `position`, where the scan ends.
bool Dfa::MatchesAt(const State& state, size_t position, size_t text_size) {
  visited_.clear();
  stack_.clear();
  for (uint32_t id : *state.threads) {
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
  states_.clear();
  for (auto& row : starts_) row[0] = row[1] = nullptr;
  memory_used_ = 0;
}

}  // namespace ramulet
