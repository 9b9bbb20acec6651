#include "lsp/config_view.h"

#include "lsp/file_uri.h"

namespace ramulet::lsp {

std::string ConfigView::ModuleUri(int32_t module) const {
  return FileUri(configuration->modules[static_cast<size_t>(module)].path);
}

std::string ConfigView::FileUri(const std::string& relative_path) const {
  std::string path = root;
  if (!path.empty() && path.back() != '/') path += '/';
  return FileUriFromPath(path + relative_path);
}

}  // namespace ramulet::lsp
