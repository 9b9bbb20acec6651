#include "platform/regexp/onepass.h"

#include <bit>
#include <unordered_map>

#include "platform/regexp/sparse_set.h"

namespace ramulet {

namespace {

// Largest table built, in steps (16 bytes each).
constexpr size_t kMaxSteps = 64 * 1024;

}  // namespace

class OnePass::Builder {
 public:
  Builder(const Program& program, const UnitClasses& classes, OnePass& result)
      : program_(program), classes_(classes), result_(result), visited_(program.insts.size()) {}

  bool Run() {
    if (program_.slot_count() > 64) return false;
    for (bool at_text_start : {false, true}) {
      result_.starts_[at_text_start] = NodeFor(program_.start, at_text_start);
    }
    for (size_t done = 0; done < pending_.size(); ++done) {
      if (!Fill(Pending(pending_[done]))) return false;  // a copy: Fill adds to pending_
    }
    return true;
  }

 private:
  struct Pending {
    uint32_t id;
    bool at_text_start;
    uint32_t node;
  };
  struct Reader {
    uint32_t id;  // a kUnits instruction
    uint64_t saves;
  };

  uint32_t NodeFor(uint32_t id, bool at_text_start) {
    const uint64_t key = uint64_t{id} << 1 | at_text_start;
    auto [it, added] = node_of_.try_emplace(key, static_cast<uint32_t>(result_.nodes_.size()));
    if (added) {
      result_.nodes_.emplace_back();
      pending_.push_back(Pending{id, at_text_start, it->second});
    }
    return it->second;
  }

  // Computes the row of one node: the instructions that read the next unit,
  // in priority order, and whether and how it matches.
  bool Fill(const Pending& pending) {
    if ((pending.node + 1) * size_t{classes_.count()} > kMaxSteps) return false;
    std::vector<Reader> readers;
    if (!Closure(pending, readers)) return false;
    result_.steps_.resize((pending.node + 1) * size_t{classes_.count()});
    for (uint32_t cls = 0; cls < classes_.count(); ++cls) {
      const char16_t unit = classes_.Representative(cls);
      const Reader* taken = nullptr;
      for (const Reader& reader : readers) {
        if (!program_.Accepts(program_.insts[reader.id], unit)) continue;
        if (taken) return false;  // two ways to go on: not one-pass
        taken = &reader;
      }
      if (!taken) continue;
      const uint32_t next = NodeFor(program_.insts[taken->id].out, false);
      result_.steps_[pending.node * size_t{classes_.count()} + cls] =
          Step{next, next * classes_.count(), taken->saves};
    }
    return true;
  }

  // Depth first in priority order; the first path to an instruction wins,
  // and a match cuts off everything below it.
  bool Closure(const Pending& pending, std::vector<Reader>& readers) {
    visited_.clear();
    stack_.assign(1, Reader{pending.id, 0});
    while (!stack_.empty()) {
      const Reader entry = stack_.back();
      stack_.pop_back();
      if (visited_.contains(entry.id)) continue;
      visited_.insert(entry.id);
      const Inst& inst = program_.insts[entry.id];
      switch (inst.op) {
        case InstOp::kUnits:
          readers.push_back(entry);
          break;
        case InstOp::kMatch:
          result_.nodes_[pending.node] = Node{true, entry.saves};
          return true;
        case InstOp::kSplit:
          stack_.push_back(Reader{inst.alt, entry.saves});
          stack_.push_back(Reader{inst.out, entry.saves});
          break;
        case InstOp::kSave:
          stack_.push_back(Reader{inst.out, entry.saves | uint64_t{1} << inst.arg});
          break;
        case InstOp::kBeginText:
          if (pending.at_text_start) stack_.push_back(Reader{inst.out, entry.saves});
          break;
        case InstOp::kEndText:
          return false;  // would depend on where the text ends
        case InstOp::kFail:
          break;
      }
    }
    return true;
  }

  const Program& program_;
  const UnitClasses& classes_;
  OnePass& result_;
  std::unordered_map<uint64_t, uint32_t> node_of_;
  std::vector<Pending> pending_;
  SparseSet visited_;
  std::vector<Reader> stack_;
};

std::unique_ptr<OnePass> OnePass::Build(const Program& program, const UnitClasses& classes) {
  std::unique_ptr<OnePass> result(new OnePass(classes, program.slot_count()));
  if (!Builder(program, classes, *result).Run()) return nullptr;
  result->steps_.resize(result->nodes_.size() * size_t{classes.count()});
  return result;
}

bool OnePass::Match(std::u16string_view text, size_t begin, size_t end, std::vector<size_t>& slots) const {
  slots.assign(slot_count_, std::u16string_view::npos);
  const UnitClasses::Lookup classes = classes_.lookup();
  uint32_t node = starts_[begin == 0];
  size_t row = node * size_t{classes_.count()};
  for (size_t p = begin; p < end; ++p) {
    const Step& step = steps_[row + classes.Of(text[p])];
    if (step.next == kNoNode) return false;
    if (step.saves) Save(step.saves, p, slots);
    node = step.next;
    row = step.next_row;
  }
  if (!nodes_[node].matches) return false;
  Save(nodes_[node].match_saves, end, slots);
  return true;
}

// A node that matches has steps only for the ways on that take priority
// over its match, so the walk goes on while it can and the last match met
// is the leftmost-first one.
bool OnePass::Find(std::u16string_view text, size_t begin, std::vector<size_t>& slots,
                   std::vector<size_t>& scratch) const {
  scratch.assign(slot_count_, std::u16string_view::npos);
  const UnitClasses::Lookup classes = classes_.lookup();
  bool found = false;
  uint32_t node = starts_[begin == 0];
  size_t row = node * size_t{classes_.count()};
  for (size_t p = begin;; ++p) {
    if (nodes_[node].matches) {
      slots = scratch;
      Save(nodes_[node].match_saves, p, slots);
      found = true;
    }
    if (p == text.size()) break;
    const Step& step = steps_[row + classes.Of(text[p])];
    if (step.next == kNoNode) break;
    if (step.saves) Save(step.saves, p, scratch);
    node = step.next;
    row = step.next_row;
  }
  return found;
}

void OnePass::Save(uint64_t saves, size_t position, std::vector<size_t>& slots) {
  for (; saves; saves &= saves - 1) slots[std::countr_zero(saves)] = position;
}

}  // namespace ramulet
