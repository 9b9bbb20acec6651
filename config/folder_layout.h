#pragma once

#include <string>

#include "config/config_sources.h"

namespace ramulet {

// Lists every ".bsl", ".os" and ".1s" file under `root` as a module. The
// first module file (in path order) inside a folder CommonModules/N/ is
// the common module "CommonModule.N"; every other file is named by its
// path (NameByPath), kind "Module".
void ReadFolderLayout(const std::string& root, ConfigSources& sources);

}  // namespace ramulet
