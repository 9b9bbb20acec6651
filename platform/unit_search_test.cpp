#include "platform/unit_search.h"

#include <gtest/gtest.h>

#include <string>

namespace ramulet {
namespace {

// The wide search reads eight units at a time: put the unit sought at every
// place of texts a little longer than two such blocks, and start from
// every place, against the plain search.
TEST(UnitSearchTest, AgreesWithThePlainSearchAtEveryPlace) {
  for (size_t length = 0; length <= 19; ++length) {
    for (size_t at = 0; at <= length; ++at) {
      std::u16string text(length, u'ж');
      if (at < length) text[at] = u'(';
      if (length > 3) text[length - 1] = u'\r';
      std::u16string_view view = text;
      for (size_t from = 0; from <= length + 1; ++from) {
        EXPECT_EQ(FindUnit(view, u'(', from), view.find(u'(', from)) << length << " " << at << " " << from;
        const size_t either = view.find_first_of(u"(\r", from);
        EXPECT_EQ(FindEitherUnit(view, u'(', u'\r', from), either == view.npos ? view.size() : either);
      }
    }
  }
}

// Units that share a byte with the one sought are not taken for it.
TEST(UnitSearchTest, ComparesWholeUnits) {
  const std::u16string text = u"\u2800\u0028\u2828(\u0a0d";
  EXPECT_EQ(FindUnit(text, u'('), 1u);
  EXPECT_EQ(FindUnit(std::u16string_view(u"\u2828\u2828\u2828\u2828\u2828\u2828\u2828\u2828\u2828"), u'('),
            std::u16string_view::npos);
  EXPECT_EQ(FindEitherUnit(u"\u0d0a\u0a0d\u0d00xxxxxxxx\n", u'\n', u'\r'), 11u);
}

}  // namespace
}  // namespace ramulet
