#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/options.h"
#include "config/configuration.h"

namespace ramulet {

// Whether the input names a configuration: a folder, or a .MD file.
bool IsConfigurationInput(const std::string& input);

// Reads, analyses and writes the configuration named by `options.input`.
// Module errors and what was read past go to `err`; with `progress`, a
// line on `err` counts the modules read. The configuration is left in
// `kept`, so that a process about to end need not take it apart.
int RunConfiguration(const Options& options, std::ostream& out, std::ostream& err, bool progress,
                     std::unique_ptr<Configuration>& kept);

}  // namespace ramulet
