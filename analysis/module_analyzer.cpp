#include "analysis/module_analyzer.h"

#include "analysis/analysis_passes.h"
#include "analysis/language_pass.h"
#include "analysis/patterns.h"
#include "platform/regexp/compiled.h"

namespace ramulet {

ModuleAnalyzer::ModuleAnalyzer() : forward_mark_{u"ДАЛЕЕ"}, excluding_words_{u"//", u"ПРОЦЕДУРА", u"ФУНКЦИЯ"} {
  compiled_ = CompiledPattern::Compile(patterns::kHeader, /*ignore_case=*/true, header_);
  if (compiled_.ok()) compiled_ = CompiledPattern::Compile(patterns::kEnd, /*ignore_case=*/true, end_);
}

ModuleAnalyzer::~ModuleAnalyzer() = default;

Status ModuleAnalyzer::Analyze(LineSource& lines, ModuleAnalysis& result, RuleSet rules) const {
  result.Clear();
  if (!compiled_.ok()) {
    result.error = AnalysisError::Unreadable(compiled_);
    return compiled_;
  }
  Status status;
  if (rules == RuleSet::kLanguage) {
    status = LanguagePass(keywords_, lines, result).Run();
  } else {
    status = HeaderPass(*this, lines, result).Run();
    if (status.ok()) status = CallPass(*this, lines, result).Run();
  }
  result.FinishCalls();
  return status;
}

}  // namespace ramulet
