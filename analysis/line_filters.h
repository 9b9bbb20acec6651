#pragma once

#include <string_view>

#include "analysis/method_tables.h"

namespace ramulet {

// Quick tests that rule a line out before any pattern runs. Each says "no"
// only where the pattern it stands for cannot match (for calls: cannot
// match a method's name), judged by the pattern object's own rules for
// letter case and \s, so the results stay those of the patterns.

// Whether the header pattern can match `trimmed`: after \s units, its first
// unit must be the first letter of "private", "ПРОЦЕДУРА" or "ФУНКЦИЯ" in
// some letter case.
bool MayBeHeader(std::u16string_view trimmed);
// Whether the end pattern can match `trimmed`: its first unit must be "К"
// in some letter case.
bool MayBeEnd(std::u16string_view trimmed);
// Whether the call pattern can find a call of a method of `tables` in
// `text`. Every match of the pattern ends at a "(" and its name is the whole
// run of name units that ends where the \s units before that "(" begin (the
// name is greedy, and the unit before the run is no name unit, or the "("
// that ended the previous match). So when no such run before any "(" is a
// method's name, every match the pattern finds names no method.
bool MayCallAMethod(std::u16string_view text, const MethodTables& tables);

}  // namespace ramulet
