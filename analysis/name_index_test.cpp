#include "analysis/name_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ramulet {
namespace {

// Against a plain scan from the end of the list, over names that share
// lengths, first and last units (one filter bit) and prefixes, and names
// repeated with other numbers.
TEST(NameIndexTest, FindsWhatAScanFromTheEndFinds) {
  std::vector<std::u16string> names;
  for (int n = 0; n < 3000; ++n) names.push_back(u"Имя" + std::u16string(n % 7, u'ж') + char16_t(u'А' + n % 32) + u"я");
  names.push_back(u"");
  names.push_back(u"Имя");
  NameIndex index;
  index.Assign(names);
  auto scan = [&names](std::u16string_view name) {
    for (size_t n = names.size(); n-- > 0;) {
      if (names[n] == name) return static_cast<int32_t>(n);
    }
    return int32_t{-1};
  };
  std::vector<std::u16string> probes = names;
  probes.insert(probes.end(), {u"Им", u"Имяя", u"имя", u"ИмяжжжжжжжАя", u"x"});
  for (const std::u16string& probe : probes) EXPECT_EQ(index.Find(probe), scan(probe));
}

TEST(NameIndexTest, EmptyUntilAssignedAndReplacedByAssign) {
  NameIndex index;
  EXPECT_EQ(index.Find(u""), -1);
  EXPECT_EQ(index.Find(u"А"), -1);
  index.Assign({u"А", u"Б"});
  EXPECT_EQ(index.Find(u"Б"), 1);
  index.Assign({u"В"});
  EXPECT_EQ(index.Find(u"Б"), -1);
  EXPECT_EQ(index.Find(u"В"), 0);
}

}  // namespace
}  // namespace ramulet
