#include "site/site_writer.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

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
    const Status written = WriteFileWhole((dir_ / name).string(), content);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!written.ok() && error_.ok()) error_ = written;
    ++stats_.files;
    stats_.bytes += content.size();
  }

  bool failed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !error_.ok();
  }
  const Status& error() const { return error_; }
  const SiteStats& stats() const { return stats_; }

 private:
  std::filesystem::path dir_;
  std::mutex mutex_;
  Status error_;
  SiteStats stats_;
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
  const unsigned threads = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (auto& helper : helpers) helper.join();
}

}  // namespace

Status WriteSite(const Configuration& configuration, const std::string& out_dir, SiteStats* stats) {
  std::error_code error;
  std::filesystem::create_directories(out_dir, error);
  if (error || !std::filesystem::is_directory(out_dir, error)) {
    return Status::Error(Status::kFail, "cannot make the folder " + out_dir + ": " + error.message());
  }
  SiteOutput output{std::filesystem::path(out_dir)};
  output.Write(std::string(kStylesheetName), kSiteStylesheet);
  output.Write(std::string(kScriptName), kSiteScript);
  output.Write(std::string(kSearchIndexName), SearchIndexScript(configuration));
  output.Write("index.html", IndexPage(configuration, CountModules(configuration)));
  if (!output.failed()) WriteModulePages(configuration, output);
  if (stats != nullptr) *stats = output.stats();
  return output.error();
}

}  // namespace ramulet
