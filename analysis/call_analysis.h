#pragma once

#include "analysis/method_tables.h"
#include "platform/status.h"

namespace ramulet {

// FindCallReferences (analysis/line_analysis.h) on the document `doc` of
// the last scan.
Status AnalyzeCalls(MethodTables& tables);

}  // namespace ramulet
