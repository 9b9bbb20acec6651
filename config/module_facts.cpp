#include "config/module_facts.h"

namespace ramulet {

Status ScanModuleFacts(const TextLines& /*lines*/, const ModuleAnalysis& /*analysis*/, ModuleFacts& facts) {
  facts = ModuleFacts();
  return Status::Ok();
}

}  // namespace ramulet
