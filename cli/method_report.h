#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "analysis/module_analysis.h"

namespace ramulet {

// One method's block: "FILE:LINE: name" of its header, then "calls:" with
// one "FILE:LINE: name" per call reference (the line of the call) in the
// order found, then "callers:" with one line per entry of its caller list
// (the caller's header line), in order. An empty list reads "none".
void WriteMethodBlock(const ModuleAnalysis& module, int32_t m, const std::string& file, std::ostream& out);

// The default listing: the block of every method, in module order.
void WriteMethodReport(const ModuleAnalysis& module, const std::string& file, std::ostream& out);

}  // namespace ramulet
