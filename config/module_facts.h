#pragma once

#include "analysis/module_analysis.h"
#include "platform/status.h"
#include "textio/text_lines.h"

namespace ramulet {

// What the resolution of calls between modules needs to know of one module
// beyond its analysis: the calls of names it does not declare, receivers
// and what they are bound to, names in strings, dynamic code. Read once per
// module, while its text is at hand; the text is not kept.
struct ModuleFacts {
  // (filled in by the module-facts scan)
};

// Reads the facts of `lines`, whose language-rules analysis is `analysis`.
Status ScanModuleFacts(const TextLines& lines, const ModuleAnalysis& analysis, ModuleFacts& facts);

}  // namespace ramulet
