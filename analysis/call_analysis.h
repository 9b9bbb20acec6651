#pragma once

#include "analysis/method_tables.h"
#include "platform/status.h"

namespace ramulet {

// Turns the dictionaries of the last scan into the per-method tables and
// records every call reference of the module (reads `doc` a second time).
Status AnalyzeCalls(MethodTables& tables);

}  // namespace ramulet
