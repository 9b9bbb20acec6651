#pragma once

#include <cstdint>
#include <string>

#include "config/configuration.h"
#include "platform/status.h"

namespace ramulet {

struct SiteStats {
  size_t files = 0;
  uint64_t bytes = 0;
};

// Writes a static site for `configuration` (its modules' text kept) under
// `out_dir`, created if needed: index.html, one page per module
// (m<index>.html), the stylesheet, the script and the search index. Files
// of other names in `out_dir` are left alone. Every page is UTF-8 and
// loads nothing but those files.
Status WriteSite(const Configuration& configuration, const std::string& out_dir, SiteStats* stats = nullptr);

}  // namespace ramulet
