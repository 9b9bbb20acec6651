#pragma once

#include <cstddef>
#include <string_view>

#include "analysis/unit_classes.h"
#include "platform/unit_search.h"

namespace ramulet {

// The names that a global search of the call pattern ([\wА-яЁё¬\d]+)\s*\(
// finds in `text` (or in `text` without its leading spaces: the same),
// in order, found without running the pattern: `visit(name)` for each,
// until it returns false.
//
// Why this finds the same names. Name units, \s units and "(" are three
// disjoint classes, so a match is a run of name units, a run of \s units
// and one "(". A search from a position that follows a "(" (or from the
// start) finds its leftmost match where the first run of name units
// followed by \s units and "(" begins; greedy, the name is that whole run,
// since a shorter one leaves a name unit where \s or "(" must stand. The
// next search starts after that "(". So each "(" preceded, across \s units,
// by at least one name unit ends one match, and its name is the whole run
// of name units before those \s units; no other "(" ends one.
template <typename Visit>
void ForEachCallName(std::u16string_view text, Visit&& visit) {
  for (size_t paren = FindUnit(text, u'('); paren != std::u16string_view::npos;
       paren = FindUnit(text, u'(', paren + 1)) {
    size_t name_end = paren;
    while (name_end > 0 && IsPatternSpace(text[name_end - 1])) --name_end;
    size_t name_begin = name_end;
    while (name_begin > 0 && IsNameUnit(text[name_begin - 1])) --name_begin;
    if (name_begin < name_end && !visit(text.substr(name_begin, name_end - name_begin))) return;
  }
}

}  // namespace ramulet
