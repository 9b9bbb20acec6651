#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace ramulet {

struct ModuleShape {
  int32_t lines = 10000;
  int32_t methods = 300;
  // Average number of calls from a method to other methods of the module.
  double calls_per_method = 3.0;
  uint32_t seed = 1;
};

// A module of exactly `shape.lines` lines holding `shape.methods` procedures
// and functions, written like ordinary business code: parameters with
// default values, assignments, comments, string literals holding "//" and
// parentheses, Если and Для Каждого blocks, calls of built-in functions and
// of object members, and calls of the module's own methods (mostly later
// ones, some earlier, a few recursive). The same shape gives the same text
// with the same standard library. Fails unless there are at least three
// lines per method.
Status GenerateModule(const ModuleShape& shape, std::vector<std::u16string>& lines);

// The name GenerateModule gives method `index`.
std::u16string GeneratedMethodName(int32_t index);

}  // namespace ramulet
