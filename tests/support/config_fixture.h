#pragma once

#include <string>
#include <vector>

#include "config/configuration.h"
#include "platform/status.h"

namespace ramulet {

// A module of a configuration built in memory.
struct FixtureModule {
  std::string name;  // "CommonModule.ОбщегоНазначения", "Catalog.Валюты.ManagerModule", ...
  std::string kind = "CommonModule";
  bool global = false;
  std::string text;  // UTF-8, lines split at LF (CR LF too)
};

// Builds `configuration` from `modules` (kept in the order given) and
// `callers`, as LoadConfiguration does with files: each module analysed by
// the language's rules with one shared analyzer, its facts scanned, the
// names indexed, the references resolved. A module whose analysis fails
// keeps its error, as a loaded one does; the build itself does not fail.
void BuildConfiguration(const std::vector<FixtureModule>& modules, const std::vector<NamedCaller>& callers,
                        ConfigLayout layout, Configuration& configuration);

// Short for a newer-platform configuration without named callers.
Configuration MakeConfiguration(const std::vector<FixtureModule>& modules);

// One line per edge, in graph order, for comparisons in tests:
// "From.Method 3:8 -> To.Method common via=X" (the body is "From.<body>", a
// missing callee "?", an absent module "<none>"; " target=T" when set).
std::vector<std::string> DescribeEdges(const Configuration& configuration);
// One line per unresolved reference: "From.Method 3:8 dynamic Выполнить".
std::vector<std::string> DescribeUnresolved(const Configuration& configuration);

}  // namespace ramulet
