#pragma once

#include <string_view>

namespace ramulet {

// The site's one stylesheet and one script, written beside its pages.
extern const std::string_view kSiteStylesheet;
extern const std::string_view kSiteScript;

}  // namespace ramulet
