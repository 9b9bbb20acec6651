// workspace/symbol over every method of a configuration, and how a name
// matches what the user typed.
#include <algorithm>
#include <array>
#include <unordered_map>

#include "analysis/language_lexer.h"
#include "lsp/cross_common.h"
#include "lsp/cross_module.h"
#include "lsp/features.h"

namespace ramulet::lsp {

namespace {

using language::Fold;

// The caller keeps at most this many symbols, best first: no more are made.
inline constexpr size_t kMaxSymbols = 1000;
// Word-start matching looks at this many words of a name and units of a
// query; past them only prefix and substring matching apply.
inline constexpr size_t kMaxWords = 32;
inline constexpr size_t kMaxQuery = 64;

bool IsUpperLetter(char16_t unit) { return ToLower(unit) != unit; }

// Where the words of a CamelCase or snake_case name begin: the first unit,
// a capital after a unit that is none, a unit after '_'.
size_t WordStarts(std::u16string_view name, std::array<uint16_t, kMaxWords>& starts) {
  size_t count = 0;
  for (size_t i = 0; i < name.size() && count < kMaxWords && i <= UINT16_MAX; ++i) {
    const bool start =
        i == 0 ? name[i] != u'_'
               : name[i] != u'_' && (name[i - 1] == u'_' || (IsUpperLetter(name[i]) && !IsUpperLetter(name[i - 1])));
    if (start) starts[count++] = static_cast<uint16_t>(i);
  }
  return count;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view folded) {
  if (text.size() < folded.size()) return false;
  for (size_t i = 0; i < folded.size(); ++i) {
    if (Fold(text[i]) != folded[i]) return false;
  }
  return true;
}

bool ContainsFolded(std::u16string_view text, std::u16string_view folded) {
  for (size_t at = 0; at + folded.size() <= text.size(); ++at) {
    if (Fold(text[at]) == folded[0] && StartsWithFolded(text.substr(at), folded)) return true;
  }
  return false;
}

// Whether the query splits into pieces each of which begins a word of the
// name, the words in order (words may be passed over): "ПЗР", "ПолЗнач",
// "ЗначРекв" for ПолучитьЗначениеРеквизита.
class WordStartMatch {
 public:
  WordStartMatch(std::u16string_view name, std::u16string_view query) : name_(name), query_(query) {}

  bool Matches() {
    if (query_.empty() || query_.size() > kMaxQuery) return false;
    words_ = WordStarts(name_, starts_);
    // Most names fail at the first unit: no word of theirs begins with it.
    bool any = false;
    for (size_t w = 0; w < words_ && !any; ++w) any = Fold(name_[starts_[w]]) == query_[0];
    if (!any) return false;
    for (size_t at = 0; at < query_.size(); ++at) std::fill_n(memo_[at].begin(), words_, kUnknown);
    return From(0, 0);
  }

 private:
  static constexpr int8_t kUnknown = -1;

  size_t WordEnd(size_t word) const { return word + 1 < words_ ? starts_[word + 1] : name_.size(); }

  // Whether query_[at..] matches from word `word` on.
  bool From(size_t at, size_t word) {
    if (at == query_.size()) return true;
    if (word >= words_) return false;
    int8_t& known = memo_[at][word];
    if (known != kUnknown) return known == 1;
    bool matched = false;
    for (size_t w = word; w < words_ && !matched; ++w) {
      const size_t begin = starts_[w];
      const size_t end = WordEnd(w);
      for (size_t length = 1; at + length <= query_.size() && begin + length <= end; ++length) {
        if (Fold(name_[begin + length - 1]) != query_[at + length - 1]) break;
        if (From(at + length, w + 1)) {
          matched = true;
          break;
        }
      }
    }
    known = matched ? 1 : 0;
    return matched;
  }

  std::u16string_view name_;
  std::u16string_view query_;
  std::array<uint16_t, kMaxWords> starts_;
  size_t words_ = 0;
  std::array<std::array<int8_t, kMaxWords>, kMaxQuery> memo_;  // filled as far as a match needs
};

// MatchRank for a query already folded.
int32_t RankFolded(std::u16string_view name, std::u16string_view folded) {
  if (StartsWithFolded(name, folded)) return 0;
  if (WordStartMatch(name, folded).Matches()) return 1;
  if (ContainsFolded(name, folded)) return 2;
  return -1;
}

struct Match {
  int32_t rank;
  int32_t module;
  int32_t method;
};

}  // namespace

int32_t MatchRank(std::u16string_view name, std::u16string_view query) {
  std::u16string folded(query);
  for (char16_t& unit : folded) unit = Fold(unit);
  return RankFolded(name, folded);
}

void CrossWorkspaceSymbols(const ConfigView& view, std::u16string_view query, std::vector<RankedSymbol>& symbols) {
  const Configuration& configuration = *view.configuration;
  std::u16string folded(query);
  for (char16_t& unit : folded) unit = Fold(unit);
  std::vector<Match> matches;
  for (size_t m = 0; m < configuration.modules.size(); ++m) {
    const std::vector<MethodInfo>& methods = configuration.modules[m].analysis.methods;
    for (size_t i = 0; i < methods.size(); ++i) {
      const int32_t rank = RankFolded(methods[i].name, folded);
      if (rank >= 0) matches.push_back({rank, static_cast<int32_t>(m), static_cast<int32_t>(i)});
    }
  }
  // Best first: the rank, then the shorter name; the caller cuts at
  // kMaxSymbols, so no more are made into JSON.
  auto better = [&](const Match& a, const Match& b) {
    if (a.rank != b.rank) return a.rank < b.rank;
    const size_t a_size = MethodOf(configuration, a.module, a.method).name.size();
    const size_t b_size = MethodOf(configuration, b.module, b.method).name.size();
    if (a_size != b_size) return a_size < b_size;
    return a.module != b.module ? a.module < b.module : a.method < b.method;
  };
  const size_t kept = std::min(matches.size(), kMaxSymbols);
  std::partial_sort(matches.begin(), matches.begin() + static_cast<std::ptrdiff_t>(kept), matches.end(), better);
  std::unordered_map<int32_t, std::string> uris;
  for (size_t i = 0; i < kept; ++i) {
    const Match& match = matches[i];
    auto [uri, added] = uris.try_emplace(match.module);
    if (added) uri->second = view.ModuleUri(match.module);
    const MethodInfo& method = MethodOf(configuration, match.module, match.method);
    symbols.push_back(
        {match.rank, Json{{"name", ToUtf8(method.name)},
                          {"kind", MethodSymbolKind(method)},
                          {"location", Location(uri->second, WholeRange(method))},
                          {"containerName", configuration.modules[static_cast<size_t>(match.module)].name}}});
  }
}

}  // namespace ramulet::lsp
