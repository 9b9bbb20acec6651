#pragma once

#include <string_view>

namespace ramulet {

// Quick tests that rule a line out before a pattern runs. Each says "no"
// only where the pattern it stands for cannot match, judged by the pattern
// object's own rules for letter case and \s, so the results stay those of
// the patterns.

// Whether the header pattern can match `trimmed`: after \s units it must
// go on with "private", "ПРОЦЕДУРА" or "ФУНКЦИЯ" in some letter case.
bool MayBeHeader(std::u16string_view trimmed);
// Whether the end pattern can match `trimmed`: it must begin with
// "КОНЕЦПРОЦЕДУРЫ" or "КОНЕЦФУНКЦИИ" in some letter case.
bool MayBeEnd(std::u16string_view trimmed);

}  // namespace ramulet
