#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

class ModuleAnalysis;

// The language's rules of module analysis written the plain way, as an
// oracle for ModuleAnalyzer under RuleSet::kLanguage: the whole module is
// cut into tokens first (character by character), methods are found on the
// token list, then the calls in a second walk over it. Nothing is fast.

// The lines of a module text: a line ends at CR LF, LF or a lone CR; the
// text after the last break is a line only when it is not empty.
std::vector<std::u16string> ReferenceSplitLines(std::u16string_view text);

// Everything the language's rules define about `lines`, one item a line:
//
//   lines=N rules=language
//   method I NAME procedure|function header=L column=C end=L [recorded] [export] [async]
//     call NAME L:C           (the method's calls, text order)
//     callers I I ...         (the callers of the method, one per call)
//   body NAME L:C             (calls made from the module body, text order)
//   member RECEIVER|NAME from=I L:C   (I = -1 for the module body)
//   warning L: MESSAGE
//   duplicate NAME line=L column=C first=L code=HEX
//   message MESSAGE
//
// Lines and columns count from 0 (columns in UTF-16 units), NAME is the
// method's name as written in its definition. After a duplicate only the
// methods recorded before it are listed, with no calls.
std::string ReferenceLanguageDump(const std::vector<std::u16string>& lines);

// The same dump of an analysis result (the fast analyzer's).
std::string LanguageDump(const ModuleAnalysis& analysis);

// The dump of ModuleAnalyzer's analysis of `lines` under the language's
// rules; nullopt while the analyzer offers no choice of rule set.
std::optional<std::string> FastLanguageDump(const std::vector<std::u16string>& lines);

}  // namespace ramulet
