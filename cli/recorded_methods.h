#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/method_tables.h"

namespace ramulet {

struct RecordedMethod {
  int32_t index;
  std::u16string name;
  int32_t header_line;
};

// The methods the scan recorded in the dictionaries `Method` and
// `MethodNach`, in index order. They stay filled up to a failing line when
// the refresh ends with an error, before the per-method tables exist.
std::vector<RecordedMethod> RecordedMethods(const MethodTables& tables);

}  // namespace ramulet
