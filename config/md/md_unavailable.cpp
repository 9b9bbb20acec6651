#include "config/md/compound_file.h"

namespace ramulet {

// Built where the compound-file reader and zlib are not available (the
// Windows build): .MD files are refused with a message.
Status OpenCompoundFile(const std::string& file, std::unique_ptr<CompoundFile>& compound) {
  compound.reset();
  return Status::Error(Status::kFail, file + ": this build of ramulet cannot read .MD files");
}

Status OpenCompoundFileFromMemory(std::string /*bytes*/, const std::string& name,
                                  std::unique_ptr<CompoundFile>& compound) {
  return OpenCompoundFile(name, compound);
}

bool CompoundFilesSupported() { return false; }

Status InflateRaw(const std::string& /*deflated*/, std::string& text) {
  text.clear();
  return Status::Error(Status::kFail, "this build of ramulet cannot inflate .MD streams");
}

}  // namespace ramulet
