#pragma once

#include <cstdint>
#include <string>

#include "platform/status.h"

namespace ramulet {

// The shape of a generated configuration. The defaults are those of a large
// public library of the newer platform: 2,200 modules, 1.1 M lines, 560
// common modules of which 18 global, 14,000 exported methods, and about as
// many calls into other modules as within modules.
struct ConfigShape {
  enum class Generation : uint8_t { kNewer, kOld };
  Generation generation = Generation::kNewer;  // a designer dump, or an old-platform dump
  int32_t modules = 2200;
  int32_t common_modules = 560;
  int32_t global_modules = 18;
  int64_t lines = 1'100'000;
  uint32_t seed = 1;
};

// What was written, as the generator counted it.
struct GeneratedConfig {
  int32_t modules = 0;
  int64_t lines = 0;
  uint64_t bytes = 0;
  int32_t exported_methods = 0;
};

// Writes a configuration of `shape` under `dir` (created if needed); the
// same shape and seed always give the same files.
Status WriteGeneratedConfiguration(const ConfigShape& shape, const std::string& dir, GeneratedConfig* written);

}  // namespace ramulet
