#pragma once

namespace ramulet::patterns {

// The three patterns of the module language, in the regular-expression
// object's syntax. Matched without regard to letter case. A name character
// is an ASCII letter, digit or underscore, a Cyrillic letter А–я or Ё/ё
// (which lie outside that range), or "¬".
inline constexpr char16_t kHeader[] =
    u"^\\s*(private\\s*)?((?:ПРОЦЕДУРА)|(?:ФУНКЦИЯ))\\s+([\\wА-яЁё¬\\d]+)\\s*\\(([\\wА-яЁё¬\\d\\s,.=\"\\']*)\\)\\s*";
inline constexpr char16_t kEnd[] = u"^(КОНЕЦПРОЦЕДУРЫ|КОНЕЦФУНКЦИИ)";
inline constexpr char16_t kCall[] = u"([\\wА-яЁё¬\\d]+)\\s*\\(";

// Group numbers (1-based) of the name in the header and call patterns.
inline constexpr int kHeaderNameGroup = 3;
inline constexpr int kCallNameGroup = 1;

}  // namespace ramulet::patterns
