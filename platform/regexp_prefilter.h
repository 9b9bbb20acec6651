#pragma once

#include <string_view>
#include <vector>

#include "platform/regexp_syntax.h"

namespace ramulet {

// A quick test that rules out texts without a match: a few units of which
// every match contains at least one (for ([\w]+)\s*\( the parenthesis), so
// that a text holding none of them needs no automaton at all.
class Prefilter {
 public:
  // Empty when no small enough set of required units exists.
  static Prefilter For(const SyntaxNode& root);

  bool empty() const { return units_.empty(); }
  // Whether the text holds one of the units (always true when empty()).
  bool MayMatch(std::u16string_view text) const;

 private:
  std::vector<char16_t> units_;
};

}  // namespace ramulet
