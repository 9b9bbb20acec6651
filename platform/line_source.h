#pragma once

#include <cstdint>
#include <string_view>

#include "platform/status.h"

namespace ramulet {

// Lines of a module text, read one at a time: what the analysis needs of a
// document. The host's documents offer it, and so does text held in memory
// (the command line, benchmarks, fuzzers), which the analysis then reads
// without any host around it.
class LineSource {
 public:
  virtual ~LineSource() = default;
  virtual Status LineCount(int32_t& count) = 0;
  // Text of line `line` (0-based). The view stays valid until the next call
  // on this source, so no copy is made where the source holds its text.
  virtual Status Range(int32_t line, std::u16string_view& text) = 0;
};

}  // namespace ramulet
