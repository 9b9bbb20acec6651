#pragma once

#include <string>
#include <string_view>

#include "config/config_sources.h"

namespace ramulet {

struct DetectedLayout {
  ConfigLayout layout = ConfigLayout::kFolder;
  // The project format: the path of its src folder relative to the root,
  // "src/", or "" when the root is the src folder itself.
  std::string src;
};

// Whether `path` names an old-platform configuration file (ends in ".MD",
// letter case ignored).
bool IsMdFilePath(std::string_view path);

// The layout of the folder `root`, by the file that marks it:
// Configuration.xml (designer), src/Configuration/Configuration.mdo or
// Configuration/Configuration.mdo (project), ГлобальныйМодуль.1s (old
// dump); any other folder is kFolder.
DetectedLayout DetectLayout(std::string_view root);

}  // namespace ramulet
