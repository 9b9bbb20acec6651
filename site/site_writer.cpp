#include "site/site_writer.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <vector>

#include "config/file_access.h"
#include "platform/parallel.h"
#include "site/assets.h"
#include "site/index_page.h"
#include "site/module_page.h"
#include "site/site_files.h"

namespace ramulet {

namespace {

class SiteOutput {
 public:
  explicit SiteOutput(std::filesystem::path dir) : dir_(std::move(dir)) {}

  void Write(const std::string& name, std::string_view content) {
    Status written = WriteFileWhole(dir_ / name, content);
    files_.fetch_add(1);
    bytes_.fetch_add(content.size());
    // The first failure is kept; the writers stop at their next page.
    if (!written.ok() && !failed_.exchange(true)) error_ = std::move(written);
  }

  bool failed() const { return failed_.load(); }
  // Read once every writer has finished.
  const Status& error() const { return error_; }
  SiteStats stats() const { return SiteStats{files_.load(), bytes_.load()}; }

 private:
  std::filesystem::path dir_;
  std::atomic<bool> failed_{false};
  Status error_;
  std::atomic<size_t> files_{0};
  std::atomic<uint64_t> bytes_{0};
};

void WriteModulePages(const Configuration& configuration, SiteOutput& output) {
  const language::Keywords keywords;
  const size_t total = configuration.modules.size();
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t m; (m = next.fetch_add(1)) < total && !output.failed();) {
      const auto module = static_cast<int32_t>(m);
      output.Write(ModulePageName(module), ModulePage(configuration, module, keywords));
    }
  };
  RunOnThreads(ThreadsFor(total), work);
}

}  // namespace

Status WriteSite(const Configuration& configuration, const std::string& out_dir, SiteStats* stats) {
  std::error_code error;
  const std::filesystem::path dir = PathFromUtf8(out_dir);
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir, error)) {
    return Status::Error(Status::kFail, "cannot make the folder " + out_dir + ": " + error.message());
  }
  SiteOutput output{dir};
  int32_t longest = 0;
  for (const ConfigModule& module : configuration.modules) {
    longest = std::max(longest, static_cast<int32_t>(module.text.size()));
  }
  output.Write(std::string(kStylesheetName),
               std::string(kSiteStylesheet) + ChunkCounterStyles((longest + kChunkLines - 1) / kChunkLines));
  output.Write(std::string(kScriptName), kSiteScript);
  output.Write(std::string(kSearchIndexName), SearchIndexScript(configuration));
  output.Write("index.html", IndexPage(configuration, CountModules(configuration)));
  if (!output.failed()) WriteModulePages(configuration, output);
  if (stats != nullptr) *stats = output.stats();
  return output.error();
}

}  // namespace ramulet
