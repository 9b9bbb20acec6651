// Feeds arbitrary bytes to the old platform's .MD reader: as a compound
// file held in memory (the directory walk, every stream's sector chain,
// the inflation of module and dialog streams, the metadata tree), and the
// same bytes to raw inflate and to the metadata parser alone. Nothing may
// crash, leak or hang; whatever is read keeps the reader's promises.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "config/md/compound_file.h"
#include "config/md_config.h"
#include "config/md_metadata.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

void ReadAsMdFile(const std::string& bytes) {
  std::unique_ptr<ramulet::CompoundFile> compound;
  const ramulet::Status opened = ramulet::OpenCompoundFileFromMemory(bytes, "fuzz.MD", compound);
  Check(opened.ok() == (compound != nullptr));
  if (!opened.ok()) {
    Check(Contains(opened.message(), "fuzz.MD: "));
    return;
  }
  std::vector<std::string> paths = compound->StreamPaths();
  ramulet::ConfigSources sources;
  const ramulet::Status read = ramulet::ReadMdCompound(*compound, "fuzz.MD", sources);
  Check(read.ok() || Contains(read.message(), "fuzz.MD: "));
  Check(std::is_sorted(sources.modules.begin(), sources.modules.end(),
                       [](const auto& a, const auto& b) { return a.path < b.path; }));
  for (const ramulet::ModuleSource& module : sources.modules) {
    Check(std::find(paths.begin(), paths.end(), module.path) != paths.end());
    Check(!module.name.empty());
    Check(module.read_error.ok() || Contains(module.read_error.message(), "stream " + module.path + ": "));
  }
}

}  // namespace

// libgsf itself loses a directory entry on some damaged directories,
// allocated while gsf_infile_msole_new parses the directory: that leak is
// libgsf's, and only that one is let pass. Its frames show only when
// allocations are unwound the slow way (glib and libgsf keep no frame
// pointers); eight frames reach it and keep the unwinding cheap.
extern "C" const char* __lsan_default_suppressions() { return "leak:gsf_infile_msole_new\n"; }
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0:malloc_context_size=8"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text;
  const ramulet::Status inflated = ramulet::InflateRaw(bytes, text);
  Check(inflated.ok() || (text.empty() && Contains(inflated.message(), "at byte ")) ||
        inflated.code() == ramulet::Status::kOutOfMemory);
  ramulet::ParseMdMetadata(bytes);
  ReadAsMdFile(bytes);
  return 0;
}
