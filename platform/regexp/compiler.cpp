#include <algorithm>
#include <unordered_map>

#include "platform/regexp/program.h"

namespace ramulet {

namespace {

using Kind = SyntaxNode::Kind;

// Whether the node can match without reading a unit (anchors count as if
// they always held).
bool Nullable(const SyntaxNode& node) {
  switch (node.kind) {
    case Kind::kUnits:
      return false;
    case Kind::kConcat:
      for (const SyntaxNode& item : node.children) {
        if (!Nullable(item)) return false;
      }
      return true;
    case Kind::kAlternate:
      for (const SyntaxNode& branch : node.children) {
        if (Nullable(branch)) return true;
      }
      return false;
    case Kind::kRepeat:
      return !node.at_least_once || Nullable(node.children.front());
    case Kind::kCapture:
      return Nullable(node.children.front());
    default:
      return true;
  }
}

bool SameInst(const Inst& a, const Inst& b) {
  return a.op == b.op && a.out == b.out && a.alt == b.alt && a.arg == b.arg;
}

// Emits instructions in continuation-passing style: Emit(node, next) writes
// the code of `node` so that it continues at `next` and returns its entry.
//
// An iteration of * or + that reads nothing fails (only the first one of +
// may read nothing). Inside loops whose body can match the empty string the
// code therefore exists in variants, one per progress state: in state c the
// iterations of the c outermost such loops have read something since they
// began and those further in have not. Entries and continuations are
// indexed by that state; reading a unit moves to the last state. With this
// the program has no cycle that reads nothing, so the engines' rule that
// the first visit of an (instruction, position) pair wins gives exactly the
// match of a plain backtracking matcher. Most patterns have no such loop
// and just one state everywhere.
class Compiler {
 public:
  Compiler(Program& program, bool reverse) : program_(program), reverse_(reverse) {}

  Status Run(const SyntaxTree& tree) {
    program_ = Program();
    program_.group_count = reverse_ ? 0 : tree.group_count;
    const Entries match = {Add(Inst{})};
    fail_ = Add(Inst{.op = InstOp::kFail});
    program_.start = (reverse_ ? Emit(tree.root, match) : EmitCapture(tree.root, 0, match)).front();
    if (!reverse_) program_.unanchored_start = AddUnanchoredLoop(program_.start);
    if (program_.insts.size() > kMaxProgramSize) {
      return Status::Error(Status::kInvalidArgument, "the regular expression is too large");
    }
    return Status::Ok();
  }

 private:
  using Entries = std::vector<uint32_t>;  // one per progress state

  Entries Emit(const SyntaxNode& node, const Entries& next) {
    if (program_.insts.size() > kMaxProgramSize) return Entries(next.size(), fail_);
    switch (node.kind) {
      case Kind::kEmpty:
        return next;
      case Kind::kUnits:
        return Entries(next.size(), AddUnits(node.units, next.back()));
      case Kind::kBeginText:
      case Kind::kEndText: {
        const InstOp op = node.kind == Kind::kBeginText ? InstOp::kBeginText : InstOp::kEndText;
        return PerState(next.size(), [&](size_t c) { return Inst{.op = op, .out = next[c]}; });
      }
      case Kind::kConcat:
        return EmitConcat(node, next);
      case Kind::kAlternate:
        return EmitAlternate(node, next);
      case Kind::kRepeat:
        if (!node.unbounded) return EmitOptional(node, next);
        return EmitLoop(node, next);
      case Kind::kCapture:
        return reverse_ ? Emit(node.children.front(), next) : EmitCapture(node.children.front(), node.group, next);
    }
    return next;
  }

  // The last item is emitted first, so that each continues at the next one;
  // reversed, the order of the items flips.
  Entries EmitConcat(const SyntaxNode& node, Entries next) {
    const auto& items = node.children;
    if (reverse_) {
      for (const SyntaxNode& item : items) next = Emit(item, next);
    } else {
      for (auto it = items.rbegin(); it != items.rend(); ++it) next = Emit(*it, next);
    }
    return next;
  }

  Entries EmitAlternate(const SyntaxNode& node, const Entries& next) {
    const auto& branches = node.children;
    Entries chain = Emit(branches.back(), next);
    for (size_t i = branches.size() - 1; i-- > 0;) {
      const Entries first = Emit(branches[i], next);
      chain = PerState(next.size(), [&](size_t c) { return Split(first[c], chain[c]); });
    }
    return chain;
  }

