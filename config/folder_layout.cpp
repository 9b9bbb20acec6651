#include "config/folder_layout.h"

#include <algorithm>
#include <unordered_set>

#include "config/file_walk.h"
#include "config/module_names.h"
#include "config/module_source.h"

namespace ramulet {

void ReadFolderLayout(const std::string& root, ConfigSources& sources) {
  WalkResult walk = WalkFiles(root, [](std::string_view name) {
    return HasExtension(name, ".bsl") || HasExtension(name, ".os") || HasExtension(name, ".1s");
  });
  for (std::string& problem : walk.problems) sources.problems.push_back(std::move(problem));
  std::sort(walk.files.begin(), walk.files.end());
  std::unordered_set<std::string> common_modules;
  for (std::string& file : walk.files) {
    ModuleNaming naming = NameByPath(file);
    if (std::optional<std::string> common = CommonModuleFolderOf(file); common && common_modules.insert(*common).second)
      naming = ModuleNaming{"CommonModule." + *common, "CommonModule"};
    sources.modules.push_back(MakeModuleSource(root, std::move(file), std::move(naming)));
  }
}

}  // namespace ramulet
