#pragma once

#include <string>
#include <string_view>

namespace ramulet::testing {

// A folder under the system's temporary folder, removed with everything in
// it when the object goes.
class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& root() const { return root_; }
  // `root`/`relative` (UTF-8, "/"-separated).
  std::string Path(std::string_view relative) const;
  // Writes `bytes` to the file, making its folders.
  void Write(std::string_view relative, std::string_view bytes) const;
  void MakeFolder(std::string_view relative) const;
  // A symbolic link at `relative` to `target` (as written into the link).
  void Link(std::string_view relative, std::string_view target) const;

 private:
  std::string root_;
};

}  // namespace ramulet::testing