  Entries EmitOptional(const SyntaxNode& node, const Entries& next) {
    const Entries body = Emit(node.children.front(), next);
    return PerState(next.size(), [&](size_t c) {
      return node.greedy ? Split(body[c], next[c]) : Split(next[c], body[c]);
    });
  }

  Entries EmitLoop(const SyntaxNode& node, const Entries& next) {
    const SyntaxNode& body = node.children.front();
    const bool tracked = !reverse_ && Nullable(body);
    if (node.at_least_once && tracked) {
      // x+ is x x*: the first iteration is free to read nothing.
      return Emit(body, EmitStar(body, node.greedy, tracked, next, nullptr));
    }
    Entries body_entries;
    Entries loops = EmitStar(body, node.greedy, tracked, next, &body_entries);
    return node.at_least_once ? body_entries : loops;
  }

  // The loop's entries per state; `body_entries` gets where an iteration
  // begins in each state.
  Entries EmitStar(const SyntaxNode& body, bool greedy, bool tracked, const Entries& next, Entries* body_entries) {
    const size_t top = next.size() - 1;
    // The loop after an iteration that read something.
    const uint32_t again = Add(Split(0, 0));
    Entries after_body(top + 1, again);
    if (tracked) {
      // One more state, for this loop's own progress; without it an
      // iteration fails.
      after_body.assign(top + 2, fail_);
      after_body.back() = again;
    }
    Entries starts = Emit(body, after_body);
    starts.resize(top + 1);  // an iteration begins without progress of its own
    auto loop_inst = [&](size_t c) { return greedy ? Split(starts[c], next[c]) : Split(next[c], starts[c]); };
    program_.insts[again] = loop_inst(top);
    Entries loops = PerState(top, loop_inst, {again});
    loops.push_back(again);
    if (body_entries) *body_entries = starts;
    return loops;
  }

  Entries EmitCapture(const SyntaxNode& operand, int group, const Entries& next) {
    const Entries close = PerState(next.size(), [&](size_t c) { return Save(2 * group + 1, next[c]); });
    const Entries body = Emit(operand, close);
    return PerState(next.size(), [&](size_t c) { return Save(2 * group, body[c]); });
  }

  // A lazy loop over any unit in front of `start`.
  uint32_t AddUnanchoredLoop(uint32_t start) {
    const uint32_t loop = Add(Split(start, 0));
    const uint32_t any = AddUnits(UnitSet::All(), loop);
    program_.insts[loop].alt = any;
    return loop;
  }

  // One instruction per state, shared by the states that need the same one
  // (and taken from `known` where it is already there).
  template <typename MakeInst>
  Entries PerState(size_t states, MakeInst make_inst, Entries known = {}) {
    Entries entries(states);
    for (size_t c = 0; c < states; ++c) {
      const Inst inst = make_inst(c);
      auto same = std::find_if(known.begin(), known.end(),
                               [&](uint32_t id) { return SameInst(program_.insts[id], inst); });
      entries[c] = same != known.end() ? *same : Add(inst);
      if (same == known.end()) known.push_back(entries[c]);
    }
    return entries;
  }

  static Inst Split(uint32_t out, uint32_t alt) { return Inst{.op = InstOp::kSplit, .out = out, .alt = alt}; }
  static Inst Save(int slot, uint32_t next) {
    return Inst{.op = InstOp::kSave, .out = next, .arg = static_cast<uint32_t>(slot)};
  }

  uint32_t AddUnits(const UnitSet& units, uint32_t next) {
    Inst inst{.op = InstOp::kUnits, .out = next, .arg = SetIndex(units)};
    if (units.ranges().size() == 1) {
      inst.single_range = true;
      inst.lo = units.ranges().front().lo;
      inst.hi = units.ranges().front().hi;
    }
    return Add(inst);
  }

  uint32_t Add(const Inst& inst) {
    program_.insts.push_back(inst);
    return static_cast<uint32_t>(program_.insts.size() - 1);
  }

  uint32_t SetIndex(const UnitSet& units) {
    auto [it, added] = set_index_.try_emplace(units, static_cast<uint32_t>(program_.sets.size()));
    if (added) program_.sets.push_back(units);
    return it->second;
  }

  Program& program_;
  const bool reverse_;
  uint32_t fail_ = 0;
  std::unordered_map<UnitSet, uint32_t, UnitSetHash> set_index_;
};

}  // namespace

Status CompileForward(const SyntaxTree& tree, Program& program) { return Compiler(program, false).Run(tree); }

Status CompileReverse(const SyntaxTree& tree, Program& program) { return Compiler(program, true).Run(tree); }

}  // namespace ramulet
