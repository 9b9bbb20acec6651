#include "analysis/call_analysis.h"

namespace ramulet {

Status AnalyzeCalls(MethodTables&) { return Status::Error(Status::kFail, "not built yet"); }

}  // namespace ramulet
