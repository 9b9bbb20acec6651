#include "analysis/line_filters.h"

#include "analysis/unit_classes.h"

namespace ramulet {

namespace {

// Whether `text` begins with `keyword`, letter by letter by the pattern
// object's rule for letters under IgnoreCase.
bool StartsWithKeyword(std::u16string_view text, std::u16string_view keyword) {
  if (text.size() < keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    if (!FoldsTo(text[i], keyword[i])) return false;
  }
  return true;
}

}  // namespace

bool MayBeHeader(std::u16string_view trimmed) {
  size_t i = 0;
  while (i < trimmed.size() && IsPatternSpace(trimmed[i])) ++i;
  // Most lines fail on their first letter, which one table look-up tells.
  if (i == trimmed.size() || !(ClassesOfUnit(trimmed[i]) & kUnitHeaderStart)) return false;
  std::u16string_view rest = trimmed.substr(i);
  return StartsWithKeyword(rest, u"ПРОЦЕДУРА") || StartsWithKeyword(rest, u"ФУНКЦИЯ") ||
         StartsWithKeyword(rest, u"private");
}

bool MayBeEnd(std::u16string_view trimmed) {
  if (trimmed.empty() || !(ClassesOfUnit(trimmed[0]) & kUnitEndStart)) return false;
  return StartsWithKeyword(trimmed, u"КОНЕЦПРОЦЕДУРЫ") || StartsWithKeyword(trimmed, u"КОНЕЦФУНКЦИИ");
}

}  // namespace ramulet
