#pragma once

#include <memory>

#include "analysis/keyword_search.h"
#include "analysis/language_keywords.h"
#include "analysis/module_analysis.h"
#include "platform/line_source.h"
#include "platform/status.h"

namespace ramulet {

class CompiledPattern;

// The analysis of a module's lines: method headers, end lines and calls,
// by the panel's rules or by the language's own. A pure function of the lines: it finds no host,
// asks nothing and fills no list; the refresh, the command line, the
// language server, the benchmarks and the fuzzers all run it.
//
// The patterns are compiled once, when the analyzer is made, and never
// written after: one analyzer may analyse any number of modules on any
// number of threads at once (each call keeps its own scratch space).
class ModuleAnalyzer {
 public:
  ModuleAnalyzer();
  ~ModuleAnalyzer();
  ModuleAnalyzer(const ModuleAnalyzer&) = delete;
  ModuleAnalyzer& operator=(const ModuleAnalyzer&) = delete;

  // Analyses `lines` into `result` (which is replaced). Under the panel's
  // rules every line is read once for the headers and end lines, then every
  // line below the first header once more for the calls, each pass asking
  // the line count first; under the language's rules every line is read
  // once. On an error, `result.error` says what and where, what was
  // recorded before it stays, and the error is returned.
  Status Analyze(LineSource& lines, ModuleAnalysis& result, RuleSet rules = RuleSet::kPanel) const;

 private:
  Status compiled_;
  std::unique_ptr<CompiledPattern> header_;
  std::unique_ptr<CompiledPattern> end_;
  const KeywordSet forward_mark_;
  const KeywordSet excluding_words_;
  const language::Keywords keywords_;

  friend class HeaderPass;
  friend class CallPass;
};

}  // namespace ramulet
