#pragma once

#include <cstdint>
#include <string>

#include "config/configuration.h"

namespace ramulet {

// An inline SVG of the modules `module` calls (on the right) and those
// that call it (on the left), each a link to its page, the most called
// first, at most kMaxNeighbours a side.
inline constexpr size_t kMaxNeighbours = 12;
void AppendNeighbourhoodSvg(const Configuration& configuration, int32_t module, std::string& out);

}  // namespace ramulet
