#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/name_index.h"

namespace ramulet::language {

// What a keyword does in the language's rules.
enum class Role : uint8_t {
  kNone,          // a keyword that only can never be called
  kProcedure,     // Процедура / Procedure
  kFunction,      // Функция / Function
  kAsync,         // Асинх / Async
  kEnd,           // КонецПроцедуры, КонецФункции and their English forms
  kNew,           // Новый / New
  kExport,        // Экспорт / Export
  kForward,       // Далее / Forward
  kThisObject,    // ЭтотОбъект, ThisObject, ЭтаФорма, ThisForm: their members are the module's methods
};

struct Keyword {
  Role role = Role::kNone;
  bool never_called = false;  // an identifier of this word before "(" is no call
};

// The keywords of the language in both spellings, looked up by the folded
// (upper-case) form of an identifier. Built once; read-only afterwards.
class Keywords {
 public:
  Keywords();
  // The keyword `folded` is, or nullptr.
  const Keyword* Find(std::u16string_view folded) const {
    const int32_t n = index_.Find(folded);
    return n < 0 ? nullptr : &keywords_[static_cast<size_t>(n)];
  }
  // False when no keyword has the length of `word` and its first letter (in
  // either case): most identifiers are told apart so, without folding them.
  bool MayBe(std::u16string_view word) const { return MayBeIn(first_letters_, word); }
  // The same for the words that begin or end a method (Процедура, Функция,
  // Асинх, the end keywords): the test every line's first word takes.
  bool MayBeHeaderOrEnd(std::u16string_view word) const { return MayBeIn(header_letters_, word); }

 private:
  static constexpr size_t kMaxLength = 24;
  static constexpr size_t kNoSlot = 64;
  // A bit for each upper-case letter a keyword begins with (at most 64).
  static size_t LetterSlot(char16_t unit);
  static bool MayBeIn(const std::array<uint64_t, kMaxLength>& letters, std::u16string_view word) {
    if (word.empty() || word.size() >= kMaxLength) return false;
    const size_t slot = LetterSlot(word[0]);
    return slot != kNoSlot && ((letters[word.size()] >> slot) & 1);
  }
  std::array<uint64_t, kMaxLength> first_letters_{};
  std::array<uint64_t, kMaxLength> header_letters_{};
  std::vector<Keyword> keywords_;
  NameIndex index_;
};

}  // namespace ramulet::language
