#include "config/config_sources.h"

namespace ramulet {

Status ReadConfigSources(const std::string& path, const ReadOptions& /*options*/, ConfigSources& sources) {
  sources = ConfigSources();
  sources.root = path;
  return Status::Error(Status::kFail, "reading configurations is not built yet");
}

}  // namespace ramulet
