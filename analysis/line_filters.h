#pragma once

#include <string_view>

namespace ramulet {

// Quick tests that rule a line out before any pattern runs. Each says "no"
// only where the pattern it stands for cannot match, judged by the pattern
// object's own rules for letter case and \s, so the results stay those of
// the patterns.

// Whether the header pattern can match `trimmed`: after \s units, its first
// unit must be the first letter of "private", "ПРОЦЕДУРА" or "ФУНКЦИЯ" in
// some letter case.
bool MayBeHeader(std::u16string_view trimmed);
// Whether the end pattern can match `trimmed`: its first unit must be "К"
// in some letter case.
bool MayBeEnd(std::u16string_view trimmed);
// Whether the call pattern can match `text`: every call ends with "(".
bool MayHoldCall(std::u16string_view text);

}  // namespace ramulet
