#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/module_analysis.h"
#include "platform/status.h"
#include "textio/text_lines.h"

namespace ramulet {

// What the resolution of calls between modules needs to know of one module
// beyond its analysis: the calls of names it does not declare, receivers
// and what they are bound to, names in strings, dynamic code. Read once per
// module, while its text is at hand; the text is not kept.
//
// Everything is numbers into one pool of names: each distinct spelling is
// held once, as written and folded. Whether a receiver is local (a
// parameter, a Перем, assigned in its method) is decided by the scan, so a
// reference that can reach no other module is not kept at all.
struct ModuleFacts {
  static constexpr int32_t kNoName = -1;
  // An accessor that cannot be a common module (a local name, a longer chain).
  static constexpr int32_t kNotAccessor = -2;

  enum class Kind : uint8_t {
    kBare,          // Имя( of no method of the module
    kMember,        // X.Имя( with X no local name and bound to nothing: receiver X
    kBound,         // V.Имя( with V bound by ОбщийМодуль("N"): binding, fallback
    kAccessor,      // A.ОбщийМодуль("N").Имя(: binding
    kManager,       // Коллекция.Объект.Имя(: collection, object
    kNotifyOwn,     // Новый ОписаниеОповещения("P", ЭтотОбъект): name P
    kNotifyModule,  // Новый ОписаниеОповещения("P", N): receiver N, name P
    kIdleHandler,   // Подключить/ОтключитьОбработчикОжидания("P"): name P
    kString,        // "N.P": receiver N, name P
    kDynamic,       // Выполнить( and its kin: name is the function as written
  };

  // A name in the pool: `length` units as written at `begin`, then folded.
  // `same` is the first name of the pool with the same folded form.
  struct Name {
    uint32_t begin = 0;
    uint32_t length = 0;
    int32_t same = 0;
  };

  // What ОбщийМодуль("N") names: a common module N, or with a collection
  // word ("Справочники.X") the manager module of object X.
  struct Binding {
    int32_t method = -1;
    int32_t previous = -1;  // the binding of the same variable before it (same method or body), -1
    int32_t accessor = kNoName;  // A of A.ОбщийМодуль, kNoName for the bare form, or kNotAccessor
    int32_t module = kNoName;    // N as written in the string
    int32_t object = kNoName;    // X of "Справочники.X"
    int8_t collection = -1;
  };

  struct Reference {
    int32_t method = -1;  // the calling method, -1 for the module body
    int32_t line = 0;
    int32_t column = 0;   // UTF-16 units, where the method's name stands
    Kind kind = Kind::kBare;
    int8_t collection = -1;
    int32_t name = kNoName;      // the method named
    int32_t receiver = kNoName;  // X, V, N
    int32_t object = kNoName;    // kManager's object
    int32_t binding = -1;        // the last binding above the call in its method
    int32_t fallback = -1;       // a module variable's last binding in the body
    int32_t via = kNoName;       // the receiver or function as written
  };

  std::u16string pool;
  std::vector<Name> names;
  std::vector<Binding> bindings;
  std::vector<Reference> references;  // in text order

  std::u16string_view Written(int32_t name) const {
    const Name& n = names[static_cast<size_t>(name)];
    return std::u16string_view(pool).substr(n.begin, n.length);
  }
  std::u16string_view Folded(int32_t name) const {
    const Name& n = names[static_cast<size_t>(name)];
    return std::u16string_view(pool).substr(n.begin + n.length, n.length);
  }
};

// Reads the facts of `lines`, whose language-rules analysis is `analysis`.
// A module whose analysis failed calls nothing: its facts stay empty.
Status ScanModuleFacts(const TextLines& lines, const ModuleAnalysis& analysis, ModuleFacts& facts);

}  // namespace ramulet
