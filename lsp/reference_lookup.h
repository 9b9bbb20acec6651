#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "config/configuration.h"
#include "lsp/text_document.h"

namespace ramulet::lsp {

// What stands at a position of a module: the header name of one of its
// methods, or the name of a call site (an edge made by the module's code).
// A bare call exported by two global modules is two targets.
struct PositionTarget {
  int32_t module = kNone;      // the method named: its module and number,
  int32_t method = kNone;      // kNone for an unknown member or an absent module
  const Edge* edge = nullptr;  // the call site; null on a header
};

// How many characters the name at a call site spans: the callee's name (a
// "Module.Method" string: the whole string), or the name written for a
// member or module that is not there.
int32_t CallSiteLength(const Configuration& configuration, const Edge& edge);

// The targets at `position` of module `module` (lines from 0, characters in
// UTF-16 units); empty when nothing is there. The module's edges are in
// order of lines and columns, so a call site is found by binary search.
std::vector<PositionTarget> TargetsAt(const Configuration& configuration, int32_t module, const TextPosition& position);

// The edges of module `module` made by its code (its calls, not the callers
// metadata and dialogs name after them).
std::span<const Edge> CodeEdgesOf(const Configuration& configuration, int32_t module);

}  // namespace ramulet::lsp
