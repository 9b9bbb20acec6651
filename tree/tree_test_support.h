#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/module_analysis.h"
#include "tree/call_tree.h"

namespace ramulet {

// A module as the call analysis would describe it: each method's name and
// the names of the methods it calls, in reference order (UTF-8).
using ModuleCalls = std::vector<std::pair<std::string, std::vector<std::string>>>;

// The analysis of `module`; every callee must be one of its methods.
ModuleAnalysis MakeAnalysis(const ModuleCalls& module);

// The analysis of `methods` methods, each with 0 .. `max_calls` references
// to methods drawn at random (itself included), from a fixed seed.
ModuleAnalysis RandomAnalysis(uint32_t seed, int32_t methods, int32_t max_calls);

// Methods "A", "B", ... (`methods` of them) of which the first calls the
// method numbered `callee`, which need not exist: what no analysis makes,
// to see the tree refuse it.
ModuleAnalysis AnalysisWithCallee(int32_t methods, int32_t callee);

// The tree as text: one line per node, depth first through the child
// links, two spaces of indentation per level, the node's text.
std::string DumpTree(const NodeStore& nodes);

// A node of the reference build: parent index (0 at the top) and method.
struct ReferenceNode {
  int32_t parent;
  int32_t method;
};
// The tree built step by step as the algorithm is written down: level lists
// of keys, the parent looked up by key, ancestors compared by name. Index
// i - 1 holds node i.
std::vector<ReferenceNode> ReferenceBuild(const ModuleAnalysis& analysis);

// `index` of `tree` as the value RodEst takes.
Variant NodeVariant(const std::shared_ptr<const CallTree>& tree, int32_t index);

}  // namespace ramulet
