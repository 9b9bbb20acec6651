#pragma once

#include <string>
#include <vector>

namespace ramulet {

// The analysis of a module written the plain way, as an oracle for the
// fast one: every pattern runs on every line it concerns, all matches are
// listed before they are used, the keyword test upper-cases the line, and
// nothing is ruled out early. Returns one line per method (its kind, name,
// header line and name column, end line, calls with line and column,
// callers), then "kon=" and the recorded end lines as key:line pairs (the
// panel's MethodKon); a repeated method name ends it with "duplicate
// NAME@LINE:COLUMN first=LINE", the methods recorded before it listed
// without calls.
std::string ReferenceAnalysis(const std::vector<std::u16string>& lines);

// The same dump of the fast analysis (ModuleAnalyzer) of `lines`.
std::string FastAnalysis(const std::vector<std::u16string>& lines);

}  // namespace ramulet
