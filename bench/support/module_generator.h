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
  // Share of statements that call a method of the module while the
  // method's calls last.
  double call_line_share = 0.35;
  // With layers > 0 the methods form that many layers in module order, each
  // calling only methods of the layers below it and the last calling none,
  // as handlers, services and helpers do in real modules: a call tree of
  // moderate size. With 0 any method may call any (a tree that soon reaches
  // its ceiling when calls are dense).
  int32_t layers = 0;
  // Share of plain statements written as short ones (a counter, a return),
  // which brings the average line closer to real modules.
  double short_share = 0.0;
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
