#pragma once

#include <string>
#include <string_view>

#include "config/config_sources.h"

namespace ramulet {

// Lists the modules of a designer's dump (`project` false; `src` is "") or
// of a development-tools project (`project` true; `src` is the path of its
// src folder relative to the root, "src/", or "" when the root is that
// folder), with the global flags of their common modules and the callers
// named by scheduled jobs, event subscriptions and forms. The two differ
// only in paths (the project has no Ext folders) and in the flag files
// (CommonModules/N.xml with <Global>, src/CommonModules/N/N.mdo with
// <global>).
void ReadDesignerLayout(const std::string& root, std::string_view src, bool project, ConfigSources& sources);

}  // namespace ramulet
