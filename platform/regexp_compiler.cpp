#include <unordered_map>

#include "platform/regexp_program.h"

namespace ramulet {

namespace {

using Kind = SyntaxNode::Kind;

// Emits instructions in continuation-passing style: Emit(node, next) writes
// the code of `node` so that it continues at `next` and returns its entry.
class Compiler {
 public:
  Compiler(Program& program, bool reverse) : program_(program), reverse_(reverse) {}

  Status Run(const SyntaxTree& tree) {
    program_ = Program();
    program_.group_count = reverse_ ? 0 : tree.group_count;
    const uint32_t match = Add(Inst{});
    program_.start = reverse_ ? Emit(tree.root, match) : EmitCapture(tree.root, 0, match);
    if (!reverse_) program_.unanchored_start = AddUnanchoredLoop(program_.start);
    if (program_.insts.size() > kMaxProgramSize) {
      return Status::Error(Status::kInvalidArgument, "the regular expression is too large");
    }
    return Status::Ok();
  }

 private:
  uint32_t Emit(const SyntaxNode& node, uint32_t next) {
    switch (node.kind) {
      case Kind::kEmpty:
        return next;
      case Kind::kUnits:
        return AddUnits(node.units, next);
      case Kind::kBeginText:
        return Add(Inst{.op = InstOp::kBeginText, .out = next});
      case Kind::kEndText:
        return Add(Inst{.op = InstOp::kEndText, .out = next});
      case Kind::kConcat:
        return EmitConcat(node, next);
      case Kind::kAlternate:
        return EmitAlternate(node, next);
      case Kind::kRepeat:
        return EmitRepeat(node, next);
      case Kind::kCapture:
        return reverse_ ? Emit(node.children.front(), next) : EmitCapture(node.children.front(), node.group, next);
    }
    return next;
  }

  // The last item is emitted first, so that each continues at the next one;
  // reversed, the order of the items flips.
  uint32_t EmitConcat(const SyntaxNode& node, uint32_t next) {
    const auto& items = node.children;
    if (reverse_) {
      for (const SyntaxNode& item : items) next = Emit(item, next);
    } else {
      for (auto it = items.rbegin(); it != items.rend(); ++it) next = Emit(*it, next);
    }
    return next;
  }

  uint32_t EmitAlternate(const SyntaxNode& node, uint32_t next) {
    const auto& branches = node.children;
    uint32_t entry = Emit(branches.back(), next);
    for (size_t i = branches.size() - 1; i-- > 0;) {
      const uint32_t first = Emit(branches[i], next);
      entry = AddSplit(first, entry);
    }
    return entry;
  }

  uint32_t EmitRepeat(const SyntaxNode& node, uint32_t next) {
    const SyntaxNode& operand = node.children.front();
    if (!node.unbounded) {
      const uint32_t body = Emit(operand, next);
      return node.greedy ? AddSplit(body, next) : AddSplit(next, body);
    }
    const uint32_t loop = AddSplit(0, 0);
    const uint32_t body = Emit(operand, loop);
    Inst& split = program_.insts[loop];
    split.out = node.greedy ? body : next;
    split.alt = node.greedy ? next : body;
    return node.at_least_once ? body : loop;
  }

  uint32_t EmitCapture(const SyntaxNode& operand, int group, uint32_t next) {
    const uint32_t close = AddSave(2 * group + 1, next);
    const uint32_t body = Emit(operand, close);
    return AddSave(2 * group, body);
  }

  // A lazy loop over any unit in front of `start`.
  uint32_t AddUnanchoredLoop(uint32_t start) {
    const uint32_t loop = AddSplit(start, 0);
    const uint32_t any = AddUnits(UnitSet::All(), loop);
    program_.insts[loop].alt = any;
    return loop;
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

  uint32_t AddSplit(uint32_t out, uint32_t alt) { return Add(Inst{.op = InstOp::kSplit, .out = out, .alt = alt}); }

  uint32_t AddSave(int slot, uint32_t next) {
    return Add(Inst{.op = InstOp::kSave, .out = next, .arg = static_cast<uint32_t>(slot)});
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
  std::unordered_map<UnitSet, uint32_t, UnitSetHash> set_index_;
};

}  // namespace

Status CompileForward(const SyntaxTree& tree, Program& program) { return Compiler(program, false).Run(tree); }

Status CompileReverse(const SyntaxTree& tree, Program& program) { return Compiler(program, true).Run(tree); }

}  // namespace ramulet
