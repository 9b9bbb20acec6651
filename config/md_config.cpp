#include "config/md_config.h"

namespace ramulet {

Status ReadMdFile(const std::string& path, ConfigSources& sources) {
  sources.layout = ConfigLayout::kOldMd;
  return Status::Error(Status::kFail, path + ": reading .MD files is not built yet");
}

}  // namespace ramulet
