#pragma once

#include <string>
#include <vector>

#include "config/configuration.h"
#include "tests/support/config_fixture.h"

namespace ramulet {

// The references between modules found the plain way, for comparison with
// ResolveReferences: every module's text split into tokens at once, each
// rule a look at the tokens around a "(" or a string, every look-up a walk
// over all modules. Slow and simple. `analysed` is the configuration built
// from `modules` (its methods and in-module calls are taken as they are).
// Lines as DescribeEdges and DescribeUnresolved write them, in graph order.
struct ReferenceGraph {
  std::vector<std::string> edges;
  std::vector<std::string> unresolved;
};
ReferenceGraph ResolvePlainly(const std::vector<FixtureModule>& modules, const Configuration& analysed);

}  // namespace ramulet
