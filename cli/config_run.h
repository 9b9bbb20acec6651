#pragma once

#include <memory>
#include <ostream>
#include <string>

#include "cli/options.h"
#include "config/configuration.h"
#include "textio/text_lines.h"

namespace ramulet {

// Whether the input names a configuration: a folder, or a .MD file.
bool IsConfigurationInput(const std::string& input);

// Reads, analyses and writes the configuration named by `options.input`.
// Module errors and what was read past go to `err`; with `progress`, a
// line on `err` counts the modules read. The configuration is left in
// `kept`, so that a process about to end need not take it apart.
int RunConfiguration(const Options& options, std::ostream& out, std::ostream& err, bool progress,
                     std::unique_ptr<Configuration>& kept);

// --html for one module: a site of that module alone, read by the rules
// `options` name.
int RunModuleSite(const Options& options, const std::string& display_name, TextLines text, std::ostream& out,
                  std::ostream& err);

}  // namespace ramulet
