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

// What was written, as the generator counted it: modules and their lines,
// the bytes of every file (modules, metadata, dialogs).
struct GeneratedConfig {
  int32_t modules = 0;
  int64_t lines = 0;
  uint64_t bytes = 0;
  int32_t exported_methods = 0;
};

// The default shape of `generation` (for the old platform a dump of 518
// modules and 300,000 lines) with its modules and lines multiplied by
// `scale`, common and global modules in proportion (at least 2 and 1).
ConfigShape DefaultConfigShape(ConfigShape::Generation generation, double scale = 1.0);

// Writes a configuration of `shape` under `dir` (created if needed); the
// same shape and seed always give the same files. Needs at least 60 lines
// per module; a designer dump needs room for its common modules (modules
// > common modules > global modules), an old dump at least 4 modules.
Status WriteGeneratedConfiguration(const ConfigShape& shape, const std::string& dir, GeneratedConfig* written);

}  // namespace ramulet
