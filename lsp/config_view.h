#pragma once

#include <cstdint>
#include <string>

#include "config/configuration.h"

namespace ramulet::lsp {

// One configuration of the workspace as the server answers from it: its
// modules' analyses are those of the open documents where one is open, and
// its references are resolved. `root` is the folder its module paths are
// relative to.
struct ConfigView {
  const Configuration* configuration = nullptr;
  std::string root;

  // The file URI of module `module`, or of a file (a metadata XML) given
  // by its path relative to the root.
  std::string ModuleUri(int32_t module) const;
  std::string FileUri(const std::string& relative_path) const;
};

}  // namespace ramulet::lsp
