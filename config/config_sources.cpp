#include "config/config_sources.h"

namespace ramulet {

const char* LayoutName(ConfigLayout layout) {
  switch (layout) {
    case ConfigLayout::kDesigner: return "designer";
    case ConfigLayout::kProject: return "project";
    case ConfigLayout::kOldDump: return "old-dump";
    case ConfigLayout::kOldMd: return "old-md";
    case ConfigLayout::kFolder: return "folder";
  }
  return "folder";
}

bool IsOldPlatform(ConfigLayout layout) { return layout == ConfigLayout::kOldDump || layout == ConfigLayout::kOldMd; }

}  // namespace ramulet
