#include "config/layout_test_support.h"

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "config/file_access.h"

namespace ramulet::testing {

namespace fs = std::filesystem;

TempTree::TempTree() {
  static std::atomic<int> next{0};
  const fs::path base = fs::temp_directory_path() /
                        ("ramulet-layout-" + std::to_string(::getpid()) + "-" + std::to_string(next.fetch_add(1)));
  fs::remove_all(base);
  fs::create_directories(base);
  root_ = PathToUtf8(base);
}

TempTree::~TempTree() {
  std::error_code error;
  // Folders a test made unreadable must be opened again to be removed.
  for (auto it =
           fs::recursive_directory_iterator(PathFromUtf8(root_), fs::directory_options::skip_permission_denied, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    std::error_code type_error;
    if (!it->is_symlink(type_error) && it->is_directory(type_error))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
  }
  fs::permissions(PathFromUtf8(root_), fs::perms::owner_all, fs::perm_options::add, error);
  fs::remove_all(PathFromUtf8(root_), error);
}

std::string TempTree::Path(std::string_view relative) const { return JoinUtf8(root_, relative); }

void TempTree::Write(std::string_view relative, std::string_view bytes) const {
  const fs::path file = PathFromUtf8(Path(relative));
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + Path(relative));
}

void TempTree::MakeFolder(std::string_view relative) const { fs::create_directories(PathFromUtf8(Path(relative))); }

void TempTree::Link(std::string_view relative, std::string_view target) const {
  const fs::path link = PathFromUtf8(Path(relative));
  fs::create_directories(link.parent_path());
  fs::create_symlink(PathFromUtf8(target), link);
}

}  // namespace ramulet::testing
