#pragma once

#include <cstdint>
#include <string>

#include "analysis/language_keywords.h"
#include "config/configuration.h"

namespace ramulet {

// The page of module `module`: its text with line numbers, highlighting,
// method anchors and a link on every resolved call; beside it the methods
// with their callers, the calls into other modules by target, the call
// tree and a picture of the module's neighbours.
std::string ModulePage(const Configuration& configuration, int32_t module, const language::Keywords& keywords);

}  // namespace ramulet
