#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "config/configuration.h"

namespace ramulet {

// The whole configuration as one JSON document: {"layout", "root",
// "modules", "edges", "unresolved", "counts"}, lines and columns from 0.
void WriteConfigJson(const Configuration& configuration, std::ostream& out);

// Per module, the report of one module (each method's calls and callers,
// and the call tree unless `with_tree` is false), then each method's calls
// into other modules and callers from other modules.
void WriteConfigText(const Configuration& configuration, bool with_tree, std::ostream& out);

// One method, both ways across the configuration: its calls (in its module
// and into others) and every caller with every call site.
void WriteConfigMethod(const Configuration& configuration, int32_t module, int32_t method, std::ostream& out);

// The module graph for Graphviz: one node per module (and per caller that
// is no module), one edge per pair of modules weighted by its call sites.
void WriteConfigDot(const Configuration& configuration, std::ostream& out);

// The methods of `module` and those of other modules it calls or that call
// it, with an edge per pair of methods weighted by its call sites.
void WriteConfigMethodDot(const Configuration& configuration, int32_t module, std::ostream& out);

// "Module.Method" split at its last "." into a module and a method of the
// configuration; nullopt when either is not there.
struct MethodPlace {
  int32_t module = kNone;
  int32_t method = kNone;
};
std::optional<MethodPlace> FindQualifiedMethod(const Configuration& configuration, const std::string& qualified);

}  // namespace ramulet
