#include "platform/regexp/regexp.h"

#include <cstring>

#include "platform/regexp/compiled.h"

namespace ramulet {

namespace {

// Compiled patterns kept per object; enough for any set of patterns used in
// turn, small enough that a stream of one-off patterns stays cheap.
constexpr size_t kMaxCachedPatterns = 16;

void FillMatch(std::u16string_view text, const std::vector<size_t>& slots, int group_count, RegExpMatch& match) {
  match.FirstIndex = slots[0];
  match.Length = slots[1] - slots[0];
  match.Value = text.substr(match.FirstIndex, match.Length);
  match.SubMatches.resize(group_count);
  for (int group = 1; group <= group_count; ++group) {
    const size_t begin = slots[2 * group];
    const size_t end = slots[2 * group + 1];
    auto& sub = match.SubMatches[group - 1];
    if (begin == std::u16string_view::npos || end == std::u16string_view::npos) {
      sub.reset();
    } else {
      sub = text.substr(begin, end - begin);
    }
  }
}

// Equality of two texts by memcmp, which is much faster than the unit by
// unit comparison of std::u16string.
bool SameText(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

}  // namespace

struct RegExp::Cache {
  struct Entry {
    std::u16string pattern;
    bool ignore_case = false;
    Status status;
    std::unique_ptr<CompiledPattern> compiled;
    std::unique_ptr<PatternScratch> scratch;  // null when the pattern did not compile
  };

  // The entry for (pattern, ignore_case), compiled now if it is not cached.
  Entry* Get(std::u16string_view pattern, bool ignore_case) {
    if (current && current->ignore_case == ignore_case && SameText(current->pattern, pattern)) return current;
    for (const auto& entry : entries) {
      if (entry->ignore_case == ignore_case && SameText(entry->pattern, pattern)) return entry.get();
    }
    // `pattern` may point into the entry evicted below: copy it first.
    auto entry = std::make_unique<Entry>();
    entry->pattern = pattern;
    entry->ignore_case = ignore_case;
    entry->status = CompiledPattern::Compile(entry->pattern, ignore_case, entry->compiled);
    if (entry->compiled) entry->scratch = std::make_unique<PatternScratch>(*entry->compiled);
    if (entries.size() == kMaxCachedPatterns) {
      if (current == entries.front().get()) current = nullptr;
      entries.erase(entries.begin());
    }
    entries.push_back(std::move(entry));
    return entries.back().get();
  }

  std::vector<std::unique_ptr<Entry>> entries;  // oldest first
  Entry* current = nullptr;                     // for the pattern last set
  std::vector<size_t> slots;
};

RegExp::RegExp() : cache_(std::make_unique<Cache>()) {}
RegExp::~RegExp() = default;

// Switching between cached patterns only looks them up: the refresh
// switches twice on every line.
Status RegExp::SetPattern(std::u16string_view pattern) {
  cache_->current = cache_->Get(pattern, IgnoreCase);
  return cache_->current->status.ok() ? Status::Ok() : cache_->current->status;
}

Status RegExp::Current(CompiledPattern*& program, PatternScratch*& scratch) {
  Cache::Entry* entry = cache_->current;
  if (!entry || entry->ignore_case != IgnoreCase) {
    // The case setting changed after the pattern was set.
    entry = cache_->Get(entry ? std::u16string_view(entry->pattern) : std::u16string_view(), IgnoreCase);
    cache_->current = entry;
  }
  program = entry->compiled.get();
  scratch = entry->scratch.get();
  return entry->status;
}

namespace {

}  // namespace

// The matches overwrite the elements already in `matches` in place, so
// that their SubMatches keep their storage from one call to the next.
Status RegExp::Execute(std::u16string_view text, std::vector<RegExpMatch>& matches) {
  CompiledPattern* program = nullptr;
  PatternScratch* scratch = nullptr;
  Status status = Current(program, scratch);
  size_t count = 0;
  std::vector<size_t>& slots = cache_->slots;
  for (size_t from = 0; status.ok() && from <= text.size();) {
    bool found = false;
    status = program->Search(text, from, slots, found, *scratch);
    if (!status.ok() || !found) break;
    if (count == matches.size()) matches.emplace_back();
    FillMatch(text, slots, program->group_count(), matches[count++]);
    if (!Global) break;
    // After an empty match the next search starts one unit further on.
    from = slots[1] > slots[0] ? slots[1] : slots[1] + 1;
  }
  matches.resize(status.ok() ? count : 0);
  return status;
}

}  // namespace ramulet
