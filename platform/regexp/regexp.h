#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace ramulet {

class CompiledPattern;
class PatternScratch;
struct RegExpMatch;

// One match: its position and text, and the text of each capture group
// (nullopt for a group that took no part in the match). Views point into
// the searched text.
struct RegExpMatch {
  size_t FirstIndex = 0;
  size_t Length = 0;
  std::u16string_view Value;
  std::vector<std::optional<std::u16string_view>> SubMatches;
};

// The regular-expression object: IgnoreCase, Global and Pattern as settings,
// Execute to find matches. Syntax: ^ and $ (start and end of the text),
// groups, (?: ) groups, alternation, classes with ranges and negation,
// \s \w \d and \S \W \D (also inside classes), \t \n \r \f \v, escapes of
// punctuation, '.' (any unit but LF), the quantifiers * + ? and their lazy
// forms *? +? ??. \s is one of space, tab, LF, CR, VT, FF; \w an ASCII
// letter, digit or underscore; \d an ASCII digit. IgnoreCase folds ASCII,
// Latin-1 and Cyrillic letters (ToUpper/ToLower of platform/text.h): a unit
// matches a letter when their lower or upper cases agree and a class when
// it or its upper or lower case is in it ([^...] matches the units that
// [...] does not).
// Matches are those of a backtracking matcher: the leftmost start wins, and
// there the alternatives and greedy or lazy quantifiers are tried in order;
// an iteration of * or + that reads nothing fails (except the first one of
// +); a group reports its last iteration. Matching takes time linear in the
// length of the text.
// Units are UTF-16 code units, each one a character.
class RegExp {
 public:
  RegExp();
  ~RegExp();
  RegExp(const RegExp&) = delete;
  RegExp& operator=(const RegExp&) = delete;

  bool IgnoreCase = false;
  bool Global = false;

  // Sets the pattern; a syntax error is reported here and again by Execute.
  // Compiled programs are cached per pattern and case setting, so switching
  // back and forth between patterns costs nothing after the first use.
  Status SetPattern(std::u16string_view pattern);

  // Every match from left to right when Global, each search starting where
  // the previous match ended (one unit further after an empty match), else
  // the first one. `matches` is replaced by what was found (nothing on an
  // error); its elements and their storage are reused.
  Status Execute(std::u16string_view text, std::vector<RegExpMatch>& matches);

 private:
  Status Current(CompiledPattern*& program, PatternScratch*& scratch);

  struct Cache;
  std::unique_ptr<Cache> cache_;
};

}  // namespace ramulet
