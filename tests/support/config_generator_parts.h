#pragma once

#include <string>

#include "tests/support/config_generator.h"

namespace ramulet::generated {

// The two generations, each writing a valid shape whole.
Status WriteNewerConfiguration(const ConfigShape& shape, const std::string& dir, GeneratedConfig& written);
Status WriteOldConfiguration(const ConfigShape& shape, const std::string& dir, GeneratedConfig& written);

}  // namespace ramulet::generated
