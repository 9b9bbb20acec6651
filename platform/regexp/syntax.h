#pragma once

#include <string_view>
#include <vector>

#include "platform/regexp/unit_set.h"
#include "platform/status.h"

namespace ramulet {

// A parsed pattern. Letter case is already resolved: every unit test holds
// the whole set of code units it accepts.
struct SyntaxNode {
  enum class Kind { kEmpty, kUnits, kBeginText, kEndText, kConcat, kAlternate, kRepeat, kCapture };

  Kind kind = Kind::kEmpty;
  UnitSet units;                     // kUnits
  std::vector<SyntaxNode> children;  // kConcat, kAlternate; the operand of kRepeat and kCapture
  bool at_least_once = false;        // kRepeat: + (else * or ?)
  bool unbounded = false;            // kRepeat: * or + (else ?)
  bool greedy = true;                // kRepeat
  int group = 0;                     // kCapture: numbered from 1 by opening parenthesis
};

struct SyntaxTree {
  SyntaxNode root;
  int group_count = 0;
};

// Most groups that may be open at once; deeper nesting is a syntax error,
// which keeps every recursive walk over the tree shallow.
inline constexpr int kMaxGroupNesting = 200;

// Parses `pattern`. A syntax error is kInvalidArgument with a message that
// names the problem and its position (counted from 1).
Status ParsePattern(std::u16string_view pattern, bool ignore_case, SyntaxTree& tree);

// Whether every match must begin at the start of the text.
bool AnchoredAtBegin(const SyntaxNode& node);

}  // namespace ramulet
