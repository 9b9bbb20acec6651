#pragma once

#include <string>

#include "config/config_sources.h"

namespace ramulet {

// Lists the modules of an old-platform dump (ГлобальныйМодуль.1s at its
// root; every ".1s" file a module, named by NameOldModule) and the
// formulas of each form's dialog (Форма.frm beside the form's
// МодульФормы.1s) as dialog callers of that form's module.
void ReadOldDumpLayout(const std::string& root, ConfigSources& sources);

}  // namespace ramulet
