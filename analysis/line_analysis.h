#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/method_tables.h"
#include "platform/line_source.h"
#include "platform/status.h"

namespace ramulet {

// A header that repeats the name of a method recorded before it.
struct DuplicateMethod {
  std::u16string name;
  int32_t line = -1;
};

// The analysis of a module's lines, with nothing around it: no host to
// find, no question to ask, no list to fill. The refresh runs it on the
// host's document; the command line, the benchmarks and the fuzzers run it
// on text they hold.

// Reads every line once for method headers and end lines, into new
// dictionaries Method, MethodNach, MethodKon and Meth of `tables`. A header
// repeating a recorded name ends the scan with kDuplicateKey; `duplicate`
// then names it. What was recorded before an error stays recorded.
Status ScanLines(LineSource& lines, MethodTables& tables, std::optional<DuplicateMethod>* duplicate = nullptr);

// Turns the dictionaries of ScanLines into the per-method tables and reads
// every line below the first header once more for the call references.
Status FindCallReferences(LineSource& lines, MethodTables& tables);

// ScanLines, then FindCallReferences.
Status AnalyzeLines(LineSource& lines, MethodTables& tables, std::optional<DuplicateMethod>* duplicate = nullptr);

}  // namespace ramulet
