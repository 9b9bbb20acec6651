#pragma once

#include <string>

#include "config/configuration.h"

namespace ramulet {

// What the index shows of each module.
struct ModuleCounts {
  int32_t methods = 0;
  int32_t exported = 0;
  int32_t calls_made = 0;      // call sites in the module that reach a method
  int32_t calls_received = 0;  // references from other modules and from outside the code
};
std::vector<ModuleCounts> CountModules(const Configuration& configuration);

// The index page: the search field, the modules most called from others,
// and every module grouped by kind with its counts.
std::string IndexPage(const Configuration& configuration, const std::vector<ModuleCounts>& counts);

// The search index: every method's name, module and number, as a script
// that sets RAMULET_SEARCH (a page opened from the file system may load
// scripts but not fetch files).
std::string SearchIndexScript(const Configuration& configuration);

}  // namespace ramulet
