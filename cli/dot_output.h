#pragma once

#include <ostream>
#include <string_view>

#include "analysis/module_analysis.h"

namespace ramulet {

// The call graph for Graphviz: one node per method (labelled with its name),
// one edge per caller-callee pair labelled with the number of references,
// self-calls as loops. Methods that no other method calls are entry points:
// drawn filled and bold, and ranked at the top.
void WriteDot(const ModuleAnalysis& module, std::ostream& out);

// `text` as a quoted Graphviz string in UTF-8.
void WriteDotString(std::u16string_view text, std::ostream& out);

}  // namespace ramulet
