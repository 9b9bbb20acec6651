#include "analysis/unit_classes.h"

#include "platform/text.h"

namespace ramulet {

namespace {

// A unit is in a class under IgnoreCase when it or its upper or lower case
// is in it.
template <typename InClass>
bool InClassIgnoringCase(char16_t unit, InClass in_class) {
  return in_class(unit) || in_class(ToUpper(unit)) || in_class(ToLower(unit));
}

bool InSpaceClass(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

bool InNameClass(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
         (c >= u'А' && c <= u'я') || c == u'Ё' || c == u'ё' || c == u'¬';
}

}  // namespace

bool FoldsTo(char16_t unit, char16_t letter) {
  return ToLower(unit) == ToLower(letter) || ToUpper(unit) == ToUpper(letter);
}

uint8_t ComputeUnitClasses(char16_t unit) {
  uint8_t classes = kUnitKnown;
  if (InClassIgnoringCase(unit, InSpaceClass)) classes |= kUnitSpace;
  if (FoldsTo(unit, u'p') || FoldsTo(unit, u'П') || FoldsTo(unit, u'Ф')) classes |= kUnitHeaderStart;
  if (FoldsTo(unit, u'К')) classes |= kUnitEndStart;
  if (InClassIgnoringCase(unit, InNameClass)) classes |= kUnitName;
  return classes;
}

}  // namespace ramulet
