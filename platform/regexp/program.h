#pragma once

#include <cstdint>
#include <vector>

#include "platform/regexp/syntax.h"
#include "platform/regexp/unit_set.h"
#include "platform/status.h"

namespace ramulet {

enum class InstOp : uint8_t {
  kUnits,      // reads one code unit from the set, goes on at `out`
  kSplit,      // goes on at `out`, and at `alt` only when that fails
  kSave,       // records the position in capture slot `arg`
  kBeginText,  // holds at position 0
  kEndText,    // holds at the end of the text
  kMatch,
  kFail,
};

struct Inst {
  InstOp op = InstOp::kMatch;
  bool single_range = false;  // kUnits: the set is exactly lo..hi
  char16_t lo = 0;
  char16_t hi = 0;
  uint32_t out = 0;
  uint32_t alt = 0;
  uint32_t arg = 0;  // kUnits: index into Program::sets; kSave: slot
};

// A pattern compiled to a nondeterministic automaton. The order of a split's
// branches is the priority of a backtracking matcher, so walking the
// instructions depth first, `out` before `alt`, tries the alternatives in
// the order that decides the leftmost-first match.
struct Program {
  std::vector<Inst> insts;
  std::vector<UnitSet> sets;
  uint32_t start = 0;
  // The forward program also has a start that first skips any number of
  // units, lazily, so that one pass tries every start position in order.
  uint32_t unanchored_start = 0;
  int group_count = 0;

  bool Accepts(const Inst& inst, char16_t unit) const {
    if (inst.single_range) return static_cast<char16_t>(unit - inst.lo) <= static_cast<char16_t>(inst.hi - inst.lo);
    return sets[inst.arg].Contains(unit);
  }
  // Capture slots: 2k and 2k + 1 bound group k; group 0 is the whole match.
  size_t slot_count() const { return 2 * (static_cast<size_t>(group_count) + 1); }
};

// Programs larger than this are refused as too complex.
inline constexpr size_t kMaxProgramSize = 100000;

// The program that matches the text forward, with capture slots.
Status CompileForward(const SyntaxTree& tree, Program& program);
// The program that matches the reversed text, without capture slots: run
// backward from a match's end it finds where that match can start.
Status CompileReverse(const SyntaxTree& tree, Program& program);

}  // namespace ramulet
