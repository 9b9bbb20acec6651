#pragma once

#include <string>
#include <vector>

namespace ramulet {

// The analysis of a module written the plain way, as an oracle for the
// fast one: every pattern runs on every line it concerns, all matches are
// listed before they are used, the keyword test upper-cases the line, and
// nothing is ruled out early. Returns the tables in DumpTables' form, then
// "kon=" and the recorded end lines as key:line pairs; a duplicate method
// gives "duplicate NAME@LINE" after the methods recorded before it.
std::string ReferenceAnalysis(const std::vector<std::u16string>& lines);

// The same dump of the fast analysis (AnalyzeLines) of `lines`.
std::string FastAnalysis(const std::vector<std::u16string>& lines);

}  // namespace ramulet
