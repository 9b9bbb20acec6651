// Random patterns and texts for the regular-expression object: nothing may
// crash or hang, a valid pattern never fails to execute, and the matches
// keep their basic promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/patterns.h"
#include "platform/regexp/regexp.h"

namespace {

using ramulet::RegExp;
using ramulet::RegExpMatch;

void Require(bool condition) {
  if (!condition) std::abort();
}

// In order, not overlapping, inside the text, groups inside their match.
void CheckMatches(std::u16string_view text, const std::vector<RegExpMatch>& matches, int expected_groups) {
  size_t previous_end = 0;
  for (size_t i = 0; i < matches.size(); ++i) {
    const RegExpMatch& match = matches[i];
    const size_t end = match.FirstIndex + match.Length;
    Require(end <= text.size());
    Require(i == 0 || match.FirstIndex >= previous_end);
    Require(match.Value.data() == text.data() + match.FirstIndex && match.Value.size() == match.Length);
    Require(expected_groups < 0 || match.SubMatches.size() == static_cast<size_t>(expected_groups));
    for (const auto& sub : match.SubMatches) {
      if (!sub) continue;
      Require(sub->data() >= match.Value.data() && sub->data() + sub->size() <= match.Value.data() + match.Length);
    }
    previous_end = end;
  }
}

void RunPattern(std::u16string_view pattern, std::u16string_view text, bool ignore_case) {
  RegExp regexp;
  regexp.IgnoreCase = ignore_case;
  regexp.Global = true;
  if (!regexp.SetPattern(pattern).ok()) {
    std::vector<RegExpMatch> matches;
    Require(!regexp.Execute(text, matches).ok() && matches.empty());
    return;
  }
  std::vector<RegExpMatch> all;
  Require(regexp.Execute(text, all).ok());
  const int groups = all.empty() ? -1 : static_cast<int>(all.front().SubMatches.size());
  CheckMatches(text, all, groups);

  regexp.Global = false;
  std::vector<RegExpMatch> first;
  Require(regexp.Execute(text, first).ok());
  Require(first.size() == (all.empty() ? 0u : 1u));
  if (!first.empty()) {
    Require(first[0].FirstIndex == all[0].FirstIndex && first[0].Length == all[0].Length);
    Require(first[0].SubMatches == all[0].SubMatches);
  }
  regexp.Global = true;
}

// One object per module pattern, kept from input to input as the analysis
// keeps them from line to line, so that their automata grow across texts.
void RunModulePatterns(std::u16string_view text) {
  static RegExp* const objects = [] {
    static RegExp made[3];
    const std::u16string_view patterns[3] = {ramulet::patterns::kHeader, ramulet::patterns::kEnd,
                                             ramulet::patterns::kCall};
    for (int i = 0; i < 3; ++i) {
      made[i].IgnoreCase = true;
      made[i].Global = true;
      Require(made[i].SetPattern(patterns[i]).ok());
    }
    return made;
  }();
  static std::vector<RegExpMatch> matches;
  for (int i = 0; i < 3; ++i) {
    Require(objects[i].Execute(text, matches).ok());
    CheckMatches(text, matches, -1);
  }
}

}  // namespace

// The bytes are UTF-16 code units, low byte first. The first unit says how
// many of the following units form the pattern; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string units(size / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
  }
  if (units.empty()) return 0;
  const std::u16string_view rest = std::u16string_view(units).substr(1);
  const size_t pattern_length = units[0] % (rest.size() + 1);
  const std::u16string_view pattern = rest.substr(0, pattern_length);
  const std::u16string_view text = rest.substr(pattern_length);
  RunPattern(pattern, text, false);
  RunPattern(pattern, text, true);
  RunModulePatterns(text);
  return 0;
}
