#pragma once

#include <cstdint>
#include <string>

namespace ramulet {

// "FILE:LINE" for a line index, with the line counted from 1 as compilers
// and editors count it.
inline std::string Location(const std::string& file, int32_t line_index) {
  return file + ":" + std::to_string(static_cast<int64_t>(line_index) + 1);
}

}  // namespace ramulet
