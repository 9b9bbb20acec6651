#include "config/module_facts.h"

#include "config/facts_scanner.h"

namespace ramulet {

Status ScanModuleFacts(const TextLines& lines, const ModuleAnalysis& analysis, ModuleFacts& facts) {
  facts = ModuleFacts();
  if (!analysis.ok()) return Status::Ok();
  FactsScanner scanner(analysis, facts);
  for (size_t i = 0; i < lines.size(); ++i) scanner.ReadLine(lines.Line(i), static_cast<int32_t>(i));
  scanner.Finish();
  facts.pool.shrink_to_fit();
  facts.names.shrink_to_fit();
  facts.bindings.shrink_to_fit();
  facts.references.shrink_to_fit();
  return Status::Ok();
}

}  // namespace ramulet
