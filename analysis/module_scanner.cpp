#include "analysis/module_scanner.h"

namespace ramulet {

Status Refresh(MethodTables&, MethodList&, MessageBoxes&, const TreeStep&, RefreshReport*) {
  return Status::Error(Status::kFail, "not built yet");
}

}  // namespace ramulet
