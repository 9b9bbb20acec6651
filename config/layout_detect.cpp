#include "config/layout_detect.h"

#include <filesystem>

#include "config/file_access.h"
#include "config/module_source.h"

namespace ramulet {

namespace {

bool IsFile(std::string_view root, std::string_view relative) {
  std::error_code error;
  return std::filesystem::is_regular_file(PathFromUtf8(JoinUtf8(root, relative)), error);
}

}  // namespace

bool IsMdFilePath(std::string_view path) { return HasExtension(path, ".md"); }

DetectedLayout DetectLayout(std::string_view root) {
  if (IsFile(root, "Configuration.xml")) return {ConfigLayout::kDesigner, {}};
  if (IsFile(root, "src/Configuration/Configuration.mdo")) return {ConfigLayout::kProject, "src/"};
  if (IsFile(root, "Configuration/Configuration.mdo")) return {ConfigLayout::kProject, {}};
  if (IsFile(root, "ГлобальныйМодуль.1s")) return {ConfigLayout::kOldDump, {}};
  return {ConfigLayout::kFolder, {}};
}

}  // namespace ramulet
