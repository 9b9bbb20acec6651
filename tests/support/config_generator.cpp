#include "tests/support/config_generator.h"

#include <algorithm>
#include <cmath>

#include "tests/support/config_generator_parts.h"

namespace ramulet {

namespace {

Status CheckShape(const ConfigShape& shape) {
  auto invalid = [](const char* message) { return Status::Error(Status::kInvalidArgument, message); };
  if (shape.modules < 4) return invalid("a generated configuration needs at least 4 modules");
  if (shape.lines < int64_t{60} * shape.modules) return invalid("a generated configuration needs 60 lines per module");
  if (shape.generation == ConfigShape::Generation::kOld) return Status::Ok();
  if (shape.common_modules < 2 || shape.common_modules >= shape.modules) {
    return invalid("a generated designer dump needs 2 common modules or more, and fewer than modules");
  }
  if (shape.global_modules < 0 || shape.global_modules >= shape.common_modules) {
    return invalid("a generated designer dump needs fewer global modules than common modules");
  }
  return Status::Ok();
}

int32_t Scaled(int32_t value, double scale, int32_t least) {
  return std::max(least, static_cast<int32_t>(std::lround(value * scale)));
}

}  // namespace

ConfigShape DefaultConfigShape(ConfigShape::Generation generation, double scale) {
  ConfigShape shape;
  shape.generation = generation;
  if (generation == ConfigShape::Generation::kOld) {
    shape.modules = 518;
    shape.lines = 300'000;
  }
  shape.modules = Scaled(shape.modules, scale, 4);
  shape.lines = std::max<int64_t>(std::llround(static_cast<double>(shape.lines) * scale), int64_t{60} * shape.modules);
  shape.common_modules = std::min(Scaled(shape.common_modules, scale, 2), shape.modules - 1);
  shape.global_modules = std::min(Scaled(shape.global_modules, scale, 1), shape.common_modules - 1);
  return shape;
}

Status WriteGeneratedConfiguration(const ConfigShape& shape, const std::string& dir, GeneratedConfig* written) {
  GeneratedConfig counted;
  Status status = CheckShape(shape);
  if (status.ok()) {
    status = shape.generation == ConfigShape::Generation::kOld ? generated::WriteOldConfiguration(shape, dir, counted)
                                                               : generated::WriteNewerConfiguration(shape, dir, counted);
  }
  if (written != nullptr) *written = counted;
  return status;
}

}  // namespace ramulet
